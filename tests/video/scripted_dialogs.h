// Dialogs that answer from a script and remember what they were asked.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/dialogs.h"

namespace vantrel::test {

class ScriptedDialogs : public Dialogs {
  public:
    std::deque<std::optional<std::string>> filesToOpen;
    std::vector<FileRequest> openRequests;
    std::vector<std::string> informed;
    std::deque<bool> yesNoAnswers;  // No once the script runs out
    std::vector<std::string> asked;
    int beeps = 0;

    Answer AskYesNoCancel(const std::string& /*text*/) override { return Answer::Cancel; }
    bool AskYesNo(const std::string& text) override {
        asked.push_back(text);
        if (yesNoAnswers.empty()) return false;
        const bool answer = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return answer;
    }
    void Inform(const std::string& text) override { informed.push_back(text); }
    std::optional<std::string> ChooseFileToOpen(const FileRequest& request) override {
        openRequests.push_back(request);
        if (filesToOpen.empty()) return std::nullopt;
        std::optional<std::string> answer = filesToOpen.front();
        filesToOpen.pop_front();
        return answer;
    }
    std::optional<std::string> ChooseFileToSave(const FileRequest& /*request*/) override {
        return std::nullopt;
    }
    void Beep() override { ++beeps; }
};

}  // namespace vantrel::test
