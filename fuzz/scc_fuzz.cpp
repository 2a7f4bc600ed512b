// Reading any text as a Scenarist file: the reader, the decoder, and the way back.
#include "files/ccd.h"
#include "files/scc.h"
#include "text_format_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return vantrel::fuzz::TextFormatRoundTrip(data, size, vantrel::ReadSccText,
                                              vantrel::FormatSccText);
}
