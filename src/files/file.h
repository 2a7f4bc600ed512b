// File access for the core: a small owning file handle with 64-bit offsets and the system's
// error text on failure, byte inputs read front to back, replacing a file's content in one
// rename, whether two names lead to one file, and file-name extensions.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/project_host.h"

namespace vantrel {

class File {
  public:
    enum class Mode {
        Read,       // existing file, read only
        Create,     // create or truncate, write only
        ReadWrite,  // existing file, read and write, not truncated
        CreateNew,  // a new file that must not exist yet, write only
        // Read only, and only a regular file: a pipe or a device is refused before anything
        // waits for it.
        ReadRegular,
        // As ReadRegular, and never through a symbolic link: the program's own files.
        ReadOwn,
    };

    File() = default;
    ~File() { Close(); }
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Opens `path`; on failure IsOpen() is false and Error() tells why. With a `cancel` flag,
    // an open that waits (a named pipe without a writer) ends when a signal interrupts it
    // once the flag is raised, and a read of a pipe or a device waits in short steps that look
    // at the flag; either then fails (ECANCELED). Without one, an interrupted call is retried.
    bool Open(const std::string& path, Mode mode, const std::atomic<int>* cancel = nullptr);
    // Takes over an open descriptor, which it closes; Path() is `path`.
    void Adopt(int fd, const std::string& path);
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
    // Flushes what was written to the storage device; false on error.
    bool Sync();

    // Whether the last operation failed, its errno and the system's text for it ("" when it
    // did not fail). Each operation starts afresh, so a failure does not stick to later ones.
    const std::string& Error() const { return error_; }
    bool Failed() const { return errno_ != 0; }
    const std::string& Path() const { return path_; }
    int Descriptor() const { return fd_; }

  private:
    void SetError(int err);
    void ClearError();
    // False once the cancel flag ends a wait for a pipe's or a device's data.
    bool WaitForInput();

    int fd_ = -1;
    bool regular_ = true;  // a regular file, whose reads never wait
    const std::atomic<int>* cancel_ = nullptr;
    int errno_ = 0;
    std::string path_;
    std::string error_;
};

// A source of bytes read front to back: a buffer in memory, or an open file read in blocks.
class ByteInput {
  public:
    virtual ~ByteInput() = default;
    // Reads up to n bytes; returns how many arrived (fewer at the end or on an error).
    virtual size_t Read(void* data, size_t n) = 0;
    // A read failed (as opposed to the input ending), and the system's reason.
    virtual bool Failed() const { return false; }
    virtual std::string Error() const { return {}; }
};

class MemoryInput : public ByteInput {
  public:
    explicit MemoryInput(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    size_t Read(void* data, size_t n) override {
        const size_t k = std::min(n, bytes_.size() - pos_);
        if (k > 0) std::memcpy(data, bytes_.data() + pos_, k);
        pos_ += k;
        return k;
    }

  private:
    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
};

class FileInput : public ByteInput {
  public:
    explicit FileInput(File& file) : file_(file), block_(kBlockSize) {}
    size_t Read(void* data, size_t n) override {
        auto* out = static_cast<uint8_t*>(data);
        size_t done = 0;
        while (done < n) {
            if (pos_ == filled_) {
                if (file_.Failed()) break;
                filled_ = file_.Read(block_.data(), block_.size());
                pos_ = 0;
                if (filled_ == 0) break;
            }
            const size_t k = std::min(n - done, filled_ - pos_);
            std::memcpy(out + done, block_.data() + pos_, k);
            pos_ += k;
            done += k;
        }
        return done;
    }
    bool Failed() const override { return file_.Failed(); }
    std::string Error() const override { return file_.Error(); }

  private:
    static constexpr size_t kBlockSize = 65536;
    File& file_;
    std::vector<uint8_t> block_;
    size_t pos_ = 0;
    size_t filled_ = 0;
};

// Writing a file so that it is never left half-written: the content goes into a new file
// beside the target, which then replaces the target in one rename (a ReplacingFile).
enum class WriteResult {
    Written,
    Failed,     // reported as "Error saving file " + path with the system's reason
    Cancelled,  // the project's cancel flag was raised: nothing written, nothing said
};

// Writes `content` as the file at `path`. A target that exists keeps its permissions (and its
// owner and group where the user may give them); one the user may not write is refused; a
// symbolic link keeps pointing where it did, and the file it points to is replaced; a device or
// a pipe is written to directly. On failure a regular target is as it was, the new file is
// removed, and `host` (when given) is told. A `cancel` flag raised before the new file takes
// the target's name leaves the target as it was and no new file.
WriteResult ReplaceFileContent(const std::string& path, std::string_view content, ProjectHost* host,
                               const std::atomic<int>* cancel = nullptr);

// Both names lead to one existing file (through links, or as one path written differently).
bool SameFile(const std::string& a, const std::string& b);

// What a path that names media or a project's video leads to: only an existing regular file is
// opened, so that no name (a URL, a device, a folder) makes the program read anything else.
enum class LocalFileKind {
    Regular,
    Missing,   // nothing there (and no URL): the file may have moved
    NotLocal,  // a URL, or something there that is not a regular file
};
// With `absolute`, the regular file's path from the root (the current folder prepended).
LocalFileKind CheckLocalFile(const std::string& path, std::string* absolute = nullptr);

// The part after the last dot of the name's last component, without the dot; "" when none.
std::string ExtensionOf(std::string_view path);

// Lower-case ASCII letters; other bytes stay.
std::string LowerCaseAscii(std::string_view text);

}  // namespace vantrel
