// What the caption-file readers make of a file: the pair stream that the decoder cuts into
// captions, and what the reader had to leave out or guess on the way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "dtvcc/dtvcc_packets.h"

namespace vantrel {

// Pair k (bytes 2k and 2k + 1) is the field-1 pair of frame k; every byte has bit 7 set and a
// frame without data holds the null pair 0x80 0x80. The decoder reads whole pairs only. What
// the parity bits said is counted by the reader (CaptionFileData::badParity).
using PairStream = std::vector<uint8_t>;

// Things of one kind that a text reader met: how many, and where the first of them is.
struct LineTally {
    size_t count = 0;
    size_t firstLine = 0;     // counted from 1, the header lines included
    int64_t firstFrame = -1;  // the frame of the first one's timecode, where that tells something

    void Add(size_t line, int64_t frame = -1) {  // line 0: no line tells where
        if (count++ > 0) return;
        firstLine = line;
        firstFrame = frame;
    }
};

// Characters of a kind, with the line of the first and the first few distinct ones.
struct CharacterTally {
    static constexpr size_t kNamed = 8;
    size_t count = 0;
    size_t firstLine = 0;
    std::u32string named;
    bool moreKinds = false;  // distinct characters beyond those named

    void Add(size_t line, char32_t character) {
        if (count++ == 0) firstLine = line;
        if (named.find(character) != std::u32string::npos) return;
        if (named.size() < kNamed) {
            named += character;
        } else {
            moreKinds = true;
        }
    }
};

struct CaptionFileData {
    // The file is of the format asked for (its header line is right; a raw file holds its
    // 4-byte header). When false nothing is imported and nothing is said.
    bool recognized = false;
    PairStream pairs;
    // The field-2 pairs, frame by frame as `pairs`, where the format carries them (.mcc, video
    // user data); empty otherwise. Channels 3 and 4 are read from here.
    PairStream field2Pairs;
    // The valid 708 entries (cc_type 2 and 3), on their frames, where the format carries them
    // (.mcc, video user data).
    std::vector<dtvcc::Entry> dtvcc;
    // A time code rate the file names and no reader of ours takes (an .mcc file at 25 frames per
    // second): nothing is imported, and the rate is named.
    std::string unsupportedRate;

    // Left out: non-blank lines that don't begin with a timecode; lines whose timecode lies
    // before that of the line before; lines whose frame lies past the last frame we read; .ccd
    // brace tokens that name no code (read as null pairs), NUL bytes in .ccd data, and
    // characters of .ccd text that have no 608 code (read as null bytes).
    LineTally unreadableLines;
    LineTally linesOutOfOrder;
    LineTally linesBeyondLimit;
    LineTally unknownTokens;
    LineTally nulBytes;
    CharacterTally charactersWithoutCode;
    // .mcc packets whose checksum or length is wrong.
    LineTally badChecksums;
    // Read, but by a guess: .scc words that are not four hexadecimal digits (read as far as
    // their digits go), and timecodes with a frame number of 30 or more (placed where the
    // arithmetic puts them, in a later second).
    LineTally oddWords;
    LineTally highFrameNumbers;
    // Lines whose timecode falls inside the pairs of the line before: queued after them.
    LineTally queuedLines;
    // Pairs with a byte of even parity (damaged on the way), read as if their parity were
    // right: of field 1 and of field 2, the first by its frame (and line, in a text file).
    LineTally badParity;
    LineTally field2BadParity;

    // A raw file or a stream whose pairs go on past the last frame we read.
    bool truncated = false;
};

}  // namespace vantrel
