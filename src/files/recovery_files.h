// The recovery files of the window: while a window runs, its unsaved project is written now and
// then to a file of its own in the recovery folder, never over the project itself, so that a
// crash, a kill or a power cut loses at most the last few seconds. Each window has three files
// there, named by an id of its own: "<id>.lock", held locked (flock) for as long as the window
// runs, so that a later start can tell a running window's files from those a dead one left;
// "<id>.ccp", the project in the project file's format; "<id>.path", the path the project was
// opened from or saved to (empty for an untitled one), so that a recovered project is saved
// where it belongs.
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// $XDG_STATE_HOME/vantrel, or ~/.local/state/vantrel when that is not set (or not absolute).
std::string RecoveryFolder();

// The files of the window that runs in this process.
class RecoveryFiles {
  public:
    RecoveryFiles() = default;
    // Releases the lock. The recovery file stays when one was written and not removed since:
    // a program ended by a signal keeps it for the next start. Otherwise the lock file goes too.
    ~RecoveryFiles();
    RecoveryFiles(const RecoveryFiles&) = delete;
    RecoveryFiles& operator=(const RecoveryFiles&) = delete;

    // Creates the folder (only the user may enter it) and a locked lock file of a new id in it.
    // False with Error() when either cannot be made, or the folder is not the user's own (it
    // belongs to another user, or others may write to it); nothing is written then. Only the
    // user may read the files.
    bool Claim(const std::string& folder);
    bool Claimed() const { return lock_ >= 0; }

    // Writes the project's bytes and its path, each replacing the file before in one rename.
    bool Write(std::string_view projectBytes, const std::string& projectPath);
    // Removes the recovery file and its path (the lock stays while the window runs).
    void Remove();
    bool Written() const { return written_; }

    const std::string& ProjectFile() const { return projectFile_; }
    const std::string& Error() const { return error_; }

  private:
    bool Replace(const std::string& path, std::string_view content);

    std::string base_;  // the folder and the id, without an extension
    std::string projectFile_;
    int lock_ = -1;
    bool written_ = false;
    std::string error_;
};

// The files of a window that no longer runs, found at a start; their lock is held (so no other
// start takes them too) until the object is gone.
class LeftRecovery {
  public:
    LeftRecovery(std::string base, int lock);
    ~LeftRecovery();
    LeftRecovery(LeftRecovery&& other) noexcept;
    LeftRecovery& operator=(LeftRecovery&& other) noexcept;
    LeftRecovery(const LeftRecovery&) = delete;
    LeftRecovery& operator=(const LeftRecovery&) = delete;

    // The recovery file, in the project file's format.
    std::string ProjectFile() const { return base_ + ".ccp"; }
    // Where the project belongs; empty for an untitled one.
    std::string ProjectPath() const;
    // When the recovery file was last written.
    std::time_t Changed() const;

    // Removes every file the window left.
    void Discard();

  private:
    std::string base_;
    int lock_;
};

// The recovery files in `folder` left by windows that no longer run, the newest first; none
// when the folder is not the user's own, as others could have put them there. Lock
// files left without a recovery file (a window that ended with nothing unsaved in a way that
// could not clean up) are removed on the way.
std::vector<LeftRecovery> FindLeftRecoveries(const std::string& folder);

}  // namespace vantrel
