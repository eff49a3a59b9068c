// Tavlin: a 4 × 4 sliding-tile puzzle.

#include "../window/dialogs.h"
#include "../window/form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavlin"));
    QApplication::setDesktopFileName(QStringLiteral("tavlin"));

    tavlin::QtDialogs dialogs;
    // The best-of table lives beside the program.
    tavlin::Form1 window(dialogs, QCoreApplication::applicationDirPath() + QStringLiteral("/tavlin.inf"));
    window.show();
    return QApplication::exec();
}
