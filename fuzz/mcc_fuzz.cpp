// Reading any text as a MacCaption file: the reader, the decoder, and the way back.
#include "files/mcc.h"
#include "text_format_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return vantrel::fuzz::TextFormatRoundTrip(
        data, size, vantrel::ReadMccText,
        [](std::span<const uint8_t> pairs, vantrel::TimecodeStyle style,
           const std::atomic<int>* cancel) {
            return vantrel::FormatMccText(pairs, style, cancel);
        });
}
