// The project's host for the command line: messages go to standard error, prefixed with the
// program's name and the file they are about; there is no video to play.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/project_host.h"

namespace vantrel::cli {

class ConsoleHost : public ProjectHost {
  public:
    // The file that messages are about, named in front of those that don't name it.
    void SetSubject(const std::string& path) { subject_ = path; }

    void Inform(const std::string& text) override;
    // Printed as Inform prints, but not counted.
    void Note(const std::string& text) override;
    size_t MessageCount() const { return messages_; }

    // The frame a project was saved at goes on to a project written from it.
    int32_t CurrentFrame() const override { return currentFrame_; }
    void SetCurrentFrame(int32_t frame) { currentFrame_ = frame; }

  private:
    std::string subject_;
    size_t messages_ = 0;
    int32_t currentFrame_ = 0;
};

}  // namespace vantrel::cli
