// The caption list: a table of every caption of the project (CaptionTableModel), rows of one
// height and no widget per row, so that thousands of captions scroll as cheaply as ten. Choosing
// a row sends the video to the caption's start; the playhead highlights the caption on the air.
// Delete asks for the selected captions to be removed, a double-click for one to be edited, the
// clipboard keys for them to be cut, copied or pasted; Home and End go to the first and last
// caption.
#pragma once

#include <QTableView>
#include <cstdint>
#include <vector>

#include "app/caption_table_model.h"

namespace vantrel {

class CaptionTable : public QTableView {
    Q_OBJECT

  public:
    explicit CaptionTable(CaptionList& list, QWidget* parent = nullptr);

    CaptionTableModel& Model() { return model_; }

    // The playhead is at `frame`: the caption on the air there becomes the one selected row and
    // is scrolled into view; none is selected in a gap. Nothing happens while the table itself
    // sent the video to a caption, nor when the caption on the air is still the one followed.
    void FollowFrame(int32_t frame);
    // The captions of the selected rows, in list order.
    std::vector<Caption*> SelectedCaptions() const;
    // Selects exactly these captions of the list, the first one current and in view.
    void SelectCaptions(const std::vector<Caption*>& captions);
    void SetTimecodeStyle(TimecodeStyle style) { model_.SetTimecodeStyle(style); }

  signals:
    // The operator chose a row (click or keys): the video goes to that start frame.
    void CaptionChosen(int32_t frame);
    // The Delete key, for the selected captions.
    void DeleteRequested();
    // A double-click on a row: edit that caption on the caption screen.
    void EditRequested(int row);
    // Ctrl+X, Ctrl+C or Ctrl+V in the list: the selected captions cut or copied, or the
    // clipboard's captions pasted at the playhead.
    void CutRequested();
    void CopyRequested();
    void PasteRequested();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The clipboard keys are the list's own while it has the focus.
    bool event(QEvent* event) override;

    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

  private:
    CaptionList& list_;
    CaptionTableModel model_;
    const Caption* followed_ = nullptr;  // compared only, never read: it may be gone
    bool choosing_ = false;              // the table is sending the video to a caption
};

}  // namespace vantrel
