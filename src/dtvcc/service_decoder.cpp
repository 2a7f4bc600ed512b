#include "dtvcc/service_decoder.h"

#include <algorithm>
#include <cmath>

#include "codec/decoder.h"
#include "dtvcc/dtvcc_characters.h"
#include "dtvcc/dtvcc_codes.h"
#include "dtvcc/service_writer.h"

namespace vantrel::dtvcc {

namespace {

constexpr int kMaxRows = 16;     // a 4-bit row count
constexpr int kMaxColumns = 64;  // a 6-bit column count
constexpr int kMostRows608 = 4;
// The anchor's range on absolute positioning: 75 lines down, 160 columns across a 4:3
// picture, 210 across a 16:9 one.
constexpr int kAbsoluteLines = 75;
constexpr int kAbsoluteColumns43 = 160;
constexpr int kAbsoluteColumns169 = 210;

// The nearest 608 colour of a 708 one: each of red, green and blue on from level 2.
int Colour608(uint8_t rgb) {
    const bool r = ((rgb >> 4) & 3) >= 2, g = ((rgb >> 2) & 3) >= 2, b = (rgb & 3) >= 2;
    static constexpr int kByBits[8] = {7, 2, 1, 3, 4, 6, 5, 0};  // bgr 000 ... 111
    return kByBits[(r ? 4 : 0) | (g ? 2 : 0) | (b ? 1 : 0)];
}

bool ShowsNothing(const Caption& c) {
    return c.CountOccupiedRows() == 0;
}

// True when `later` holds every cell of `earlier` as it was: text only added.
bool OnlyAdds(const Caption& earlier, const Caption& later) {
    for (int r = 0; r < kScreenRows; ++r) {
        for (int c = 0; c < kScreenColumns; ++c) {
            if (!earlier.cells[r][c].IsEmpty() && earlier.cells[r][c] != later.cells[r][c])
                return false;
        }
    }
    return true;
}

}  // namespace

struct ServiceDecoder::Window {
    bool defined = false;
    bool visible = false;
    bool relative = false;
    int anchorV = 0, anchorH = 0, anchorPoint = 0;
    int rows = 1, columns = kScreenColumns;
    int penRow = 0, penColumn = 0;
    uint8_t attribute = kDefaultAttribute;
    CaptionCell cells[kMaxRows][kMaxColumns] = {};

    void Clear() {
        std::fill(&cells[0][0], &cells[0][0] + kMaxRows * kMaxColumns, CaptionCell{});
        penRow = penColumn = 0;
    }
    // Scrolls the rows up by one, as a carriage return on the last row does.
    void Roll() {
        std::copy(&cells[1][0], &cells[0][0] + kMaxRows * kMaxColumns, &cells[0][0]);
        std::fill(&cells[kMaxRows - 1][0], &cells[kMaxRows - 1][0] + kMaxColumns, CaptionCell{});
    }
};

uint64_t ServicesOf(std::span<const Packet> packets) {
    uint64_t services = 0;
    for (const Packet& p : packets) {
        const std::vector<uint8_t>& b = p.bytes;
        for (size_t i = 1; i < b.size() && b[i] != 0;) {
            int service = b[i] >> 5;
            const size_t size = b[i] & 0x1F;
            ++i;
            if (service == kExtendedServiceNumber) {
                if (i >= b.size()) break;
                service = b[i++] & 0x3F;
            }
            if (size > 0 && service > 0) services |= uint64_t{1} << service;
            i += size;
        }
    }
    return services;
}

ServiceDecoder::ServiceDecoder(int service) : service_(service), windows_(kWindowCount) {}
ServiceDecoder::~ServiceDecoder() = default;

void ServiceDecoder::Feed(const Packet& packet) {
    frame_ = std::max(frame_, packet.frame);
    const std::vector<uint8_t>& b = packet.bytes;
    // Blocks follow the header until a null block header or the packet's end.
    for (size_t i = 1; i < b.size() && b[i] != 0;) {
        int service = b[i] >> 5;
        const size_t size = b[i] & 0x1F;
        ++i;
        if (service == kExtendedServiceNumber) {
            if (i >= b.size()) break;
            service = b[i++] & 0x3F;
        }
        const size_t n = std::min(size, b.size() - i);
        if (service == service_) Block(std::span(b).subspan(i, n));
        i += n;
    }
    ScreenChanged();
}

void ServiceDecoder::Block(std::span<const uint8_t> data) {
    for (size_t i = 0; i < data.size();) {
        const size_t n = CodeBytes(data.data() + i, data.size() - i);
        if (i + n > data.size()) break;  // a command cut short by the block's end: left out
        Code(data.data() + i, n);
        i += n;
    }
}

void ServiceDecoder::Code(const uint8_t* p, size_t n) {
    const uint8_t b = p[0];
    if (b == kExt1) {
        if (n == 2 && p[1] == kTransparentSpace) {  // a cell left empty
            if (current_ >= 0) Put(0);
            return;
        }
        const uint8_t character = n == 2 ? CaptionCharacterOf(p[1], true) : 0;
        if (character) {
            Put(character);
        } else {
            report_.unknownCodes.Add(frame_);
        }
        return;
    }
    if ((b >= 0x20 && b < 0x80) || b >= 0xA0) {
        const uint8_t character = CaptionCharacterOf(b, false);
        if (character) {
            Put(character);
        } else {
            report_.unknownCodes.Add(frame_);
        }
        return;
    }
    if (b >= 0x80) {
        Command(p);
        return;
    }
    if (b == kP16) report_.unknownCodes.Add(frame_);
    if (current_ < 0) return;
    Window& w = windows_[static_cast<size_t>(current_)];
    switch (b) {
        case kBackspace:
            if (w.penColumn > 0) w.cells[w.penRow][--w.penColumn] = {};
            replaced_ |= w.visible;
            break;
        case kFormFeed:
            w.Clear();
            replaced_ |= w.visible;
            break;
        case kCarriageReturn:
            w.penColumn = 0;
            if (w.penRow + 1 < w.rows) {
                ++w.penRow;
            } else {
                w.Roll();
                replaced_ |= w.visible;
            }
            break;
        case kHorizontalCr:
            std::fill(w.cells[w.penRow], w.cells[w.penRow] + kMaxColumns, CaptionCell{});
            w.penColumn = 0;
            replaced_ |= w.visible;
            break;
        default:
            break;  // NUL, ETX and the rest change nothing shown
    }
}

void ServiceDecoder::Put(uint8_t character) {
    if (current_ < 0) return;
    Window& w = windows_[static_cast<size_t>(current_)];
    if (w.penColumn >= kMaxColumns) {
        report_.clippedCharacters.Add(frame_);
        return;
    }
    w.cells[w.penRow][w.penColumn++] =
        character ? CaptionCell{character, w.attribute} : CaptionCell{};
}

void ServiceDecoder::Command(const uint8_t* p) {
    const uint8_t b = p[0];
    if (b >= kDefineWindow0) {
        current_ = b - kDefineWindow0;
        Window& w = windows_[static_cast<size_t>(current_)];
        if (!w.defined) {
            w = Window{};
            w.defined = true;
        }
        const bool visible = (p[1] & 0x20) != 0;
        replaced_ |= visible != w.visible;
        w.visible = visible;
        w.relative = (p[2] & 0x80) != 0;
        w.anchorV = p[2] & 0x7F;
        w.anchorH = p[3];
        w.anchorPoint = std::min(p[4] >> 4, 8);
        w.rows = (p[4] & 0x0F) + 1;
        w.columns = (p[5] & 0x3F) + 1;
        w.penRow = std::min(w.penRow, w.rows - 1);
        return;
    }
    if (b >= kSetCurrentWindow0 && b < kSetCurrentWindow0 + kWindowCount) {
        const int n = b - kSetCurrentWindow0;
        if (windows_[static_cast<size_t>(n)].defined) current_ = n;
        return;
    }
    if (b >= kClearWindows && b <= kDeleteWindows) {
        Windows(b, p[1]);
        return;
    }
    if (b == kReset) {
        for (Window& w : windows_) {
            replaced_ |= w.visible;
            w = Window{};
        }
        current_ = -1;
        return;
    }
    if (current_ < 0) return;
    Window& w = windows_[static_cast<size_t>(current_)];
    if (b == kSetPenAttributes) {
        Pen(p, false);
    } else if (b == kSetPenColor) {
        Pen(p, true);
    } else if (b == kSetPenLocation) {
        w.penRow = std::min(p[1] & 0x0F, w.rows - 1);
        w.penColumn = p[2] & 0x3F;
    }
    // SetWindowAttributes, Delay and DelayCancel change nothing placed on the 608 screen.
}

void ServiceDecoder::Pen(const uint8_t* p, bool colours) {
    Window& w = windows_[static_cast<size_t>(current_)];
    uint8_t& a = w.attribute;
    if (colours) {
        const uint8_t foregroundOpacity = p[1] >> 6, backgroundOpacity = p[2] >> 6;
        if (foregroundOpacity != kSolid ||
            (backgroundOpacity != kSolid && backgroundOpacity != kTransparent)) {
            report_.styles.Add(frame_);
        }
        a = static_cast<uint8_t>((a & 0xC0) | Colour608(p[1] & 0x3F) | Colour608(p[2] & 0x3F) << 3);
        return;
    }
    const bool standardPen = (p[1] & 0x0F) == 0x05;  // normal offset, standard size
    if (!standardPen || (p[2] & 0x3F) != 0) report_.styles.Add(frame_);  // edges, font
    a = static_cast<uint8_t>((a & 0x3F) | ((p[2] & 0x80) ? kItalicsBit : 0) |
                             ((p[2] & 0x40) ? kUnderlineBit : 0));
}

void ServiceDecoder::Windows(uint8_t command, uint8_t mask) {
    for (int n = 0; n < kWindowCount; ++n) {
        Window& w = windows_[static_cast<size_t>(n)];
        if ((mask & (1 << n)) == 0 || !w.defined) continue;
        const bool wasVisible = w.visible;
        switch (command) {
            case kClearWindows:
                w.Clear();
                break;
            case kDisplayWindows:
                w.visible = true;
                break;
            case kHideWindows:
                w.visible = false;
                break;
            case kToggleWindows:
                w.visible = !w.visible;
                break;
            case kDeleteWindows:
                w = Window{};
                if (current_ == n) current_ = -1;
                break;
            default:
                break;
        }
        replaced_ |= wasVisible || w.visible;
    }
}

void ServiceDecoder::Compose(Caption& screen) {
    for (const Window& w : windows_) {
        if (!w.visible) continue;
        int firstRow = kMaxRows, lastRow = -1, firstColumn = kMaxColumns, lastColumn = -1;
        for (int r = 0; r < kMaxRows; ++r) {
            for (int c = 0; c < kMaxColumns; ++c) {
                if (w.cells[r][c].IsEmpty()) continue;
                firstRow = std::min(firstRow, r);
                lastRow = std::max(lastRow, r);
                firstColumn = std::min(firstColumn, c);
                lastColumn = std::max(lastColumn, c);
            }
        }
        if (lastRow < 0) continue;
        // The anchor as a share of the picture, then as a cell of the caption area.
        const double down = w.relative ? w.anchorV / 100.0 : w.anchorV / double(kAbsoluteLines);
        const double across =
            w.relative ? w.anchorH / 100.0
                       : w.anchorH / double(w.anchorH < kAbsoluteColumns43 ? kAbsoluteColumns43
                                                                           : kAbsoluteColumns169);
        const double inset = kAreaInsetPercent / 100.0, area = kAreaPercent / 100.0;
        int top = static_cast<int>(std::lround((down - inset) / area * kScreenRows));
        int left = static_cast<int>(std::lround((across - inset) / area * kScreenColumns));
        const int vertical = w.anchorPoint / 3, horizontal = w.anchorPoint % 3;
        top -= vertical * w.rows / 2;
        left -= horizontal * w.columns / 2;
        // Text that reaches past the screen moves in as far as it can.
        top = std::max(-firstRow, std::min(top, kScreenRows - 1 - lastRow));
        left = std::max(-firstColumn, std::min(left, kScreenColumns - 1 - lastColumn));
        for (int r = firstRow; r <= lastRow; ++r) {
            for (int c = firstColumn; c <= lastColumn; ++c) {
                const CaptionCell& cell = w.cells[r][c];
                if (cell.IsEmpty()) continue;
                if (top + r >= kScreenRows || left + c >= kScreenColumns) {
                    report_.clippedCharacters.Add(frame_);
                    continue;
                }
                screen.cells[top + r][left + c] = cell;
            }
        }
    }
}

void ServiceDecoder::ScreenChanged() {
    Caption screen;
    Compose(screen);
    const bool empty = ShowsNothing(screen);
    // A window shown again with the same text is another caption, as an end-of-caption code
    // showing the same screen is.
    if (shown_ ? !replaced_ && shown_->SameScreen(screen) : empty) {
        replaced_ = false;
        return;
    }
    if (shown_ && !replaced_ && OnlyAdds(*shown_, screen)) {
        std::copy(&screen.cells[0][0], &screen.cells[0][0] + kGridRows * kScreenColumns,
                  &shown_->cells[0][0]);
        replaced_ = false;
        return;
    }
    replaced_ = false;
    if (shown_) {
        shown_->endFrame = static_cast<int32_t>(std::max(frame_, int64_t{shown_->startFrame} + 1));
        made_.push_back(std::move(shown_));
    }
    if (empty) return;
    shown_ = std::make_unique<Caption>();
    shown_->TakeContent(screen);
    shown_->startFrame = static_cast<int32_t>(frame_);
    shown_->screenValid = 1;
    if (screen.CountOccupiedRows() > kMostRows608) report_.tallCaptions.Add(frame_);
}

void ServiceDecoder::Finish(CaptionList& list) {
    const Caption* last = shown_.get();
    if (shown_) {
        shown_->endFrame = static_cast<int32_t>(LastCaptionEnd(frame_, shown_->startFrame));
        made_.push_back(std::move(shown_));
    }
    report_.captions += made_.size();
    InsertDecoded(made_, last, list);
}

ServiceReport DecodeService(CaptionList& list, std::span<const Packet> packets, int service) {
    ServiceDecoder decoder(service);
    for (const Packet& p : packets) decoder.Feed(p);
    decoder.Finish(list);
    return decoder.Report();
}

}  // namespace vantrel::dtvcc
