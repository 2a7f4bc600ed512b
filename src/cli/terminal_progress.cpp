#include "cli/terminal_progress.h"

namespace vantrel::cli {

namespace {
constexpr uint32_t kCells = 50;
}

std::string TerminalProgress::Line(const std::string& label, uint32_t barPosition) {
    if (barPosition > ProgressWorker::kBarRange) barPosition = ProgressWorker::kBarRange;
    const uint32_t filled = barPosition * kCells / ProgressWorker::kBarRange;
    std::string line = label;
    if (!line.empty()) line += ' ';
    line += '[';
    line.append(filled, '#');
    line.append(kCells - filled, ' ');
    line += "] ";
    line += std::to_string(barPosition / 10);
    line += '%';
    return line;
}

void TerminalProgress::Draw(uint32_t barPosition) {
    const int percent = static_cast<int>(barPosition / 10);
    if (out_ == nullptr || percent == percent_) return;
    percent_ = percent;
    std::fprintf(out_, "\r%s", Line(label_, barPosition).c_str());
    std::fflush(out_);
}

void TerminalProgress::Run(ProgressWorker& worker) {
    percent_ = -1;
    Draw(0);
    // A worker that could not start has its message in its outcome.
    if (worker.Start([this](uint32_t bar) { Draw(bar); }, [] {})) worker.Wait();
    // position / step stops short of 1000 at the end of the source; a finished run shows it.
    if (worker.Outcome().status == MpegStatus::Completed) Draw(ProgressWorker::kBarRange);
    if (out_ != nullptr) {
        std::fputc('\n', out_);
        std::fflush(out_);
    }
}

}  // namespace vantrel::cli
