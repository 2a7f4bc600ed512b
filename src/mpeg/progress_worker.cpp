#include "mpeg/progress_worker.h"

#include <algorithm>
#include <new>
#include <system_error>

#include "files/file_messages.h"
#include "model/caption_project.h"
#include "mpeg/extract_captions.h"
#include "mpeg/multiplex_captions.h"

namespace vantrel {

ProgressWorker::ProgressWorker(uint64_t total, OperationMode mode, File& source, File& destination,
                               CaptionProject& project)
    : step_(total / kBarRange + 1),
      mode_(mode),
      source_(&source),
      destination_(&destination),
      project_(project) {}

ProgressWorker::ProgressWorker(uint64_t total, OperationMode mode, CaptionProject& project, Job job)
    : step_(total / kBarRange + 1), mode_(mode), project_(project), job_(std::move(job)) {}

ProgressWorker::~ProgressWorker() {
    Wait();
}

bool ProgressWorker::Start(BarCallback onBar, DoneCallback onDone) {
    onBar_ = std::move(onBar);
    onDone_ = std::move(onDone);
    busy_.store(true, std::memory_order_release);
    try {
        thread_ = std::thread(&ProgressWorker::Work, this);
        return true;
    } catch (const std::system_error& error) {
        outcome_ = MpegOutcome{};
        outcome_.status = MpegStatus::NotStarted;
        outcome_.message =
            CannotStartText(mode_ == OperationMode::Extraction     ? kExtractionOperation
                            : mode_ == OperationMode::Multiplexing ? kMultiplexOperation
                            : mode_ == OperationMode::SpeechTiming ? kSpeechTimingOperation
                                                                   : kTranscriptOperation,
                            error.code().message());
        busy_.store(false, std::memory_order_release);
        return false;
    }
}

bool ProgressWorker::RequestCancel() {
    if (!Busy()) return true;
    project_.cancel.store(1);
    return false;
}

void ProgressWorker::ForgetCancel() {
    Wait();
    project_.cancel.store(0);
}

void ProgressWorker::Wait() {
    if (thread_.joinable()) thread_.join();
}

void ProgressWorker::SetProgress(uint64_t position) {
    // Called for every unit of a stream: the division only when the bar may have moved.
    if (position >= barFrom_ && position < barFrom_ + step_) return;
    const uint32_t bar = static_cast<uint32_t>(std::min<uint64_t>(position / step_, kBarRange));
    barFrom_ = position / step_ * step_;
    if (bar == bar_) return;
    bar_ = bar;
    if (onBar_) onBar_(bar);
}

void ProgressWorker::Work() {
    try {
        if (job_) {
            outcome_ = job_(*this, project_.cancel, extracted_);
        } else if (mode_ == OperationMode::Extraction) {
            outcome_ =
                ExtractCaptions(*source_, *this, project_.cancel, extracted_, decodeOptions_);
        } else {
            outcome_ = MultiplexCaptions(project_.captions, *source_, *destination_, *this,
                                         project_.cancel);
        }
    } catch (const std::bad_alloc&) {
        outcome_ = MpegOutcome{};
        outcome_.status = MpegStatus::OutOfMemory;
    }
    busy_.store(false, std::memory_order_release);
    if (onDone_) onDone_();
}

}  // namespace vantrel
