// Tools > Check Captions: the findings of the delivery check in a window beside the main one,
// one row each (timecode, caption, severity, rule, message) and a summary; a double-click goes
// to the caption. The main view refills it after every change to the captions.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QTreeWidget>
#include <functional>
#include <vector>

#include "check/caption_checks.h"
#include "files/timecode.h"

namespace vantrel {

class CheckDialog : public QDialog {
    Q_OBJECT

  public:
    // `goTo` takes the start frame of the caption double-clicked.
    CheckDialog(std::function<void(int32_t)> goTo, QWidget* owner = nullptr);

    void ShowFindings(const std::vector<Finding>& findings, int captions,
                      const std::string& profile);

    // Non-drop or drop-frame labels in the timecode column, from the next findings shown.
    void SetTimecodeStyle(TimecodeStyle style) { style_ = style; }

    QTreeWidget& List() { return list_; }
    const QLabel& Summary() const { return summary_; }

  private:
    std::function<void(int32_t)> goTo_;
    QTreeWidget list_;
    QLabel summary_;
    TimecodeStyle style_ = TimecodeStyle::NonDropFrame;
};

}  // namespace vantrel
