// The caption services a file's data holds (its 608 channels and 708 services), and the
// captions of its 708 service where it holds no 608 captions on the channel read.
#pragma once

#include <cstdint>
#include <string>

#include "codec/decoder.h"
#include "dtvcc/service_decoder.h"
#include "files/pair_stream.h"
#include "model/caption_list.h"

namespace vantrel {

struct HeldServices {
    unsigned channels = 0;  // bit n - 1 for 608 channel n: a control code of it in its field
    uint64_t services = 0;  // bit n for 708 service n: a service block of it
};
HeldServices HeldServicesOf(const CaptionFileData& data);

// How many channels and services are held in all.
int HeldCount(const HeldServices& held);

// Where `list` holds no captions (none of 608 on the channel read) and the data holds 708
// entries: the captions of service `options.service` inserted into it. `report.captions` is
// 0 when none were made.
dtvcc::ServiceReport Import708Service(CaptionList& list, const CaptionFileData& data,
                                      const DecodeOptions& options);

}  // namespace vantrel
