// The project: the captions, the video paths and the flags that the views and the file and
// stream operations share.
#pragma once

#include <atomic>
#include <string>

#include "model/caption_list.h"
#include "model/project_host.h"

namespace vantrel {

struct CaptionProject {
    std::string videoPath;
    std::string secondPath;
    ProjectHost* host = nullptr;  // the main view, or the command-line tool; may be null
    CaptionList captions;
    int modified = 0;
    std::atomic<int> cancel{0};

    void ClearCaptions() {
        captions.Clear();
        modified = 1;
    }

    // Replaces the captions by those of `read` (which ends empty): the last step of an import
    // or a load, taken only once everything was read.
    void ReplaceCaptions(CaptionList& read) {
        ClearCaptions();
        captions.MoveFrom(read);
    }
};

}  // namespace vantrel
