// SPDX-License-Identifier: 0BSD
// The yardstick for start-up: the least a Qt Widgets program with the game's
// visible parts needs, a main window with a two-menu bar and fifteen labels.

#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Reference"));

    QMenu* game = window.menuBar()->addMenu(QStringLiteral("&Hra"));
    game->addAction(QStringLiteral("&Zamíchat"))->setShortcut(Qt::Key_F1);
    game->addAction(QStringLiteral("&Konec"))->setShortcut(Qt::Key_F3);
    QMenu* help = window.menuBar()->addMenu(QStringLiteral("&Nápověda"));
    help->addAction(QStringLiteral("O &aplikaci"));

    auto* surface = new QWidget(&window);
    auto* grid = new QGridLayout(surface);
    for (int n = 1; n <= 15; ++n)
        grid->addWidget(new QLabel(QString::number(n), surface), (n - 1) / 4, (n - 1) % 4);
    surface->setFixedSize(224, 273);
    window.setCentralWidget(surface);

    window.show();
    return QApplication::exec();
}
