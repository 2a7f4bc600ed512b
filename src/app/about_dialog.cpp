#include "app/about_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace vantrel {

// Laid out rather than placed, so the texts get the room their font asks for at any scale.
AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("About Vantrel");
    auto* picture = new QLabel(this);
    picture->setPixmap(QPixmap(":/icons/about.png"));
    auto* icon = new QLabel(this);
    icon->setPixmap(QPixmap(":/icons/vantrel.png")
                        .scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    auto* name = new QLabel("Vantrel v1.0", this);
    auto* notice = new QLabel("Line-21 closed captions, made to the frame.", this);
    auto* close = new QPushButton("Close", this);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QGridLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(picture, 0, 0, 1, 3, Qt::AlignLeft);
    layout->addWidget(icon, 1, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(name, 1, 1);
    layout->addWidget(notice, 2, 1);
    layout->addWidget(close, 1, 2, 2, 1, Qt::AlignVCenter);
    layout->setColumnMinimumWidth(1, 220);
}

}  // namespace vantrel
