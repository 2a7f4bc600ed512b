#include "app/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QString>

namespace vantrel {

namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

// The extension a save dialog adds to a bare name under `filter` ("Name (*.a *.b)"): `preferred`
// when the filter lists it or has no extension of its own ("All Files (*)"), else the filter's
// first.
QString SuffixFor(const QString& filter, const QString& preferred) {
    const qsizetype open = filter.lastIndexOf(u'(');
    const qsizetype close = filter.lastIndexOf(u')');
    if (open < 0 || close < open) return preferred;
    const QStringList patterns =
        filter.sliced(open + 1, close - open - 1).split(u' ', Qt::SkipEmptyParts);
    if (patterns.contains("*." + preferred)) return preferred;
    for (const QString& pattern : patterns)
        if (pattern.startsWith(QLatin1String("*.")) && pattern.size() > 2) return pattern.mid(2);
    return preferred;
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

std::optional<Dialogs::ChosenFile> QtDialogs::ChooseFileToSave(const FileRequest& request) {
    QFileDialog dialog(owner_, FromUtf8(request.title), QString(), FromUtf8(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // A name typed without an extension takes the selected filter's, so that "episode" under
    // "Scenarist, ..." is written as episode.scc and not as the first filter's .bin; a filter
    // without one ("All Files (*)") keeps the request's.
    const auto followFilter = [&dialog, &request](const QString& filter) {
        dialog.setDefaultSuffix(SuffixFor(filter, FromUtf8(request.defaultExtension)));
    };
    if (!request.selectedFilter.empty()) dialog.selectNameFilter(FromUtf8(request.selectedFilter));
    followFilter(dialog.selectedNameFilter());
    QObject::connect(&dialog, &QFileDialog::filterSelected, followFilter);
    if (!request.fileName.empty()) dialog.selectFile(FromUtf8(request.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return ChosenFile{dialog.selectedFiles().constFirst().toStdString(),
                      dialog.selectedNameFilter().toStdString()};
}

std::optional<int> QtDialogs::ChooseOne(const std::string& question,
                                        const std::vector<std::string>& choices, int initial) {
    QStringList items;
    for (const std::string& c : choices) items << FromUtf8(c);
    bool ok = false;
    const QString chosen = QInputDialog::getItem(owner_, QApplication::applicationDisplayName(),
                                                 FromUtf8(question), items, initial, false, &ok);
    if (!ok) return std::nullopt;
    return static_cast<int>(items.indexOf(chosen));
}

std::optional<std::string> QtDialogs::AskText(const std::string& question,
                                              const std::string& initial) {
    bool ok = false;
    const QString typed =
        QInputDialog::getText(owner_, QApplication::applicationDisplayName(), FromUtf8(question),
                              QLineEdit::Normal, FromUtf8(initial), &ok);
    if (!ok) return std::nullopt;
    return typed.toStdString();
}

void QtDialogs::Beep() {
    QApplication::beep();
}

}  // namespace vantrel
