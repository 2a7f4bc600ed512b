// Decoding one DTVCC service into pop-on captions: a state machine over the service's windows
// fed one caption channel packet at a time, as a receiver reads them. What the visible windows
// show is placed on the 15 x 32 caption screen; each change of it that replaces what was shown
// (a window shown, hidden, cleared, deleted or scrolled) begins a caption, and text written
// into a visible window grows the caption shown (paint-on, roll-up between rolls).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "dtvcc/dtvcc_packets.h"
#include "model/caption.h"
#include "model/caption_list.h"

namespace vantrel::dtvcc {

// What the service held that the 608 screen has no place for, by kind: how many and the frame
// of the first (-1 when there is none).
struct ServiceReport {
    struct Tally {
        size_t count = 0;
        int64_t firstFrame = -1;
        void Add(int64_t frame) {
            if (count++ == 0) firstFrame = frame;
        }
    };
    Tally clippedCharacters;  // characters beyond the 32 columns or 15 rows of the screen
    Tally tallCaptions;       // captions of more than 4 rows
    Tally styles;             // pen settings 608 lacks: size, font, offset, edges, opacity
    Tally unknownCodes;       // codes of the extended sets and 16-bit characters, left out
    size_t captions = 0;
};

// The services a stream of packets carries (bit n for service n, 1 to 63).
uint64_t ServicesOf(std::span<const Packet> packets);

class ServiceDecoder {
  public:
    explicit ServiceDecoder(int service = 1);
    ~ServiceDecoder();
    ServiceDecoder(const ServiceDecoder&) = delete;
    ServiceDecoder& operator=(const ServiceDecoder&) = delete;

    // One whole packet, its commands taking effect on its frame (frames never go back).
    void Feed(const Packet& packet);
    // Ends the stream and inserts every caption made into `list`.
    void Finish(CaptionList& list);
    const ServiceReport& Report() const { return report_; }

  private:
    struct Window;
    void Block(std::span<const uint8_t> data);
    void Code(const uint8_t* p, size_t n);
    void Command(const uint8_t* p);
    void Put(uint8_t character);
    void Pen(const uint8_t* p, bool colours);
    void Windows(uint8_t command, uint8_t mask);
    void Compose(Caption& screen);
    void ScreenChanged();

    int service_;
    int64_t frame_ = 0;
    std::vector<Window> windows_;
    int current_ = -1;
    bool replaced_ = false;  // the packet changed what is shown other than by adding text

    std::unique_ptr<Caption> shown_;
    std::vector<std::unique_ptr<Caption>> made_;
    ServiceReport report_;
};

// Decodes service `service` of the packets into pop-on captions inserted into the list.
ServiceReport DecodeService(CaptionList& list, std::span<const Packet> packets, int service);

}  // namespace vantrel::dtvcc
