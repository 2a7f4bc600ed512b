// The project's captions as a table for the caption list: one row per caption of the list, read
// from the list itself at every request (the row found by the list's row lookup), never copied.
// The list's change observer tells the model what changed; only the row count is held.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <cstdint>

#include "check/speller.h"
#include "files/timecode.h"
#include "model/caption_list.h"

namespace vantrel {

class CaptionTableModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column { kNumber, kStart, kEnd, kDuration, kMode, kRows, kRate, kText, kColumnCount };

    // Becomes the list's observer until destroyed.
    explicit CaptionTableModel(CaptionList& list, QObject* parent = nullptr);
    ~CaptionTableModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The caption at a row, or null; the row of a caption, or -1.
    Caption* CaptionAtRow(int row) const { return list_.CaptionAtRow(row); }
    int RowOf(const Caption* caption) const { return list_.RowOf(caption); }

    // Non-drop or drop-frame labels for the start, end and duration.
    void SetTimecodeStyle(TimecodeStyle style);

    // The Text column of a caption with words the speller does not know is drawn in red, and
    // its tip names them; null marks nothing.
    void SetSpeller(const Speller* speller);

    // What the observer is told: captions added or removed reset the table, else the rows of
    // the captions starting in the range (and the one before, whose end may follow) are redrawn.
    void ListChanged(CaptionRange range);

    // The text of a caption on one line, its rows joined by " | ".
    static QString OneLineText(const Caption& caption);

  private:
    QStringList UnknownWords(const Caption& caption) const;

    CaptionList& list_;
    int rows_ = 0;
    TimecodeStyle style_ = TimecodeStyle::NonDropFrame;
    const Speller* speller_ = nullptr;
};

}  // namespace vantrel
