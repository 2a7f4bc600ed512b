// Cuts text held in memory into lines: a line ends at a line feed, which is removed; a
// carriage return before it stays in the line. Text after the last line feed is a last line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace vantrel {

class TextLines {
  public:
    explicit TextLines(std::span<const uint8_t> text)
        : text_(reinterpret_cast<const char*>(text.data()), text.size()) {}

    // The next line, or false at the end of the text.
    bool Next(std::string_view& line) {
        if (pos_ >= text_.size()) return false;
        const size_t end = text_.find('\n', pos_);
        if (end == std::string_view::npos) {
            line = text_.substr(pos_);
            pos_ = text_.size();
        } else {
            line = text_.substr(pos_, end - pos_);
            pos_ = end + 1;
        }
        return true;
    }

  private:
    std::string_view text_;
    size_t pos_ = 0;
};

}  // namespace vantrel
