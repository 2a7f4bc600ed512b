#include <vector>

#include "codec/code_string.h"
#include "files/little_endian.h"
#include "files/project_file.h"

namespace vantrel {

void WriteRecord(const Caption& caption, std::string& out) {
    const CodeString code = BuildCodeString(caption, kRecordCodeCapacity);
    AppendLittleEndian(out, static_cast<uint32_t>(code.size() + kMinRecordSize), 2);
    out += static_cast<char>(caption.timingMode);
    out += static_cast<char>(caption.screenValid);
    AppendLittleEndian(out, static_cast<uint32_t>(caption.startFrame), 4);
    AppendLittleEndian(out, static_cast<uint32_t>(caption.endFrame), 4);
    out.append(code.begin(), code.end());
    out += '\0';
}

bool ReadRecord(Caption& caption, ByteInput& in) {
    uint8_t lengthBytes[2];
    if (in.Read(lengthBytes, 2) != 2) return false;
    const size_t length = ReadLittleEndian(lengthBytes, 2);
    if (length < kMinRecordSize) return false;
    // Each record its own buffer; a zero byte after the last byte read ends the code string
    // there at the latest.
    std::vector<uint8_t> record(length - 2 + 1, 0);
    if (in.Read(record.data(), length - 2) != length - 2) return false;
    caption.timingMode = static_cast<int8_t>(record[0]);
    caption.screenValid = record[1];
    caption.startFrame = static_cast<int32_t>(ReadLittleEndian(&record[2], 4));
    caption.endFrame = static_cast<int32_t>(ReadLittleEndian(&record[6], 4));
    const uint8_t screenValid = caption.screenValid;
    LoadCodeString(caption, std::span<const uint8_t>(record).subspan(kRecordFixedSize - 2));
    // Rendering marks the screen valid; the record's flag is kept as it was saved.
    caption.screenValid = screenValid;
    return true;
}

}  // namespace vantrel
