// Draws the program's icons as PNG images for the resources: the transport buttons, the
// toolbar buttons (undo and redo among them), the program icon and the about box picture. The build
// never runs this; run it by hand when an icon is to change, and commit its output. Command, from
// the top of the source tree:
//   cmake -S . -B build/tools -DVANTREL_TOOLS=ON -DVANTREL_TESTS=OFF
//   cmake --build build/tools --target make_icons
//   QT_QPA_PLATFORM=offscreen build/tools/tools/make_icons resources/icons
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <functional>

namespace {

const QColor kInk(48, 48, 48);
const QColor kCaptionBox(16, 16, 16);
const QColor kPaper(250, 250, 245);
const QColor kFolder(222, 178, 72);
const QColor kDisk(52, 88, 160);
const QColor kAccent(200, 40, 40);

using Draw = std::function<void(QPainter&)>;

// A triangle pointing right (dir 1) or left (dir -1) with its flat side at x.
void Triangle(QPainter& p, double x, double top, double height, int dir) {
    QPainterPath path;
    path.moveTo(x, top);
    path.lineTo(x + dir * height * 0.75, top + height / 2);
    path.lineTo(x, top + height);
    path.closeSubpath();
    p.fillPath(path, kInk);
}

void Bar(QPainter& p, double x, double top, double height) {
    p.fillRect(QRectF(x, top, 2, height), kInk);
}

// Two small c letters, white on a black caption box.
void CaptionMark(QPainter& p, QRectF box, double pixelSize) {
    p.fillRect(box, kCaptionBox);
    QFont font("DejaVu Sans");
    font.setBold(true);
    font.setPixelSize(static_cast<int>(pixelSize));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(box, Qt::AlignCenter, "cc");
}

// A curved arrow for undo (dir -1: turning back to the left) and redo (dir 1).
void TurnArrow(QPainter& p, int dir) {
    const auto x = [dir](double v) { return dir > 0 ? v : 16 - v; };
    QPainterPath arc;
    arc.moveTo(x(3), 13);
    arc.cubicTo(x(2), 7, x(6), 4.5, x(11), 6.5);
    p.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    QPainterPath head;
    head.moveTo(x(14.5), 7.5);
    head.lineTo(x(9), 2.5);
    head.lineTo(x(9), 10.5);
    head.closeSubpath();
    p.fillPath(head, kInk);
}

void Sheet(QPainter& p) {
    QPainterPath path;
    path.moveTo(3.5, 1.5);
    path.lineTo(9.5, 1.5);
    path.lineTo(12.5, 4.5);
    path.lineTo(12.5, 14.5);
    path.lineTo(3.5, 14.5);
    path.closeSubpath();
    p.fillPath(path, kPaper);
    p.setPen(QPen(kInk, 1));
    p.drawPath(path);
    p.drawLine(QPointF(9.5, 1.5), QPointF(9.5, 4.5));
    p.drawLine(QPointF(9.5, 4.5), QPointF(12.5, 4.5));
}

void Folder(QPainter& p) {
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6.5, 3.5);
    back.lineTo(7.5, 5.5);
    back.lineTo(13.5, 5.5);
    back.lineTo(13.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.fillPath(back, kFolder.darker(115));
    QPainterPath front;
    front.moveTo(3.5, 7.5);
    front.lineTo(15.5, 7.5);
    front.lineTo(13.5, 13.5);
    front.lineTo(1.5, 13.5);
    front.closeSubpath();
    p.fillPath(front, kFolder);
    p.setPen(QPen(kInk, 1));
    p.drawPath(back);
    p.drawPath(front);
}

void Disk(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(kDisk);
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.fillRect(QRectF(4, 2, 8, 5), kPaper);
    p.fillRect(QRectF(9, 3, 2, 3), kInk);
    p.fillRect(QRectF(4, 10, 8, 4), kDisk.lighter(150));
}

void FilmStrip(QPainter& p) {
    p.fillRect(QRectF(1, 2, 14, 12), kInk);
    for (int x = 2; x < 15; x += 3) {
        p.fillRect(QRectF(x, 3, 2, 1.5), Qt::white);
        p.fillRect(QRectF(x, 11.5, 2, 1.5), Qt::white);
    }
    p.fillRect(QRectF(2, 5.5, 5.5, 5), QColor(120, 170, 220));
    p.fillRect(QRectF(8.5, 5.5, 5.5, 5), QColor(120, 170, 220));
}

// A letter in a serif face, for the italics and underline buttons.
void Letter(QPainter& p, const char* letter, bool italic, bool underline) {
    QFont font("DejaVu Serif");
    font.setBold(true);
    font.setItalic(italic);
    font.setPixelSize(13);
    p.setFont(font);
    p.setPen(kInk);
    p.drawText(QRectF(0, -1, 16, 15), Qt::AlignCenter, letter);
    if (underline) p.fillRect(QRectF(3, 14, 10, 1.5), kInk);
}

struct Icon {
    const char* name;
    int width;
    int height;
    Draw draw;
};

const Icon kIcons[] = {
    // The transport buttons, 16 x 16 inside their 24 x 24 buttons.
    {"play", 16, 16, [](QPainter& p) { Triangle(p, 4, 2, 12, 1); }},
    {"pause", 16, 16,
     [](QPainter& p) {
         p.fillRect(QRectF(4, 3, 3, 10), kInk);
         p.fillRect(QRectF(9, 3, 3, 10), kInk);
     }},
    {"stop", 16, 16, [](QPainter& p) { p.fillRect(QRectF(3.5, 3.5, 9, 9), kInk); }},
    {"step_back", 16, 16,
     [](QPainter& p) {
         Bar(p, 3, 3, 10);
         Triangle(p, 13, 3, 10, -1);
     }},
    {"rewind", 16, 16,
     [](QPainter& p) {
         Triangle(p, 8, 3.5, 9, -1);
         Triangle(p, 14.5, 3.5, 9, -1);
     }},
    {"fast_forward", 16, 16,
     [](QPainter& p) {
         Triangle(p, 1.5, 3.5, 9, 1);
         Triangle(p, 8, 3.5, 9, 1);
     }},
    {"step_forward", 16, 16,
     [](QPainter& p) {
         Triangle(p, 3, 3, 10, 1);
         Bar(p, 11, 3, 10);
     }},
    {"previous_caption", 16, 16,
     [](QPainter& p) {
         Bar(p, 1.5, 3.5, 9);
         Triangle(p, 9, 3.5, 9, -1);
         Triangle(p, 15, 3.5, 9, -1);
     }},
    {"next_caption", 16, 16,
     [](QPainter& p) {
         Triangle(p, 1, 3.5, 9, 1);
         Triangle(p, 7, 3.5, 9, 1);
         Bar(p, 12.5, 3.5, 9);
     }},
    {"add_caption", 16, 16,
     [](QPainter& p) {
         CaptionMark(p, QRectF(1, 0, 14, 9), 8);
         p.fillRect(QRectF(7, 10, 2, 6), kAccent);
         p.fillRect(QRectF(5, 12, 6, 2), kAccent);
     }},
    // The toolbar.
    {"new", 16, 16, Sheet},
    {"open", 16, 16, Folder},
    {"save", 16, 16, Disk},
    {"choose_video", 16, 16, FilmStrip},
    {"import", 16, 16,
     [](QPainter& p) {
         Folder(p);
         CaptionMark(p, QRectF(6, 8, 10, 7), 6);
     }},
    {"export", 16, 16,
     [](QPainter& p) {
         Disk(p);
         CaptionMark(p, QRectF(6, 8, 10, 7), 6);
     }},
    {"undo", 16, 16, [](QPainter& p) { TurnArrow(p, -1); }},
    {"redo", 16, 16, [](QPainter& p) { TurnArrow(p, 1); }},
    {"italics", 16, 16, [](QPainter& p) { Letter(p, "I", true, false); }},
    {"underline", 16, 16, [](QPainter& p) { Letter(p, "U", false, true); }},
    // The program icon: CC on a caption box over a strip of film.
    {"vantrel", 48, 48,
     [](QPainter& p) {
         p.setPen(Qt::NoPen);
         p.setBrush(QColor(36, 52, 84));
         p.drawRoundedRect(QRectF(1, 1, 46, 46), 8, 8);
         for (int x = 6; x < 44; x += 8) {
             p.fillRect(QRectF(x, 5, 4, 3), QColor(200, 210, 230));
             p.fillRect(QRectF(x, 40, 4, 3), QColor(200, 210, 230));
         }
         p.fillRect(QRectF(6, 13, 36, 22), kCaptionBox);
         QFont font("DejaVu Sans Mono");
         font.setBold(true);
         font.setPixelSize(20);
         p.setFont(font);
         p.setPen(QColor(255, 235, 60));
         p.drawText(QRectF(6, 13, 36, 22), Qt::AlignCenter, "CC");
     }},
    // The about box picture: the name on a caption box, a timeline of caption blocks beneath.
    {"about", 167, 43,
     [](QPainter& p) {
         p.setPen(Qt::NoPen);
         p.fillRect(QRectF(0, 0, 118, 28), kCaptionBox);
         QFont font("DejaVu Sans Mono");
         font.setBold(true);
         font.setPixelSize(22);
         p.setFont(font);
         p.setPen(Qt::white);
         p.drawText(QRectF(0, 0, 118, 28), Qt::AlignCenter, "Vantrel");
         const QColor blocks[] = {QColor(80, 120, 200), QColor(80, 170, 110), QColor(220, 170, 50)};
         const double starts[] = {0, 52, 104};
         const double lengths[] = {44, 46, 63};
         for (int i = 0; i < 3; ++i) {
             p.fillRect(QRectF(starts[i], 33, 8, 4), blocks[i].lighter(140));
             p.fillRect(QRectF(starts[i] + 8, 37, lengths[i] - 8, 6), blocks[i]);
         }
         p.fillRect(QRectF(126, 0, 41, 28), QColor(36, 52, 84));
         font.setPixelSize(16);
         p.setFont(font);
         p.setPen(QColor(255, 235, 60));
         p.drawText(QRectF(126, 0, 41, 28), Qt::AlignCenter, "608");
         p.fillRect(QRectF(140, 30, 2, 13), kAccent);
     }},
};

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons OUTPUT-FOLDER\n");
        return 2;
    }
    for (const Icon& icon : kIcons) {
        QImage image(icon.width, icon.height, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::TextAntialiasing);
            icon.draw(painter);
        }
        const QString path = QString("%1/%2.png").arg(argv[1], icon.name);
        if (!image.save(path)) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
