// How an MPEG-2 stream operation ended, and what the user is to be told about it.
#pragma once

#include <cstddef>
#include <string>

namespace vantrel {

enum class MpegStatus {
    Completed,        // the stream was read to its end (and, multiplexing, written in full)
    NoCaptions,       // extraction: no caption user data with a field-1 pair
    NothingToEncode,  // multiplexing: no caption could be encoded; the source is not read
    Cancelled,        // stopped on the project's cancel flag; nothing decoded, no output kept
    GroupTooLarge,    // multiplexing: a group of pictures over 10 MiB; no output kept
    OutOfMemory,      // a buffer could not be had; no output kept
    ReadFailed,       // the source could not be read to its end; no output kept
    WriteFailed,      // the destination could not be written; no output kept
    NotAVideoStream,  // multiplexing: the source is no stream that captions can go into
    Refused,          // multiplexing was not begun: a file could not be opened, or the
                      // output would be the source
    NotStarted,       // no thread could be started for the operation; nothing was done
};

struct MpegOutcome {
    MpegStatus status = MpegStatus::Completed;
    // The message for the user, byte for byte; empty when there is nothing to say.
    std::string message;
    // Multiplexing: captions the encoder had to leave out (0 and empty when none).
    size_t leftOutCount = 0;
    std::string leftOutMessage;
    // Multiplexing: captions shown late for lack of loading time (empty when none).
    std::string lateMessage;
    // Multiplexing: captions that start too late for the video (0 and empty when none).
    size_t pastEndCount = 0;
    std::string pastEndMessage;
    // Extraction: what the decoder left out (roll-up text, the second channel); multiplexing:
    // streams of the source left out of the copy. Empty when nothing.
    std::string skippedMessage;
    // Extraction: what roll-up and paint-on data became; empty when none.
    std::string madeMessage;
};

}  // namespace vantrel
