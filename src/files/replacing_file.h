// The one way the program writes an output file: the new content goes into a file of its own
// beside the target and takes the target's name in one rename once it is complete, so that the
// target is never seen half-written. Where the system can, the new file has no name until then
// (O_TMPFILE), so a run that is killed leaves nothing behind; elsewhere it has a short hidden
// name (".vt-" and six characters) that the destructor removes.
#pragma once

#include <sys/types.h>

#include <string>

#include "files/file.h"

namespace vantrel {

class ReplacingFile {
  public:
    ReplacingFile() = default;
    // Removes the new file unless it was committed.
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    enum class Kind {
        // A file the user named. A symbolic link is followed (the file it names is replaced,
        // the link stays) where the system would let the user open the link for writing: not
        // another user's link in a folder all may write to that keeps its files to their
        // owners (as /tmp). A device or a pipe is written where it is.
        Output,
        // A file of the program's own (a cache entry, a recovery file): never written through
        // a link or into a pipe or a device, which are replaced like a file; only the user may
        // read the new file.
        Private,
    };

    // Prepares to replace the file at `path`. A folder, or an existing file the user may not
    // write, is refused. False with Error() on failure.
    bool Open(const std::string& path, Kind kind = Kind::Output);

    // The file to write the new content to. Its Path() is the target's path as given, so that
    // messages about it name the real output.
    File& Output() { return file_; }

    // Makes the content the target's: flushed to the storage device, given the replaced file's
    // permissions (and its owner and group where the user may), renamed over the target. False
    // with Error() on failure; the target is then as it was and the new file is gone.
    bool Commit();

    // The system's reason for the last failure of Open or Commit.
    const std::string& Error() const { return error_; }

  private:
    bool Fail(int err);
    bool OpenUnnamed(const std::string& path, mode_t mode);
    bool OpenNamed(const std::string& path, mode_t mode);
    bool LinkUnnamed();
    bool Publish();
    void Discard();

    File file_;
    std::string target_;     // the file replaced: `path`, an output's links followed
    std::string folder_;     // the target's folder with its final slash, "" for the current one
    std::string tempPath_;   // the new file's name while it has one and is not committed
    bool unnamed_ = false;   // the new file has no name yet
    bool inPlace_ = false;   // a device or a pipe, written where it is
    bool replaces_ = false;  // a regular file is there to be replaced
    mode_t mode_ = 0;        // the replaced file's permissions, owner and group
    uid_t owner_ = 0;
    gid_t group_ = 0;
    std::string error_;
};

}  // namespace vantrel
