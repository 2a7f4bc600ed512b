// Every message box and file dialog of the window goes through this interface, so that tests
// can script the answers and read the exact texts.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantrel {

class Dialogs {
  public:
    enum class Answer { Yes, No, Cancel };

    // A file dialog: its title, its filter in Qt's syntax ("Name (*.a *.b);;Other (*)"), the
    // extension added to a name typed without one (a save dialog adds the selected filter's own
    // instead when that filter does not list this one), and the name it starts with.
    struct FileRequest {
        std::string title;
        std::string filter;
        std::string defaultExtension;
        std::string fileName;
        // The entry of `filter` the save dialog opens on; empty: the first.
        std::string selectedFilter = {};
    };

    // What the user chose in a save dialog: the path, and the filter selected at that moment
    // (one entry of the request's filter, "Name (*.a)"), which may choose how the file is
    // written.
    struct ChosenFile {
        std::string path;
        std::string filter;
    };

    virtual ~Dialogs() = default;

    virtual Answer AskYesNoCancel(const std::string& text) = 0;
    // True for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
    // A plain OK message box.
    virtual void Inform(const std::string& text) = 0;
    // The chosen file, or nothing when the user cancels.
    virtual std::optional<std::string> ChooseFileToOpen(const FileRequest& request) = 0;
    virtual std::optional<ChosenFile> ChooseFileToSave(const FileRequest& request) = 0;
    // One of a few choices (an index into `choices`), starting on `initial`; nothing when the
    // user cancels.
    virtual std::optional<int> ChooseOne(const std::string& question,
                                         const std::vector<std::string>& choices, int initial) = 0;
    // A line of text typed in answer to `question`, starting as `initial`; nothing when the user
    // cancels.
    virtual std::optional<std::string> AskText(const std::string& question,
                                               const std::string& initial) = 0;
    // The system's default sound, for refused edits and navigation.
    virtual void Beep() = 0;
};

}  // namespace vantrel
