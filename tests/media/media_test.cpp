// The timing tools' reading of a video: peaks of tone bursts on their frames, shot changes of
// joined test patterns on their frames, shot changes read from text, and the cache.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "files/files_test_support.h"
#include "media/audio_waveform.h"
#include "media/media_analysis.h"
#include "media/media_cache.h"
#include "media/shot_change_file.h"
#include "media/shot_changes.h"
#include "media/speech_activity.h"

namespace vantrel {
namespace {

constexpr double kFrame = 1001.0 / 30000.0;

bool Shell(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

class Media : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!Shell("ffmpeg -version >/dev/null 2>&1")) GTEST_SKIP() << "no ffmpeg";
    }
    // ffmpeg's output for `arguments` in the test's folder.
    std::string Made(const std::string& name, const std::string& arguments) {
        const std::string path = dir_.File(name);
        EXPECT_TRUE(Shell("ffmpeg -nostdin -v error -y " + arguments + " '" + path + "'"));
        return path;
    }
    testing::TempDir dir_;
};

// Tone from each burst's first frame up to its end frame, under 300 frames of picture.
struct Burst {
    int from, to;
};
constexpr Burst kBursts[] = {{30, 45}, {150, 151}, {240, 270}};

// The sound starts `late` seconds after the picture.
std::string BurstClip(double late) {
    std::string loud;
    for (const Burst& b : kBursts) {
        loud += (loud.empty() ? "" : "+") + std::string("between(t\\,") +
                std::to_string(b.from * kFrame - late) + "\\," +
                std::to_string(b.to * kFrame - late) + ")";
    }
    return "-f lavfi -i testsrc=s=160x120:r=30000/1001:d=10.01 -itsoffset " + std::to_string(late) +
           " -f lavfi -i \"aevalsrc=0.8*sin(2*PI*1000*t)*(" + loud +
           "):s=48000:c=stereo:d=" + std::to_string(10.01 - late) + "\" ";
}

TEST_F(Media, PeaksOfToneBurstsFallOnTheirFrames) {
    const struct {
        const char* name;
        const char* codecs;
        double late;
    } kCases[] = {{"aac.mp4", "-c:v libx264 -c:a aac", 0},
                  {"mp2.mpg", "-c:v mpeg2video -c:a mp2", 0},
                  {"pcm.mkv", "-c:v mpeg4 -c:a pcm_s16le", 0},
                  {"late.mkv", "-c:v mpeg4 -c:a pcm_s16le", 0.5}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const std::string path = Made(c.name, BurstClip(c.late) + c.codecs);
        AudioPeaks peaks;
        double secondsPerFrame = 0;
        JobControl control;
        ASSERT_EQ(ReadAudioPeaks(path, 0, peaks, control, [&](double s) { secondsPerFrame = s; }),
                  MediaRead::kDone);
        EXPECT_TRUE(peaks.Complete());
        EXPECT_NEAR(secondsPerFrame, kFrame, 1e-9);
        EXPECT_NEAR(peaks.KnownSeconds(), 10.01, 0.1);
        PeakPair frames[300];
        peaks.Columns(0, secondsPerFrame, frames);
        // Loud inside a burst, silent a frame away from one; the edge frames may be either.
        for (int f = 0; f < 300; ++f) {
            bool inside = false, near = false;
            for (const Burst& b : kBursts) {
                inside |= f >= b.from && f < b.to;
                near |= f >= b.from - 1 && f <= b.to;
            }
            const int loudness = frames[f].max - frames[f].min;
            if (inside) {
                EXPECT_GT(loudness, 150) << "frame " << f;
            }
            if (!near) {
                EXPECT_LT(loudness, 8) << "frame " << f;
            }
        }
    }
}

// Runs of speech in made sound: a buzz with a voice's harmonics in bursts at known times, over
// silence or noise; noise alone, silence and clicks are not speech; bursts a breath apart are
// one run. Runs are in 10 ms frames; each end may fall a frame either way.
TEST_F(Media, SpeechRunsOfMadeSoundFallOnTheirFrames) {
    const std::string buzz =
        "0.15*(sin(2*PI*140*t)+0.8*sin(2*PI*280*t)+0.6*sin(2*PI*420*t)+"
        "0.5*sin(2*PI*700*t)+0.3*sin(2*PI*1400*t)+0.2*sin(2*PI*2800*t))";
    const auto between = [](double a, double b) {
        return "between(t\\," + std::to_string(a) + "\\," + std::to_string(b - 0.0001) + ")";
    };
    const std::string bursts = "(" + between(1, 1.8) + "+" + between(2.5, 3.1) + ")";
    const std::string noise = "0.03*(random(0)-0.5)";
    const struct {
        const char* name;
        std::string sound;
        double late;
        std::vector<SpeechRun> runs;
    } kCases[] = {
        {"bursts", buzz + "*" + bursts, 0, {{100, 180}, {250, 310}}},
        {"bursts over noise", buzz + "*" + bursts + "+" + noise, 0, {{100, 180}, {250, 310}}},
        {"bursts, sound late", buzz + "*" + bursts, 0.5, {{150, 230}, {300, 360}}},
        // Once taken for speech until the background had climbed to it, 3 dB a second.
        {"bursts over a chord from the start",
         buzz + "*" + bursts + "+0.02*(sin(2*PI*262*t)+sin(2*PI*330*t)+sin(2*PI*392*t))",
         0,
         {{100, 180}, {250, 310}}},
        {"a breath apart",
         buzz + "*(" + between(1, 1.5) + "+" + between(1.6, 2) + ")",
         0,
         {{100, 200}}},
        {"noise bursts", "8*" + noise + "*" + bursts, 0, {}},
        {"clicks", buzz + "*(" + between(1, 1.03) + "+" + between(2, 2.02) + ")", 0, {}},
        {"silence", "0", 0, {}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const std::string path =
            Made("speech.mkv", "-f lavfi -i testsrc=s=160x120:r=30000/1001:d=4 -itsoffset " +
                                   std::to_string(c.late) + " -f lavfi -i \"aevalsrc=" + c.sound +
                                   ":s=44100:d=" + std::to_string(4 - c.late) +
                                   "\" -c:v mpeg4 -c:a pcm_s16le");
        AudioPeaks peaks;
        SpeechActivity speech;
        JobControl control;
        ASSERT_EQ(ReadAudioPeaks(path, 0, peaks, control, {}, &speech), MediaRead::kDone);
        EXPECT_TRUE(speech.Complete());
        EXPECT_NEAR(speech.KnownSeconds(), 4, 0.05);
        const std::vector<SpeechRun> runs = speech.Runs();
        ASSERT_EQ(runs.size(), c.runs.size());
        for (size_t i = 0; i < runs.size(); ++i) {
            EXPECT_NEAR(runs[i].from, c.runs[i].from, 1) << "run " << i;
            EXPECT_NEAR(runs[i].to, c.runs[i].to, 1) << "run " << i;
        }
    }
}

// Six shots of different test patterns, cut at these frames.
constexpr int kShotFrames[] = {37, 45, 31, 50, 29, 40};
constexpr int32_t kCuts[] = {37, 82, 113, 163, 192};

// With `sound`, eight seconds of sound too.
std::string ShotClip(bool sound = false) {
    const char* sources[] = {"testsrc",  "smptebars",  "mandelbrot",
                             "testsrc2", "rgbtestsrc", "cellauto"};
    std::string inputs, graph, joined;
    for (int i = 0; i < 6; ++i) {
        const std::string n = std::to_string(i);
        inputs += std::string("-f lavfi -i ") + sources[i] + "=s=320x240:r=30000/1001 ";
        graph += "[" + n + "]trim=end_frame=" + std::to_string(kShotFrames[i]) +
                 ",setpts=PTS-STARTPTS,format=yuv420p[s" + n + "];";
        joined += "[s" + n + "]";
    }
    // A voice's harmonics in two bursts, 1-1.8 s and 2.5-3.1 s, in eight seconds.
    if (sound)
        inputs += "-f lavfi -i \"aevalsrc=0.15*(sin(2*PI*140*t)+0.8*sin(2*PI*280*t)+"
                  "0.6*sin(2*PI*420*t)+0.5*sin(2*PI*700*t))*(between(t\\,1\\,1.7999)+"
                  "between(t\\,2.5\\,3.0999)):s=44100:d=8\" ";
    return inputs + "-filter_complex \"" + graph + joined + "concat=n=6[v]\" -map \"[v]\" " +
           (sound ? "-map 6:a " : "");
}

TEST_F(Media, ShotChangesOfJoinedPatternsFallOnTheirCuts) {
    const std::string clip = Made("cuts.mp4", ShotClip() + "-c:v libx264");
    const struct {
        const char* name;
        std::string arguments;
    } kCases[] = {{"h264", ""},
                  {"mpeg2.mpg", "-i '" + clip + "' -c:v mpeg2video -q:v 3 -bf 2 -g 15"},
                  {"mpeg4.avi", "-i '" + clip + "' -c:v mpeg4 -q:v 3"}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const std::string path = c.arguments.empty() ? clip : Made(c.name, c.arguments);
        ShotScores scores;
        JobControl control;
        ASSERT_EQ(ScoreShotChanges(path, scores, control), MediaRead::kDone);
        ASSERT_EQ(scores.Frames(), 232u);
        const std::vector<uint8_t> all = scores.Snapshot();
        for (int threshold : {20, kDefaultShotThreshold, 50}) {
            const std::vector<int32_t> found = ShotChangesFrom(all, threshold);
            EXPECT_EQ(found, std::vector<int32_t>(std::begin(kCuts), std::end(kCuts)))
                << "threshold " << threshold;
        }
        EXPECT_TRUE(ShotChangesFrom(all, kHighestShotThreshold).empty());
    }
}

TEST(ShotChangeFile, ReadsFramesAndTimecodesAndNamesBadLines) {
    const struct {
        const char* text;
        std::vector<int32_t> frames;
        std::vector<int64_t> badLines;
    } kCases[] = {
        {"120\n37\n\n  4000 \r\n37\n", {37, 120, 4000}, {}},
        {"\t90\t\n\t00:00:04:00\t\n", {90, 120}, {}},
        {"00:00:01:07\n00:01:00;02\n01:00:00:00", {37, 1800, 108000}, {}},
        {"\xEF\xBB\xBF"
         "12\nabc\n00:00:01:30\n12x\n-5\n00:00:01:07 x\n1:2:3:4\n99999999999\n",
         {12},
         {2, 3, 4, 5, 6, 7, 8}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.text);
        const ShotChangeList list = ParseShotChanges(c.text);
        EXPECT_EQ(list.frames, c.frames);
        std::vector<int64_t> bad;
        for (const auto& line : list.bad) bad.push_back(line.line);
        EXPECT_EQ(bad, c.badLines);
    }
    EXPECT_EQ(BadShotChangeLinesText("cuts.txt", ParseShotChanges("1\nabc\n2\nx\n")),
              "cuts.txt\n\n2 lines are neither a frame number nor a timecode and were left out, "
              "first line 2: \"abc\"");
    ShotChangeList list;
    std::string reason;
    EXPECT_FALSE(ReadShotChangeFile("/nonexistent/cuts.txt", list, reason));
    EXPECT_FALSE(reason.empty());
}

void SetModified(const std::string& path, time_t seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(MediaCache, KeepsAnEntryUntilTheVideoOrTheEntryChanges) {
    testing::TempDir dir;
    const std::string video = dir.File("video.mpg");
    const std::string folder = dir.File("cache");
    const struct {
        const char* change;
        std::function<void()> apply;
        bool kept;
    } kCases[] = {
        {"nothing", [] {}, true},
        {"modification time", [&] { SetModified(video, 2000); }, false},
        {"size", [&] { testing::WriteFileText(video, "longer video"); }, false},
        {"damaged entry",
         [&] {
             for (const auto& entry : std::filesystem::directory_iterator(folder)) {
                 std::string bytes = testing::ReadFileText(entry.path());
                 bytes[bytes.size() / 2] ^= 1;
                 testing::WriteFileText(entry.path(), bytes);
             }
         },
         false},
        // What is planted in an entry's place is not read: a link, even to the entry's own
        // bytes, and a pipe, which nothing writes to.
        {"entry a link to its copy",
         [&] {
             for (const auto& entry : std::filesystem::directory_iterator(folder)) {
                 std::filesystem::rename(entry.path(), dir.File("copy"));
                 std::filesystem::create_symlink(dir.File("copy"), entry.path());
             }
         },
         false},
        {"entry a pipe",
         [&] {
             for (const auto& entry : std::filesystem::directory_iterator(folder)) {
                 std::filesystem::remove(entry.path());
                 ASSERT_EQ(::mkfifo(entry.path().c_str(), 0600), 0);
             }
         },
         false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.change);
        testing::WriteFileText(video, "video");
        SetModified(video, 1000);
        ASSERT_TRUE(StoreMediaCache(folder, video, "kind", "computed"));
        c.apply();
        const std::optional<std::string> loaded = LoadMediaCache(folder, video, "kind");
        EXPECT_EQ(loaded.has_value(), c.kept);
        if (loaded) {
            EXPECT_EQ(*loaded, "computed");
        }
        EXPECT_FALSE(LoadMediaCache(folder, video, "other kind"));
    }
}

bool WaitSettled(const MediaAnalysis& analysis) {
    for (int i = 0; i < 600 && !analysis.Settled(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return analysis.Settled();
}

// A second open of the same video takes both from the cache: the video's bytes are replaced
// by others of the same size and time, which could not be read. A new time reads them again.
TEST_F(Media, AnalysisIsCachedUntilTheVideoChanges) {
    const std::string video = Made("cuts.mp4", ShotClip(true));
    SetModified(video, 1000);
    const std::string folder = dir_.File("cache");
    MediaAnalysis first(folder);
    first.Open(video);
    ASSERT_TRUE(WaitSettled(first));
    ASSERT_TRUE(first.Peaks() && first.Peaks()->Complete());
    const std::vector<int32_t> cuts = first.ShotChanges();
    EXPECT_EQ(cuts, std::vector<int32_t>(std::begin(kCuts), std::end(kCuts)));
    // The two bursts are two runs (a steady tone would be none).
    ASSERT_TRUE(first.Speech() && first.Speech()->Complete());
    const std::vector<SpeechRun> runs = first.Speech()->Runs();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_NEAR(runs[0].from, 100, 2);
    EXPECT_NEAR(runs[1].to, 310, 2);
    const std::string bytes = testing::ReadFileText(video);
    testing::WriteFileText(video, std::string(bytes.size(), 'x'));
    for (time_t modified : {1000, 3000}) {
        SetModified(video, modified);
        MediaAnalysis again(folder);
        again.Open(video);
        ASSERT_TRUE(WaitSettled(again));
        const bool cached = modified == 1000;
        EXPECT_EQ(again.Peaks() != nullptr, cached);
        EXPECT_EQ(again.Speech() != nullptr, cached);
        if (cached) {
            EXPECT_EQ(again.Peaks()->Finest().size(), first.Peaks()->Finest().size());
            EXPECT_EQ(again.Speech()->Runs(), runs);
        }
        EXPECT_EQ(again.ShotChanges(), cached ? cuts : std::vector<int32_t>());
        EXPECT_NEAR(again.SecondsPerFrame(), cached ? kFrame : 0, 1e-9);
    }
}

// Detection paused while the video plays goes no further, and closing the video stops it.
TEST_F(Media, PausedDetectionWaitsAndClosingStopsIt) {
    const std::string video = Made("cuts.mp4", ShotClip() + "-c:v libx264");
    MediaAnalysis analysis("");
    analysis.SetPaused(true);
    analysis.Open(video);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_LT(analysis.ScoredFrames(), 232u);
    EXPECT_FALSE(analysis.Settled());
    analysis.SetPaused(false);
    ASSERT_TRUE(WaitSettled(analysis));
    EXPECT_EQ(analysis.ScoredFrames(), 232u);
    analysis.SetPaused(true);
    analysis.Open(video);
    analysis.Close();
    EXPECT_TRUE(analysis.Settled());
    EXPECT_TRUE(analysis.ShotChanges().empty());
}

}  // namespace
}  // namespace vantrel
