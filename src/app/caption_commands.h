// The window side of the commands on whole captions and their text: Find and Replace, shifting
// and syncing times, the start or end at the playhead, the previous and next caption in every
// state, split and merge, the captions on the clipboard and the position presets. The work is
// the editor's; this picks the captions (the list's selection, else the caption on the air),
// asks what it needs, lets the views go of their captions around the step and says why a
// command was refused.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "app/dialogs.h"
#include "app/find_dialog.h"
#include "editor/caption_position.h"

namespace vantrel {

class MainView;

class CaptionCommands : public QObject {
    Q_OBJECT

  public:
    CaptionCommands(MainView& view, Dialogs& dialogs, QWidget* owner);

    FindDialog& Find() { return find_; }
    void ShowFind(bool replace) { find_.ShowFor(replace); }
    void FindNext(bool forward);
    void Replace();
    void ReplaceAll();

    void ShiftTimes();
    void SyncTwoPoints();
    // Tools > Time Captions to Speech: every caption timed to the open video's speech, the
    // captions not found selected in the list and shown in the check window.
    void TimeToSpeech();
    void StartAtPlayhead();
    void EndAtPlayhead();
    void GoToCaption(bool next);

    void SplitCaption();
    void MergeCaptions();
    void CopyCaptions(bool cut);
    void PasteCaptions();
    void Position(Placement placement);

  private:
    // The list's selection, else the caption on the air (none in a gap).
    std::vector<Caption*> Chosen() const;
    // "caption 12 (00:01:02:03)"
    QString Named(const Caption* caption) const;
    int64_t VideoEnd() const;
    void Refuse(const QString& why);
    // A step made while the views hold no caption, the list selecting `selected` after it.
    void Change(const std::function<std::vector<Caption*>()>& step);
    // The find field as caption characters; nothing (refused) when it is empty or cannot be.
    bool Pattern(std::string& pattern);

    MainView& view_;
    Dialogs& dialogs_;
    FindDialog find_;
    // The last match, to go on from while its caption is the one on the air; compared only.
    const Caption* found_ = nullptr;
    int foundRow_ = 0;
    int foundColumn_ = 0;
};

}  // namespace vantrel
