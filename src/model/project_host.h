// What the project operations need of whoever owns the project: the window's main view, or
// the command-line tool, which has no video and prints messages on standard error.
#pragma once

#include <cstdint>
#include <string>

namespace vantrel {

class ProjectHost {
  public:
    virtual ~ProjectHost() = default;

    // A plain OK message box (or a line on standard error).
    virtual void Inform(const std::string& text) = 0;
    // What an operation made of its input, for the user to know rather than a problem (what
    // roll-up lines became); the command line does not count it as a failure.
    virtual void Note(const std::string& text) { Inform(text); }

    // The frame current in the view; saved with the project.
    virtual int32_t CurrentFrame() const { return 0; }

    // Video handling for the project file; the command-line tool has none.
    virtual void OpenVideo(const std::string& /*path*/) {}
    virtual void CloseVideo() {}
    virtual bool HasVideo() const { return false; }
    virtual void StepFrames(int32_t /*frame*/) {}
};

}  // namespace vantrel
