#include "app/about_dialog.h"

#include <QLabel>
#include <QPushButton>

namespace vantrel {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("About Vantrel");
    setFixedSize(360, 112);
    auto* picture = new QLabel(this);
    picture->setPixmap(QPixmap(":/icons/about.png"));
    picture->setGeometry(10, 10, 167, 43);
    auto* icon = new QLabel(this);
    icon->setPixmap(QPixmap(":/icons/vantrel.png")
                        .scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    icon->setGeometry(14, 64, 32, 32);
    auto* name = new QLabel("Vantrel v1.0", this);
    name->setGeometry(56, 64, 200, 16);
    auto* notice = new QLabel("Line-21 closed captions, made to the frame.", this);
    notice->setGeometry(56, 82, 220, 16);
    auto* close = new QPushButton("Close", this);
    close->setGeometry(276, 70, 74, 24);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace vantrel
