// The program vantrel: the main window, and the project named by the one optional argument.
#include <QApplication>
#include <clocale>

#include "app/main_window.h"

int main(int argc, char** argv) {
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
