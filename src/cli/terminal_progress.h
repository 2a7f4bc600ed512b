// A ProgressDisplay for the command line: a bar of 50 cells and a percentage, redrawn in place
// on a terminal stream (normally standard error) whenever the percentage changes.
#pragma once

#include <cstdio>
#include <string>

#include "mpeg/progress_worker.h"

namespace vantrel::cli {

class TerminalProgress final : public ProgressDisplay {
  public:
    // `out` may be null for no drawing at all (output that is not a terminal).
    TerminalProgress(std::FILE* out, std::string label) : out_(out), label_(std::move(label)) {}

    // The line for bar position 0 to 1000, without the leading carriage return.
    static std::string Line(const std::string& label, uint32_t barPosition);

    // Runs the worker to its end on the calling thread's time; a cancel request can come from
    // another thread (for instance one that waits for SIGINT) through the worker's
    // RequestCancel().
    void Run(ProgressWorker& worker) override;

  private:
    void Draw(uint32_t barPosition);

    std::FILE* out_;
    std::string label_;
    int percent_ = -1;  // worker thread only
};

}  // namespace vantrel::cli
