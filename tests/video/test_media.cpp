#include "test_media.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <map>

namespace vantrel::test {

namespace {

QTemporaryDir& MediaDir() {
    static QTemporaryDir dir;
    return dir;
}

// Eight vertical bars, 40 pixels wide: bar b is white when bit b of the frame number is set.
QString NumberedSource() {
    QString source = "color=c=black:s=320x240:r=30000/1001,format=yuv420p";
    for (int bit = 0; bit < 8; ++bit) {
        source += QString(
                      ",drawbox=x=%1:y=0:w=40:h=240:color=white:t=fill:"
                      "enable='mod(floor(n/%2),2)'")
                      .arg(bit * 40)
                      .arg(1 << bit);
    }
    return source;
}

QStringList EncoderArguments(const std::string& extension) {
    // MPEG-2 with B-frames in groups of 15, as on a DVD; MPEG-4 video in .avi; H.264 with B-frames.
    const QStringList mpeg2{"-c:v", "mpeg2video", "-q:v", "3", "-g", "15", "-bf", "2"};
    if (extension == "m2v") return mpeg2;
    if (extension == "mpg" || extension == "ts") return mpeg2 + QStringList{"-c:a", "mp2"};
    if (extension == "avi") {
        return {"-c:v", "mpeg4", "-q:v", "3", "-g", "30", "-bf", "2", "-c:a", "pcm_s16le"};
    }
    return {"-c:v", "libx264", "-preset", "veryfast", "-crf", "20", "-g", "30", "-c:a", "aac"};
}

// Made once per program by ffmpeg from `arguments`; "" when it fails.
std::string Made(const QString& name, const QStringList& arguments) {
    static std::map<QString, std::string> made;
    const auto [found, added] = made.try_emplace(name);
    if (!added || !MediaDir().isValid()) return found->second;
    const QString target = MediaDir().filePath(name);
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", QStringList{"-hide_banner", "-loglevel", "error", "-y"} + arguments +
                               QStringList{target});
    if (ffmpeg.waitForFinished(120000) && ffmpeg.exitStatus() == QProcess::NormalExit &&
        ffmpeg.exitCode() == 0) {
        found->second = target.toStdString();
    }
    return found->second;
}

}  // namespace

std::vector<MediaPlayer::Option> QuietPlayer() {
    return {{"ao", "null"}};
}

bool HaveFfmpeg() {
    return !QStandardPaths::findExecutable("ffmpeg").isEmpty();
}

std::string NumberedVideo(const std::string& extension, bool longerSound) {
    QStringList arguments{"-f", "lavfi", "-i", NumberedSource()};
    if (extension != "m2v") {
        arguments +=
            {"-f", "lavfi", "-i", QString("sine=f=440:r=48000:d=%1").arg(longerSound ? 8 : 5)};
    }
    arguments += QStringList{"-frames:v", QString::number(kTestFrames)};
    arguments += EncoderArguments(extension);
    if (extension != "m2v" && !longerSound) arguments += QStringList{"-shortest"};
    return Made(QString::fromStdString((longerSound ? "long-sound." : "numbered.") + extension),
                arguments);
}

std::string Remuxed(const std::string& source, const std::string& name, const QStringList& before,
                    const QStringList& after) {
    return Made(QString::fromStdString(name),
                before + QStringList{"-i", QString::fromStdString(source), "-c", "copy"} + after);
}

std::string LoopedVideo(int times) {
    // The raw stream copied end to end, then given times of its own in a program stream (a
    // demuxer's loop would leave their times overlapping at every seam).
    QFile once(QString::fromStdString(NumberedVideo("m2v")));
    const QString joined = MediaDir().filePath(QString("looped-%1.m2v").arg(times));
    QFile out(joined);
    if (!once.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) return {};
    const QByteArray bytes = once.readAll();
    for (int i = 0; i < times; ++i) out.write(bytes);
    out.close();
    return Made(QString("looped-%1.mpg").arg(times), {"-fflags", "+genpts", "-r", "30000/1001",
                                                      "-i", joined, "-c", "copy", "-f", "vob"});
}

std::string PatternVideo(bool anamorphic) {
    return Made(anamorphic ? "pattern-4x3-pixels.mp4" : "pattern.mp4",
                {"-f", "lavfi", "-i",
                 anamorphic ? "smptehdbars=s=1440x1080:r=30000/1001,setsar=4/3"
                            : "smptehdbars=s=1920x1080:r=30000/1001",
                 "-frames:v", "3", "-c:v", "libx264", "-preset", "veryfast", "-pix_fmt", "yuv420p",
                 "-colorspace", "bt709", "-color_primaries", "bt709", "-color_trc", "bt709"});
}

QImage FfmpegFrame(const std::string& path, QSize size) {
    const QString name = QString::fromStdString(path);
    const QString scale = QString("scale=%1:%2").arg(size.width()).arg(size.height());
    return QImage(QString::fromStdString(Made(QFileInfo(name).baseName() + scale + ".png",
                                              {"-i", name, "-frames:v", "1", "-vf", scale})));
}

std::string GreyVideo(int frames) {
    return Made(QString("grey-%1.mp4").arg(frames),
                {"-f", "lavfi", "-i", "color=c=gray:s=64x48:r=30000/1001", "-frames:v",
                 QString::number(frames), "-c:v", "libx264", "-preset", "ultrafast", "-g", "30"});
}

std::string ToneAudio(int seconds) {
    return Made(
        QString("tone-%1.wav").arg(seconds),
        {"-f", "lavfi", "-i", QString("sine=f=440:r=8000:d=%1").arg(seconds), "-c:a", "pcm_s16le"});
}

std::string NotMediaFile() {
    QString path = MediaDir().filePath("notes.txt");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write("These are notes about a video, not a video.\n");
    return path.toStdString();
}

int ReadFrameNumber(const QImage& picture) {
    if (picture.isNull()) return -1;
    int number = 0;
    for (int bit = 0; bit < 8; ++bit) {
        // The middle of bar `bit`, averaged over a small square.
        const int cx = (2 * bit + 1) * picture.width() / 16, cy = picture.height() / 2;
        int sum = 0;
        for (int y = cy - 3; y <= cy + 3; ++y) {
            for (int x = cx - 3; x <= cx + 3; ++x) sum += qGray(picture.pixel(x, y));
        }
        const int level = sum / 49;
        if (level > 80 && level < 175) return -1;
        if (level >= 175) number |= 1 << bit;
    }
    return number;
}

QImage ShownPicture(const VideoWindow& window) {
    // The grab first: it brings the window's pending resizing, and so the picture's place.
    const QImage whole = const_cast<VideoWindow&>(window).grab().toImage();
    return whole.copy(window.PictureRect());
}

QPoint OnScreen(const CaptionWindow& window, QPoint screen) {
    const ScreenMap map = window.Map();
    return QPoint(map.WindowX(screen.x()), map.WindowY(screen.y()));
}

bool IsUniform(const QImage& picture, QRgb colour) {
    QImage filled(picture.size(), QImage::Format_RGB32);
    filled.fill(colour | 0xFF000000);
    return !picture.isNull() && picture.convertToFormat(QImage::Format_RGB32) == filled;
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

void Pump(int ms) {
    WaitFor([] { return false; }, ms);
}

bool WaitIdle(const MediaPlayer& player) {
    bool idle = WaitFor([&] { return !player.Busy(); });
    // Let a render queued with the seek's frame arrive.
    QCoreApplication::processEvents();
    return idle;
}

}  // namespace vantrel::test
