#include "app/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QString>

namespace vantrel {

namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

std::optional<std::string> Chosen(const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

}  // namespace

Dialogs::Answer QtDialogs::AskYesNoCancel(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), FromUtf8(text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, owner_);
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

bool QtDialogs::AskYesNo(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), FromUtf8(text),
                    QMessageBox::Yes | QMessageBox::No, owner_);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void QtDialogs::Inform(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), FromUtf8(text),
                    QMessageBox::Ok, owner_);
    box.exec();
}

std::optional<std::string> QtDialogs::ChooseFileToOpen(const FileRequest& request) {
    return Chosen(QFileDialog::getOpenFileName(
        owner_, FromUtf8(request.title), FromUtf8(request.fileName), FromUtf8(request.filter)));
}

std::optional<std::string> QtDialogs::ChooseFileToSave(const FileRequest& request) {
    QFileDialog dialog(owner_, FromUtf8(request.title), QString(), FromUtf8(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!request.defaultExtension.empty())
        dialog.setDefaultSuffix(FromUtf8(request.defaultExtension));
    if (!request.fileName.empty()) dialog.selectFile(FromUtf8(request.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return Chosen(dialog.selectedFiles().constFirst());
}

void QtDialogs::Beep() {
    QApplication::beep();
}

}  // namespace vantrel
