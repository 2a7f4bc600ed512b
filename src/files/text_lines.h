// The text files that the readers take (.scc, .ccd, .srt, .vtt): their bytes as text in the
// reader's character set, and that text cut into numbered lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

#include "files/pair_stream.h"

namespace vantrel {

// A file's bytes as UTF-8 text. A leading UTF-8 byte order mark is skipped; text with a UTF-16
// byte order mark (little- or big-endian) is converted, a lone surrogate becoming U+FFFD.
class DecodedText {
  public:
    explicit DecodedText(std::string_view bytes);
    explicit DecodedText(std::span<const uint8_t> bytes)
        : DecodedText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())) {
    }

    std::string_view Text() const { return converted_ ? std::string_view(storage_) : original_; }
    // The file began with a byte order mark: it is Unicode for sure.
    bool HadByteOrderMark() const { return byteOrderMark_; }

  private:
    std::string_view original_;
    std::string storage_;
    bool converted_ = false;
    bool byteOrderMark_ = false;
};

// A line holding nothing but blanks.
inline bool IsBlankLine(std::string_view line) {
    return line.find_first_not_of(" \t\v\f") == std::string_view::npos;
}

// Cuts text into lines. A line ends at a line feed, a carriage return and line feed, or a
// carriage return alone (as old Mac files have them); the line end is not part of the line.
// Text after the last line end is a last line.
class TextLines {
  public:
    explicit TextLines(std::string_view text)
        : text_(text), lineFeed_(Find('\n', 0, text.size())) {}

    // The next line, or false at the end of the text.
    bool Next(std::string_view& line) {
        if (pos_ >= text_.size()) return false;
        // The next line feed is looked for once, not once per line, so that a file of carriage
        // returns alone is not searched to its end for every line.
        if (lineFeed_ < pos_) lineFeed_ = Find('\n', pos_, text_.size());
        const size_t end = Find('\r', pos_, lineFeed_);
        line = text_.substr(pos_, end - pos_);
        pos_ = end + 1;
        if (end < lineFeed_ && pos_ == lineFeed_) ++pos_;  // CR LF
        ++number_;
        return true;
    }

    // The number of the line Next gave last, counted from 1.
    size_t Number() const { return number_; }

  private:
    // The first `c` in [from, to), or `to`.
    size_t Find(char c, size_t from, size_t to) const {
        if (from >= to) return to;
        const void* at = std::memchr(text_.data() + from, c, to - from);
        return at ? static_cast<size_t>(static_cast<const char*>(at) - text_.data()) : to;
    }

    std::string_view text_;
    size_t pos_ = 0;
    size_t lineFeed_;
    size_t number_ = 0;
};

}  // namespace vantrel
