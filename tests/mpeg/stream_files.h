// Files and byte streams for the MPEG-2 tests: a private temporary folder, start-code units
// built by hand, and whole-file reads.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

namespace vantrel::testing {

using Bytes = std::vector<uint8_t>;

// A folder of its own under the system's temporary folder, removed with everything in it.
class TempDir {
  public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vantrel-mpeg-XXXXXX");
        if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    Bytes bytes(static_cast<size_t>(std::max<std::streamoff>(in.tellg(), 0)));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

inline void Append(Bytes& to, std::initializer_list<uint8_t> bytes) {
    to.insert(to.end(), bytes.begin(), bytes.end());
}

inline void Append(Bytes& to, const Bytes& bytes) {
    to.insert(to.end(), bytes.begin(), bytes.end());
}

// A unit of `size` bytes: 00 00 01 `code`, then filler that holds no zero byte, so no start code.
inline Bytes Unit(uint8_t code, size_t size, uint8_t seed = 0) {
    uint8_t filler[255];
    for (size_t i = 0; i < sizeof filler; ++i)
        filler[i] = static_cast<uint8_t>(1 + (i * 7 + seed) % 255);
    Bytes unit(size);
    const uint8_t head[4] = {0x00, 0x00, 0x01, code};
    for (size_t i = 0; i < size; i += sizeof filler) {
        std::memcpy(unit.data() + i, filler, std::min(sizeof filler, size - i));
    }
    std::memcpy(unit.data(), head, std::min(size, sizeof head));
    return unit;
}

}  // namespace vantrel::testing
