// Importing a caption file into the project: the file is read by the reader of its extension
// into a pair stream, which the decoder cuts into captions.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "codec/decoder.h"
#include "files/file.h"
#include "files/timecode.h"
#include "model/caption_project.h"

namespace vantrel {

enum class ImportResult {
    Imported,           // the file was decoded (it may hold no caption at all: a header only)
    NoCaptions,         // a subtitle file without a cue to show; reported
    NotRecognized,      // wrong header line, raw file without its header, a time code rate
                        // that is not read; reported
    OpenFailed,         // the file couldn't be opened or read; reported
    Mpeg2Stream,        // .m2v and no stream reader given
    VideoFile,          // a video file and no video reader given
    StreamFailed,       // the .m2v or video reader was cancelled or failed; it said why
    TooLarge,           // a text file over kMaxTextFileBytes; reported
    ChannelNotCarried,  // channel 3 or 4 asked of a format without field 2; reported
    Cancelled,          // the project's cancel flag was raised while reading; nothing said
    Other,              // an extension no reader takes; silent
};
// Anything but Imported leaves the project exactly as it was: captions, paths, modified flag.

// Text files are read whole; one larger than this (by its size, or by what a pipe delivers) is
// refused rather than held in memory.
constexpr int64_t kMaxTextFileBytes = int64_t{256} << 20;

struct ImportHooks {
    // Runs just before the project's captions are cleared, so that windows can forget the
    // captions they hold on to.
    std::function<void()> beforeClear;
    // Reads the captions of an .m2v stream, open for reading, into a list of the import's own:
    // the extraction behind the progress dialog (ImportM2v). True when it completed and found
    // captions; otherwise it has told the user why, as far as there is something to tell.
    // Without it an .m2v file is left alone and Mpeg2Stream is returned.
    std::function<bool(CaptionProject&, File&, CaptionList&, const DecodeOptions&)> readMpeg2;
    // Reads the captions of a video file (IsVideoExtension) by its path, as readMpeg2 does
    // (ImportVideo). Without it a video file is left alone and VideoFile is returned.
    std::function<bool(CaptionProject&, const std::string&, CaptionList&, const DecodeOptions&)>
        readVideo;
    // The caption channel to read and what roll-up captions become.
    DecodeOptions decode;
    // The pictures an .scc file's timecodes count (an .mcc file names its own).
    const PictureRate* rate = &kCaptionRate;
};

// The extensions of the video files whose captions are read through FFmpeg's libraries (MP4,
// MOV, Matroska, transport and program streams, raw H.264 and HEVC streams, which are refused
// with a reason); .m2v is not one, its reader is the MPEG-2 one.
bool IsVideoExtension(std::string_view extension);

// Reads the text file at `path` whole, for a reader of its own (a transcript). False when it
// cannot be opened or read, or holds more than kMaxTextFileBytes (told through the project's
// host), or once the project's cancel flag is raised (nothing told).
bool ReadTextFile(CaptionProject& project, const std::string& path, std::vector<uint8_t>& content);

// Imports the file at `path`; `extension` (without the dot, any case) picks the reader: bin,
// dat, scc, ccd, mcc, m2v or a video file's, and srt or vtt (ImportSubtitleFile). The file is read
// and decoded into a list of its own; only when that succeeded are the project's captions replaced
// and the project marked modified. Messages go to the project's host; what roll-up and paint-on
// data became is a note (ProjectHost::Note).
ImportResult ImportCaptionFile(CaptionProject& project, const std::string& path,
                               std::string_view extension, const ImportHooks& hooks = {});

}  // namespace vantrel
