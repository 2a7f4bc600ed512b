// A transcript file's blocks become captions laid out as subtitle cues are; what cannot be read
// or shown is told.
#include "files/transcript.h"

#include <gtest/gtest.h>

#include "files/file_messages.h"
#include "files_test_support.h"

namespace vantrel {
namespace {

TEST(Transcript, BlocksBecomeCaptionsAndProblemsAreTold) {
    testing::TempDir dir;
    const std::string path = dir.File("t.txt");
    const struct {
        const char* text;                   // null: no file
        std::vector<std::string> captions;  // the rows joined by spaces
        std::vector<std::string> messages;
    } cases[] = {
        {nullptr, {}, {ErrorOpeningFileText(path, "No such file or directory")}},
        {"Hello there.\nHow are you?\n\nFine.\n", {"Hello there. How are you?", "Fine."}, {}},
        // A byte order mark, CR LF, blank lines of blanks, blanks around lines.
        {"\xEF\xBB\xBF  One \r\n \t \r\n\r\nTwo\r\n", {"One", "Two"}, {}},
        {"Caf\xC3\xA9\n\n\xE6\x97\xA5\n\nok \xE6\x97\xA5\xE6\x97\xA5",
         {"Caf\xE9", "ok"},
         {UnshownTranscriptCharactersText(path, 3, 0x65E5, 3)}},
        {"\n  \n", {}, {NoTranscriptText(path)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(none)");
        if (c.text) testing::WriteFileText(path, c.text);
        testing::RecordingHost host;
        CaptionProject project;
        project.host = &host;
        std::vector<std::string> texts;
        for (const auto& caption : ReadTranscriptFile(project, path)) {
            char text[256];
            texts.emplace_back(text, caption->GetRunningText(text, false, sizeof text - 1));
        }
        EXPECT_EQ(texts, c.captions);
        EXPECT_EQ(host.messages, c.messages);
    }
}

}  // namespace
}  // namespace vantrel
