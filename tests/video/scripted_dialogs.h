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
    std::deque<std::optional<std::string>> filesToOpen;  // nothing (cancel) once it runs out
    std::vector<FileRequest> openRequests;
    std::deque<std::optional<std::string>> filesToSave;
    std::deque<std::string> filtersToChoose;  // with each saved file; the request's first after
    std::vector<FileRequest> saveRequests;
    std::deque<Answer> answers;  // Cancel once the script runs out
    std::vector<std::string> informed;
    std::deque<bool> yesNoAnswers;  // No once the script runs out
    std::vector<std::string> asked;
    std::deque<std::optional<int>> choices;        // the initial choice once the script runs out
    std::deque<std::optional<std::string>> texts;  // cancel once the script runs out
    int beeps = 0;

    Answer AskYesNoCancel(const std::string& text) override {
        asked.push_back(text);
        return Next(answers, Answer::Cancel);
    }
    bool AskYesNo(const std::string& text) override {
        asked.push_back(text);
        return Next(yesNoAnswers, false);
    }
    void Inform(const std::string& text) override { informed.push_back(text); }
    std::optional<std::string> ChooseFileToOpen(const FileRequest& request) override {
        openRequests.push_back(request);
        return Next(filesToOpen, std::optional<std::string>());
    }
    std::optional<ChosenFile> ChooseFileToSave(const FileRequest& request) override {
        saveRequests.push_back(request);
        const auto path = Next(filesToSave, std::optional<std::string>());
        std::string filter =
            Next(filtersToChoose, request.filter.substr(0, request.filter.find(";;")));
        if (!path) return std::nullopt;
        return ChosenFile{*path, std::move(filter)};
    }
    std::optional<int> ChooseOne(const std::string& question, const std::vector<std::string>&,
                                 int initial) override {
        asked.push_back(question);
        return Next(choices, std::optional<int>(initial));
    }
    std::optional<std::string> AskText(const std::string& question, const std::string&) override {
        asked.push_back(question);
        return Next(texts, std::optional<std::string>());
    }
    void Beep() override { ++beeps; }

  private:
    template <typename T>
    static T Next(std::deque<T>& script, T whenEmpty) {
        if (script.empty()) return whenEmpty;
        T answer = std::move(script.front());
        script.pop_front();
        return answer;
    }
};

}  // namespace vantrel::test
