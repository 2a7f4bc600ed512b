// A small owning file handle with 64-bit offsets and the system's error text on failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vantrel {

class File {
  public:
    enum class Mode {
        Read,       // existing file, read only
        Create,     // create or truncate, write only
        ReadWrite,  // existing file, read and write, not truncated
        CreateNew,  // a new file that must not exist yet, write only
    };

    File() = default;
    ~File() { Close(); }
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Opens `path`; on failure IsOpen() is false and Error() tells why.
    bool Open(const std::string& path, Mode mode);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

    // Reads up to n bytes; returns how many arrived (0 at the end or on error).
    size_t Read(void* data, size_t n);
    // Writes all n bytes; false on error.
    bool Write(const void* data, size_t n);
    bool Write(const std::string& text) { return Write(text.data(), text.size()); }
    int64_t Length() const;
    bool Seek(int64_t offset);
    int64_t Tell() const;
    // Removes the file's name when it still names this open regular file, so that a device, a
    // pipe or a file put in its place meanwhile is never removed. The handle stays open.
    bool RemoveName();
    // Flushes what was written to the storage device; false on error.
    bool Sync();

    // The system's text for the last failure ("" when none).
    const std::string& Error() const { return error_; }
    bool Failed() const { return !error_.empty(); }
    const std::string& Path() const { return path_; }

  private:
    void SetError(int err);

    int fd_ = -1;
    std::string path_;
    std::string error_;
};

// Reads a whole file into `out`; false with `error` set on failure.
bool ReadWholeFile(const std::string& path, std::string& out, std::string& error);

}  // namespace vantrel
