// Edit > Find and Edit > Replace: the words to find, what to put in their place, the case and
// whole-word choices and the buttons. It stays open beside the window while the captioner works;
// the caption commands do the finding.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "editor/find_replace.h"

namespace vantrel {

class FindDialog : public QDialog {
    Q_OBJECT

  public:
    explicit FindDialog(QWidget* parent = nullptr);

    // Shows the dialog with the find field (or the replace field) ready for typing.
    void ShowFor(bool replace);

    QLineEdit& FindField() { return find_; }
    QLineEdit& ReplaceField() { return replace_; }
    QCheckBox& MatchCaseBox() { return matchCase_; }
    QCheckBox& WholeWordBox() { return wholeWord_; }
    FindOptions Options() const { return {matchCase_.isChecked(), wholeWord_.isChecked()}; }

  signals:
    void FindRequested(bool forward);
    void ReplaceRequested();
    void ReplaceAllRequested();

  private:
    QLineEdit find_;
    QLineEdit replace_;
    QCheckBox matchCase_{"Match &case"};
    QCheckBox wholeWord_{"&Whole words only"};
    QPushButton next_{"Find &Next"};
    QPushButton previous_{"Find &Previous"};
    QPushButton replaceOne_{"&Replace"};
    QPushButton replaceAll_{"Replace &All"};
};

}  // namespace vantrel
