// Writes the bundled demo project: a handful of captions in several colours and styles, one in
// each timing mode, over the video "demo.mpg" beside the project (scripts/make-demo-video.sh).
// The build never runs this; run it by hand when the demo is to change, and commit its output:
//   cmake -S . -B build/tools -DVANTREL_TOOLS=ON -DVANTREL_TESTS=OFF
//   cmake --build build/tools --target make_demo_project
//   build/tools/tools/make_demo_project resources/demo/demo.ccp
#include <cstdio>
#include <string>

#include "files/file.h"
#include "files/project_file.h"
#include "model/caption_project.h"

namespace {

using namespace vantrel;

constexpr uint8_t kWhite = 0, kGreen = 1, kCyan = 3, kRed = 4, kYellow = 5, kMagenta = 6;

struct Row {
    int row;  // 0-14
    int column;
    uint8_t colour;
    uint8_t style;  // kItalicsBit, kUnderlineBit or both
    const char* text;
};

std::unique_ptr<Caption> MakeCaption(int32_t start, int32_t end, TimingMode mode,
                                     std::initializer_list<Row> rows) {
    auto c = std::make_unique<Caption>();
    c->startFrame = start;
    c->endFrame = end;
    c->timingMode = mode;
    for (const Row& r : rows) {
        // Each row in one colour and style, so that its preamble code carries them.
        const uint8_t attribute = static_cast<uint8_t>(0x38 | r.colour | r.style);
        const std::string text = r.text;
        for (size_t i = 0; i < text.size() && r.column + i < kScreenColumns; ++i) {
            c->cells[r.row][r.column + i] = {static_cast<uint8_t>(text[i]), attribute};
        }
    }
    return c;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_demo_project OUTPUT.ccp\n");
        return 2;
    }
    CaptionProject project;
    project.videoPath = "demo.mpg";
    CaptionList& list = project.captions;
    list.Insert(MakeCaption(30, -1, Normal,
                            {{12, 2, kWhite, 0, "Welcome to Vantrel."},
                             {13, 2, kYellow, 0, "This is the bundled demo."}}));
    list.Insert(MakeCaption(150, -1, Persistent,
                            {{12, 4, kGreen, 0, "Green text, held on screen"},
                             {13, 4, kCyan, 0, "until the next caption."}}));
    list.Insert(MakeCaption(270, -1, Seamless,
                            {{1, 2, kMagenta, kItalicsBit, "Italics at the top,"},
                             {2, 2, kWhite, kUnderlineBit, "underline below."}}));
    list.Insert(MakeCaption(390, 480, Manual,
                            {{7, 8, kRed, 0, "Manual timing:"},
                             {8, 8, kWhite, kItalicsBit | kUnderlineBit, "ends where I say."}}));
    list.Insert(MakeCaption(510, -1, Normal,
                            {{12, 1, kWhite, 0, "Click the screen to edit,"},
                             {13, 1, kCyan, kUnderlineBit, "drag me on the timeline."}}));
    for (Caption* c = list.Head(); c; c = c->next) c->ApplyTiming();

    const std::string bytes = ProjectFileBytes(project, 0);
    return ReplaceFileContent(argv[1], bytes, nullptr) == WriteResult::Written ? 0 : 1;
}
