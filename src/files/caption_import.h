// Importing a caption file into the project: the file is read by the reader of its extension
// into a pair stream, which the decoder cuts into captions.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "files/file.h"
#include "model/caption_project.h"

namespace vantrel {

enum class ImportResult {
    Imported,       // the file was decoded (a raw file may hold no caption at all)
    NoCaptions,     // a text file with its header and no data; reported
    NotRecognized,  // wrong header line, raw file without its header, other extension; silent
    OpenFailed,     // the file couldn't be opened or read; reported, the project is untouched
    Mpeg2Stream,    // .m2v and no stream reader given; the project is untouched
};

struct ImportHooks {
    // Runs just before the project's captions are cleared, so that windows can forget the
    // captions they hold on to.
    std::function<void()> beforeClear;
    // Reads an .m2v stream, open for reading, into the cleared project: the extraction behind
    // the progress dialog. Without it an .m2v file is left alone and Mpeg2Stream is returned.
    std::function<void(CaptionProject&, File&)> readMpeg2;
};

// Imports the file at `path`; `extension` (without the dot, any case) picks the reader: bin,
// dat, scc, ccd or m2v, and srt or vtt (ImportSubtitleFile). The file is opened and read before
// anything changes, so that a file that can't be read leaves the captions as they were ("Error
// opening file " + path). Once it is read, the captions are cleared and the project is marked
// modified; then the stream is decoded. Messages go to the project's host.
ImportResult ImportCaptionFile(CaptionProject& project, const std::string& path,
                               std::string_view extension, const ImportHooks& hooks = {});

}  // namespace vantrel
