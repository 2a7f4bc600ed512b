// The video packets of an MPEG-1/2 elementary, program or transport stream, found by a walk of
// our own over its packs, PES packets and transport packets that reads nothing but what finding
// the pictures needs, for the frame index of long programmes.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "mpeg/picture_scanner.h"

namespace vantrel {

class File;

enum class MpegContainer { Elementary, Program, Transport };

enum class ScanEnd { Completed, Cancelled, Failed };

// Hands the packets of the first video stream to `found` in decode order, in batches, with the
// bytes of the file read so far; `found` may take the packets out of the vector. Failed when the
// file cannot be read or is no such stream (a transport stream of other than 188-byte packets).
ScanEnd ScanMpegVideo(File& file, MpegContainer container, const std::atomic<bool>& cancel,
                      const std::function<void(std::vector<ScannedPacket>&, int64_t)>& found);

}  // namespace vantrel
