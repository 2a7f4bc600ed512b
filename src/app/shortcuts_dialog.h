// Help > Keyboard Shortcuts: every key of the window, those of the menus read from the menus
// themselves (so that none is left out or listed wrong), then the caption screen's keys while
// editing and the keys of the timeline and the panel.
#pragma once

#include <QDialog>
#include <QTreeWidget>

class QMenuBar;

namespace vantrel {

class ShortcutsDialog : public QDialog {
    Q_OBJECT

  public:
    ShortcutsDialog(const QMenuBar& menus, QWidget* parent = nullptr);

    const QTreeWidget& Keys() const { return keys_; }

  private:
    QTreeWidget keys_;
};

}  // namespace vantrel
