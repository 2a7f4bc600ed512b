// A transcript's blocks become captions laid out as subtitle cues are; what cannot be read or
// shown is told.
#include "files/transcript.h"

#include <gtest/gtest.h>

#include "files/file_messages.h"
#include "files_test_support.h"

namespace vantrel {
namespace {

using testing::RecordingHost;
using testing::TempDir;

// Each caption's rows as a person reads them, rows joined by '|'.
std::vector<std::string> Texts(const std::vector<std::unique_ptr<Caption>>& captions) {
    std::vector<std::string> out;
    for (const auto& c : captions) {
        char text[1024];
        c->GetLinesText(text, false, sizeof text - 1);
        std::string s(text);
        for (size_t at; (at = s.find("\r\n")) != std::string::npos;) s.replace(at, 2, "|");
        out.push_back(s);
    }
    return out;
}

TEST(Transcript, BlocksBecomeCaptions) {
    const struct {
        const char* text;
        std::vector<std::string> captions;
        size_t unshown;
        size_t firstUnshownLine;
    } cases[] = {
        {"Hello there.\nHow are you?\n\nFine.\n", {"Hello there.|How are you?", "Fine."}, 0, 0},
        // Blank lines of spaces, CR LF, a byte order mark, blanks around lines.
        {"\xEF\xBB\xBF  One \r\n \t \r\n\r\nTwo\r\n", {"One", "Two"}, 0, 0},
        // Six rows need two screens of three.
        {"a\nb\nc\nd\ne\nf", {"a|b|c", "d|e|f"}, 0, 0},
        {"Caf\xC3\xA9\n\n\xE6\x97\xA5\n\nok \xE6\x97\xA5\xE6\x97\xA5", {"Caf\xE9", "ok"}, 3, 3},
        {"\n\n  \n", {}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const Transcript transcript = ReadTranscript(c.text);
        EXPECT_EQ(Texts(MakeTranscriptCaptions(transcript)), c.captions);
        EXPECT_EQ(transcript.unshownCharacters, c.unshown);
        EXPECT_EQ(transcript.firstUnshownLine, c.firstUnshownLine);
    }
}

TEST(Transcript, FileProblemsAreTold) {
    TempDir dir;
    const struct {
        const char* name;
        const char* content;  // null: no file
        size_t captions;
        std::string message;
    } cases[] = {
        {"missing.txt", nullptr, 0, ""},
        {"empty.txt", "\n\n", 0, NoTranscriptText(dir.File("empty.txt"))},
        {"odd.txt", "\xE6\x97\xA5 A", 1,
         UnshownTranscriptCharactersText(dir.File("odd.txt"), 1, 0x65E5, 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File(c.name);
        if (c.content != nullptr) testing::WriteFileText(path, c.content);
        RecordingHost host;
        CaptionProject project;
        project.host = &host;
        EXPECT_EQ(ReadTranscriptFile(project, path).size(), c.captions);
        ASSERT_EQ(host.messages.size(), 1u);
        const std::string expected =
            c.content ? c.message : ErrorOpeningFileText(path, "No such file or directory");
        EXPECT_EQ(host.messages[0], expected);
    }
}

}  // namespace
}  // namespace vantrel
