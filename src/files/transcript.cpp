#include "files/transcript.h"

#include "codec/closest_char.h"
#include "codec/code_string.h"
#include "files/caption_import.h"
#include "files/file_messages.h"
#include "files/text_lines.h"

namespace vantrel {

namespace {

std::string_view Trimmed(std::string_view line) {
    const size_t first = line.find_first_not_of(" \t\v\f");
    if (first == std::string_view::npos) return {};
    return line.substr(first, line.find_last_not_of(" \t\v\f") - first + 1);
}

}  // namespace

Transcript ReadTranscript(std::string_view text, const std::atomic<int>* cancel) {
    Transcript transcript;
    const DecodedText decoded(text);
    TextLines lines(decoded.Text());
    std::string_view line;
    bool inBlock = false;
    CancelPoll cancelled(cancel);
    while (!cancelled() && lines.Next(line)) {
        if (IsBlankLine(line)) {
            inBlock = false;
            continue;
        }
        if (!inBlock) transcript.blocks.emplace_back();
        inBlock = true;
        StyledLine& styled = transcript.blocks.back().emplace_back();
        char32_t first = 0;
        const size_t missing = AppendClosestText(Trimmed(line), styled.characters, &first);
        if (missing > 0 && transcript.unshownCharacters == 0) {
            transcript.firstUnshown = first;
            transcript.firstUnshownLine = lines.Number();
        }
        transcript.unshownCharacters += missing;
        styled.attributes.assign(styled.characters.size(), kDefaultAttribute);
    }
    return transcript;
}

std::vector<std::unique_ptr<Caption>> MakeTranscriptCaptions(
    const Transcript& transcript, const std::atomic<int>* cancel,
    const std::function<void(size_t blocks)>& onBlock) {
    std::vector<std::unique_ptr<Caption>> captions;
    CancelPoll cancelled(cancel);
    for (size_t k = 0; k < transcript.blocks.size() && !cancelled(); ++k) {
        if (onBlock) onBlock(k);
        for (const CueScreen& screen : LayOutCue(transcript.blocks[k], false)) {
            auto caption = std::make_unique<Caption>();
            LoadCodeString(*caption, screen.code);
            captions.push_back(std::move(caption));
        }
    }
    return captions;
}

std::vector<std::unique_ptr<Caption>> ReadTranscriptFile(CaptionProject& project,
                                                         const std::string& path) {
    std::vector<uint8_t> content;
    if (!ReadTextFile(project, path, content)) return {};
    const Transcript transcript = ReadTranscript(
        std::string_view(reinterpret_cast<const char*>(content.data()), content.size()),
        &project.cancel);
    if (CancelRaised(&project.cancel)) return {};
    std::vector<std::unique_ptr<Caption>> captions = MakeTranscriptCaptions(transcript);
    TellTranscriptFindings(project, path, transcript, captions.size());
    return captions;
}

void TellTranscriptFindings(CaptionProject& project, const std::string& path,
                            const Transcript& transcript, size_t captionCount) {
    if (project.host == nullptr) return;
    if (transcript.unshownCharacters > 0) {
        project.host->Inform(UnshownTranscriptCharactersText(path, transcript.unshownCharacters,
                                                             transcript.firstUnshown,
                                                             transcript.firstUnshownLine));
    }
    if (captionCount == 0) project.host->Inform(NoTranscriptText(path));
}

}  // namespace vantrel
