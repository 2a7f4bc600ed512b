#include "app/caption_table_model.h"

#include <QColor>
#include <QStringList>
#include <algorithm>

#include "caption_window/caption_text.h"
#include "check/caption_checks.h"
#include "check/caption_words.h"
#include "files/timecode.h"

namespace vantrel {

namespace {

constexpr const char* kHeaders[CaptionTableModel::kColumnCount] = {
    "#", "Start", "End", "Duration", "Timing", "Rows", "CPS", "Text"};
constexpr QRgb kUnknownWordColour = 0xFFC00000;
constexpr const char* kModeNames[] = {"", "Normal", "Persistent", "Seamless", "Manual"};
// A caption timing to speech did not find: a warm row, its mode saying so.
constexpr QRgb kUnplacedColour = qRgb(255, 214, 150);
constexpr char kUnplacedTip[] =
    "Not found in the speech when the captions were timed to it: its frames are a guess";

// The caption rows (1 to 15) that hold text: "14-15" for a block, "1, 15" for rows apart.
QString RowsText(const Caption& caption) {
    QStringList parts;
    int first = -1;
    for (int r = 0; r <= kScreenRows; ++r) {
        bool used = false;
        for (int c = 0; r < kScreenRows && c < kScreenColumns && !used; ++c)
            used = !caption.cells[r][c].IsEmpty();
        if (used && first < 0) first = r;
        if (used || first < 0) continue;
        parts << (r - 1 == first ? QString::number(first + 1)
                                 : QStringLiteral("%1-%2").arg(first + 1).arg(r));
        first = -1;
    }
    return parts.join(", ");
}

}  // namespace

CaptionTableModel::CaptionTableModel(CaptionList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list), rows_(list.Count()) {
    list_.SetObserver([this](CaptionRange range) { ListChanged(range); });
}

CaptionTableModel::~CaptionTableModel() {
    list_.SetObserver(nullptr);
}

int CaptionTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int CaptionTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QString CaptionTableModel::OneLineText(const Caption& caption) {
    return vantrel::OneLineText(caption, u" | ");
}

QVariant CaptionTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::TextAlignmentRole && role != Qt::ToolTipRole &&
        role != Qt::BackgroundRole && role != Qt::ForegroundRole)
        return {};
    const Caption* c = list_.CaptionAtRow(index.row());
    if (c == nullptr || index.column() < 0 || index.column() >= kColumnCount) return {};
    if (role == Qt::BackgroundRole) return c->unplaced ? QColor(kUnplacedColour) : QVariant();
    if (role == Qt::ToolTipRole && index.column() != kText)
        return c->unplaced ? QString(kUnplacedTip) : QVariant();
    if (role == Qt::ToolTipRole || role == Qt::ForegroundRole) {
        if (index.column() != kText) return {};
        const QStringList unknown = UnknownWords(*c);
        if (role == Qt::ForegroundRole)
            return unknown.isEmpty() ? QVariant() : QVariant(QColor(kUnknownWordColour));
        // The text whole, row under row, where the column is too narrow to show it.
        const QString text = vantrel::OneLineText(*c, u"\n");
        return unknown.isEmpty() ? text : text + "\n\nNot in the dictionary: " + unknown.join(", ");
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(
            (index.column() == kText || index.column() == kMode ? Qt::AlignLeft : Qt::AlignRight) |
            Qt::AlignVCenter);
    }
    const int64_t frames = int64_t{c->endFrame} - c->startFrame;
    switch (index.column()) {
        case kNumber:
            return index.row() + 1;
        case kStart:
            return QString::fromStdString(FormatTimecode(c->startFrame, style_));
        case kEnd:
            return QString::fromStdString(FormatTimecode(c->endFrame, style_));
        case kDuration:
            return QString::fromStdString(FormatTimecode(frames, style_));
        case kMode: {
            const QString mode = c->timingMode >= Normal && c->timingMode <= Manual
                                     ? QString(kModeNames[c->timingMode])
                                     : QString::number(c->timingMode);
            return c->unplaced ? mode + ", unplaced" : mode;
        }
        case kRows:
            return RowsText(*c);
        case kRate: {
            if (frames <= 0) return QString();
            const double rate = CountShownText(*c).characters / (frames * kFrameSeconds);
            return QString::number(rate, 'f', 1);
        }
        case kText:
            return OneLineText(*c);
        default:
            return {};
    }
}

QStringList CaptionTableModel::UnknownWords(const Caption& caption) const {
    QStringList words;
    if (speller_ == nullptr) return words;
    for (const CaptionWord& w : MisspelledWords(caption, *speller_))
        words << QString::fromStdString(w.text);
    return words;
}

void CaptionTableModel::SetSpeller(const Speller* speller) {
    speller_ = speller;
    if (rows_ > 0) emit dataChanged(index(0, kText), index(rows_ - 1, kText));
}

QVariant CaptionTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= kColumnCount)
        return {};
    return QString(kHeaders[section]);
}

void CaptionTableModel::SetTimecodeStyle(TimecodeStyle style) {
    if (style == style_) return;
    style_ = style;
    if (rows_ > 0) emit dataChanged(index(0, kStart), index(rows_ - 1, kDuration));
}

void CaptionTableModel::ListChanged(CaptionRange range) {
    const int count = list_.Count();
    if (count != rows_) {
        beginResetModel();
        rows_ = count;
        endResetModel();
        return;
    }
    if (rows_ == 0) return;
    // The first caption starting in the range, less one; the last starting in it.
    const Caption* first = list_.CaptionAtOrBefore(range.firstFrame);
    const Caption* last = list_.CaptionAtOrBefore(range.lastFrame);
    const int top = first != nullptr ? std::max(list_.RowOf(first) - 1, 0) : 0;
    const int bottom = last != nullptr ? list_.RowOf(last) : rows_ - 1;
    emit dataChanged(index(top, 0), index(std::max(top, bottom), kColumnCount - 1));
}

}  // namespace vantrel
