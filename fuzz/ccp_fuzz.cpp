// Reading any bytes as a project file. A header that passes the check loads or is reported
// damaged; whatever loads is saved again, and saving and loading soon settles on a file that
// reads back as itself.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "files/file.h"
#include "files/project_file.h"
#include "files/subtitles.h"

using namespace vantrel;

namespace {

// Captions that share a start frame come back in another order (a caption inserted later goes
// before the others of its frame), so their files never settle.
bool SharesStartFrames(const CaptionList& list) {
    for (const Caption* c = list.Head(); c && c->next; c = c->next) {
        if (c->startFrame == c->next->startFrame) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    MemoryInput headerOnly(bytes);
    ProjectHeader header;
    if (ReadProjectHeader(headerOnly, header) != HeaderCheck::Valid) return 0;
    MemoryInput in(bytes);
    auto project = std::make_unique<CaptionProject>();
    const LoadResult result = LoadProject(*project, in, "");
    if (result == LoadResult::Damaged) return 0;
    if (result != LoadResult::Loaded) __builtin_trap();
    if (project->modified || project->videoPath != header.videoPath) __builtin_trap();
    (void)SubtitleText(project->captions);
    (void)TimingReportText(project->captions);
    const int count = project->captions.Count();

    // Records of any file come in any order and each insertion times only the caption before
    // it, and a run that ends in attribute-code cells loses one of them on each trip through
    // its code string (a code is sent only before a character), so a row settles within 32
    // rounds. Then the file loads and saves to itself; the paths, the frame and the number of
    // captions stay the same all along. A relative video path is written from the project's
    // folder, once normalised: the first save sets the path the others keep.
    const std::string projectPath = "project.ccp";
    std::string saved = ProjectFileBytes(*project, header.currentFrame, projectPath);
    const std::string videoPath = StoredVideoPath(*project, projectPath);
    for (int round = 0; round < 40; ++round) {
        const std::vector<uint8_t> file(saved.begin(), saved.end());
        MemoryInput nextHeader(file);
        ProjectHeader next;
        if (ReadProjectHeader(nextHeader, next) != HeaderCheck::Valid) __builtin_trap();
        if (next.currentFrame != header.currentFrame || next.videoPath != videoPath ||
            next.secondPath != header.secondPath) {
            __builtin_trap();
        }
        MemoryInput again(file);
        project = std::make_unique<CaptionProject>();
        if (LoadProject(*project, again, "") != LoadResult::Loaded) __builtin_trap();
        if (project->captions.Count() != count) __builtin_trap();
        std::string resaved = ProjectFileBytes(*project, next.currentFrame, projectPath);
        if (resaved == saved) return 0;
        saved = std::move(resaved);
    }
    if (!SharesStartFrames(project->captions)) __builtin_trap();
    return 0;
}
