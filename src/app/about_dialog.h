// The about box: the program's picture, its icon, name and version, a notice line, and Close.
#pragma once

#include <QDialog>

namespace vantrel {

class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace vantrel
