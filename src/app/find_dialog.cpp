#include "app/find_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

namespace vantrel {

FindDialog::FindDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Find and Replace");
    auto* fields = new QFormLayout;
    fields->addRow("Fi&nd:", &find_);
    fields->addRow("Replace &with:", &replace_);
    fields->addRow(&matchCase_);
    fields->addRow(&wholeWord_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    for (QPushButton* b : {&next_, &previous_, &replaceOne_, &replaceAll_})
        buttons->addButton(b, QDialogButtonBox::ActionRole);
    next_.setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
    connect(&next_, &QPushButton::clicked, this, [this] { emit FindRequested(true); });
    connect(&previous_, &QPushButton::clicked, this, [this] { emit FindRequested(false); });
    connect(&replaceOne_, &QPushButton::clicked, this, &FindDialog::ReplaceRequested);
    connect(&replaceAll_, &QPushButton::clicked, this, &FindDialog::ReplaceAllRequested);
}

void FindDialog::ShowFor(bool replace) {
    show();
    raise();
    activateWindow();
    QLineEdit& field = replace && !find_.text().isEmpty() ? replace_ : find_;
    field.setFocus();
    field.selectAll();
}

}  // namespace vantrel
