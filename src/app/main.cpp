// The program vantrel: the main window, and the project or video named by the one optional
// argument or the unsaved work of a window that ended without saving.
#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstring>

#include "app/guarded.h"
#include "app/main_window.h"
#include "app/qt_dialogs.h"
#include "app/termination_signals.h"
#include "av/av_glue.h"
#include "files/recovery_files.h"

namespace {

// The last guard: an exception that a command let through ends in a message, not in Qt.
class Application : public QApplication {
  public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        bool handled = false;
        vantrel::QtDialogs dialogs(QApplication::activeWindow());
        vantrel::RunGuarded(dialogs, "The last command",
                            [&] { handled = QApplication::notify(receiver, event); });
        return handled;
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0)) {
        std::fputs(
            "Usage: vantrel [PROJECT.ccp | VIDEO]\n"
            "Opens the caption editor, with the project when one is named, or with a new\n"
            "project on the video named.\n"
            "Changes not yet saved are kept in $XDG_STATE_HOME/vantrel (~/.local/state/vantrel)\n"
            "and offered back at the next start if the program ends without saving them.\n"
            "vantrel-cc converts caption files from the command line.\n",
            stdout);
        return 0;
    }
    Application app(argc, argv);
    QApplication::setApplicationName("Vantrel");
    QApplication::setApplicationDisplayName("Vantrel");
    // libmpv reads numbers in the C locale.
    std::setlocale(LC_NUMERIC, "C");
    vantrel::av::QuietLog();

    vantrel::TerminationSignals termination;
    vantrel::MainWindow window;
    QObject::connect(&termination, &vantrel::TerminationSignals::Arrived, &window,
                     &vantrel::MainWindow::EndOnSignal);
    window.show();
    const bool recovered = window.StartRecovery(vantrel::RecoveryFolder());
    const QStringList arguments = QApplication::arguments();
    if (!recovered && !termination.Received() && arguments.size() == 2) {
        window.OpenArgument(arguments[1].toStdString());
    }
    // A signal that came before the event loop ran has already written what it had to.
    if (termination.Received()) return 128 + termination.Signal();
    return QApplication::exec();
}
