// The carriers' reading and writing of video with FFmpeg's libraries are a module,
// vantrel-video.so, which vantrel-cc loads when it first reads or writes a video file: it starts,
// and converts text, with the C++ runtime alone. A program that links that code in (the window,
// whose player loads FFmpeg anyway, and the tests) uses it directly.
#pragma once

#include <atomic>
#include <string>

#include "carriers/embed_captions.h"
#include "files/pair_stream.h"
#include "media/speech_places.h"
#include "mpeg/mpeg_outcome.h"
#include "mpeg/progress_worker.h"

namespace vantrel {

class CaptionList;
class File;

// What the module does: ReadVideoCaptions (video_captions.h), EmbedCaptions
// (embed_captions.h) and ReadSpeechSound (media/audio_waveform.h).
struct VideoFunctions {
    MpegStatus (*readVideoCaptions)(const std::string& path, ProgressSink& progress,
                                    const std::atomic<int>& cancel, CaptionFileData& out,
                                    std::string& message);
    MpegOutcome (*embedCaptions)(const CaptionList& captions, const std::string& sourcePath,
                                 File& destination, ProgressSink& progress,
                                 const std::atomic<int>& cancel, CaptionCarrier carrier,
                                 bool with708);
    SpeechSoundFunction readSpeechSound;
};

// The module's file name, and the variable that names the one file to load instead.
inline constexpr char kVideoModuleName[] = "vantrel-video.so";
inline constexpr char kVideoModuleVariable[] = "VANTREL_VIDEO_MODULE";

// The module's functions, loaded at the first call, once: from $VANTREL_VIDEO_MODULE when it is
// set, else beside the program, else from the folder it is installed in, else (for a program in
// the build folder) from the build folder. Null when it cannot be loaded, with `error` saying
// what is missing and where it was looked for.
const VideoFunctions* VideoModule(std::string& error);

}  // namespace vantrel

// The module's one entry point.
extern "C" const vantrel::VideoFunctions* vantrel_video_functions();
