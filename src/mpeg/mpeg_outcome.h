// How an MPEG-2 stream operation ended, and what the user is to be told about it.
#pragma once

#include <cstddef>
#include <string>

namespace vantrel {

enum class MpegStatus {
    Completed,        // the stream was read to its end (and, multiplexing, written in full)
    NoCaptions,       // extraction: no caption user data with a field-1 pair
    NothingToEncode,  // multiplexing: no caption could be encoded; the destination stays empty
    Cancelled,        // stopped on the project's cancel flag; nothing decoded, output removed
    GroupTooLarge,    // multiplexing: a group of pictures over 10 MiB; what was written stays
    OutOfMemory,      // a buffer could not be had; a multiplex output is removed
    ReadFailed,       // the source could not be read to its end; a multiplex output is removed
    WriteFailed,      // the destination could not be written; it is removed
};

struct MpegOutcome {
    MpegStatus status = MpegStatus::Completed;
    // The message for the user, byte for byte; empty when there is nothing to say.
    std::string message;
    // Multiplexing: captions the encoder had to leave out (0 and empty when none).
    size_t leftOutCount = 0;
    std::string leftOutMessage;
    // Extraction: what the decoder left out (roll-up text, the second channel); empty when
    // nothing.
    std::string skippedMessage;
};

}  // namespace vantrel
