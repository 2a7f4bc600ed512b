// Little-endian integers of the project file.
#pragma once

#include <cstdint>
#include <string>

namespace vantrel {

inline void AppendLittleEndian(std::string& out, uint32_t value, int bytes) {
    for (int k = 0; k < bytes; ++k) out += static_cast<char>((value >> (8 * k)) & 0xFF);
}

inline uint32_t ReadLittleEndian(const uint8_t* bytes, int count) {
    uint32_t value = 0;
    for (int k = count - 1; k >= 0; --k) value = value << 8 | bytes[k];
    return value;
}

}  // namespace vantrel
