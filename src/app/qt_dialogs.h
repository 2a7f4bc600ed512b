// The dialogs as the person at the window sees them: QMessageBox, QFileDialog and the beep.
#pragma once

#include "app/dialogs.h"

class QWidget;

namespace vantrel {

class QtDialogs : public Dialogs {
  public:
    // `owner` is the window the dialogs are modal to.
    explicit QtDialogs(QWidget* owner) : owner_(owner) {}

    Answer AskYesNoCancel(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    void Inform(const std::string& text) override;
    std::optional<std::string> ChooseFileToOpen(const FileRequest& request) override;
    std::optional<ChosenFile> ChooseFileToSave(const FileRequest& request) override;
    std::optional<int> ChooseOne(const std::string& question,
                                 const std::vector<std::string>& choices, int initial) override;
    std::optional<std::string> AskText(const std::string& question,
                                       const std::string& initial) override;
    void Beep() override;

  private:
    QWidget* owner_;
};

}  // namespace vantrel
