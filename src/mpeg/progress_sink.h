// What a long stream operation tells about how far it has got.
#pragma once

#include <cstdint>

namespace vantrel {

class ProgressSink {
  public:
    virtual ~ProgressSink() = default;

    // Called on the worker thread with the byte offset the operation has reached in its source.
    virtual void SetProgress(uint64_t position) = 0;
};

}  // namespace vantrel
