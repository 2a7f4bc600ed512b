// The program vantrel: the main window, and the project named by the one optional argument.
#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstring>

#include "app/main_window.h"

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0)) {
        std::fputs(
            "Usage: vantrel [PROJECT.ccp]\n"
            "Opens the caption editor, with the project when one is named.\n"
            "vantrel-cc converts caption files from the command line.\n",
            stdout);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("Vantrel");
    QApplication::setApplicationDisplayName("Vantrel");
    // libmpv reads numbers in the C locale.
    std::setlocale(LC_NUMERIC, "C");

    vantrel::MainWindow window;
    window.show();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() == 2) window.View().Files().OpenProjectFile(arguments[1].toStdString());
    return QApplication::exec();
}
