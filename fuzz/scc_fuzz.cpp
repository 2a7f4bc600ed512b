// Reading any text as a Scenarist file: the reader, the decoder, and the way back.
#include "files/ccd.h"
#include "files/scc.h"
#include "text_format_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return vantrel::fuzz::TextFormatRoundTrip(
        data, size,
        [](std::span<const uint8_t> text, const vantrel::PictureRate& rate) {
            return vantrel::ReadSccText(text, nullptr, rate);
        },
        [](std::span<const uint8_t> stream, vantrel::TimecodeStyle style,
           const vantrel::PictureRate& rate) {
            return vantrel::FormatSccText(stream, style, nullptr, rate);
        });
}
