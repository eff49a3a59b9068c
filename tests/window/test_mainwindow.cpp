// SPDX-License-Identifier: 0BSD
// The main window through Qt Test on the offscreen platform: where every
// control stands, what its pixels show, the menus, and whole flows of play.

#include "window/bestofpanel.h"
#include "fixtures/gamewindow.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QMenuBar>

using namespace tavlin;

namespace {

using Fixture = tavlin::testing::GameWindow;

const QColor LightYellow(255, 255, 192), LightGreen(192, 255, 192), Maroon(128, 0, 0), Green(0, 128, 0);

// True when some pixel of `area` has exactly the colour `c`.
bool shows(const QImage& image, QRect area, QColor c)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) == c)
                return true;
    return false;
}

// Cell (r, s) of the board in pixels of the client area.
QRect cellRect(int r, int s)
{
    const int edges[] = {0, 56, 112, 168, 224}, tops[] = {20, 84, 147, 210, 273};
    return QRect(QPoint(edges[s - 1], tops[r - 1]), QPoint(edges[s] - 1, tops[r] - 1));
}

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    // Where every control stands (design numbers in pixels) and what its
    // pixels show, before and after the best-of panel comes over the board;
    // the texts of the menus, the help and the About box.
    void whatThePlayerSees()
    {
        Fixture f;
        for (int n = 1; n <= 16; ++n) {  // the scripted shuffle leaves tile 15 and the blank swapped
            const int cell = n == 15 ? 16 : n == 16 ? 15 : n;
            QCOMPARE(f.window.tileLabel(n)->geometry(), cellRect((cell - 1) / 4 + 1, (cell - 1) % 4 + 1));
        }
        f.window.clock()->setCaption(QStringLiteral("888"));
        QImage shot = f.window.surface()->grab().toImage();
        QVERIFY(shows(shot, QRect(8, 0, 40, 20), Maroon));               // the time
        QCOMPARE(shot.pixelColor(cellRect(4, 3).center()), LightGreen);  // the free cell
        QCOMPARE(shot.pixelColor(cellRect(1, 1).topLeft() + QPoint(2, 2)), LightYellow);
        QVERIFY(shows(shot, cellRect(1, 1), Green));                     // "1" on tile 1

        // Shown, the panel hides the time (the real-window test sees it cover the board).
        f.key(Qt::Key_F2);
        BestOfPanel* p = f.window.bestOfPanel();
        shot = f.window.surface()->grab().toImage();
        QVERIFY(!shows(shot, QRect(0, 0, 224, 273), Maroon));
        for (auto [label, colour] : {std::pair{p->heading(), Green}, {p->closeLabel(), QColor(Qt::blue)}, {p->clearLabel(), QColor(Qt::red)}})
            QVERIFY(shows(shot, label->geometry(), colour));

        // Labels that follow their text keep their left edge, or their right
        // edge (given as a negative x), as their captions grow.
        f.window.moveCount()->setCaption(QStringLiteral("Počet tahů: 123456"));
        p->nameInRow(9)->setCaption(QStringLiteral("Jméno <b>delší</b>, než je místo mezi sloupci"));
        p->timeInRow(9)->setCaption(QStringLiteral("123456789"));
        const struct { QWidget* widget; int x, y; } places[] = {
            {f.window.strip(), 0, 0}, {f.window.clock(), 8, 0}, {f.window.moveCount(), -220, 0},
            {p, 0, 0}, {p->heading(), 8, 0}, {p->clearLabel(), 8, 248}, {p->closeLabel(), -217, 248},
            {p->nameInRow(0), 8, 24}, {p->timeInRow(0), -214, 24}, {p->nameInRow(2), 8, 88}, {p->timeInRow(3), -214, 128},
            {p->nameInRow(9), 8, 224}, {p->timeInRow(9), -214, 224},
        };
        for (const auto& place : places) {
            const QRect g = place.widget->geometry();
            QCOMPARE(QPoint(place.x < 0 ? -(g.right() + 1) : g.x(), g.y()), QPoint(place.x, place.y));
            QVERIFY(g.width() >= place.widget->sizeHint().width());
        }
        QVERIFY(p->nameInRow(9)->width() >= p->nameInRow(9)->fontMetrics().horizontalAdvance(p->nameInRow(9)->text()));  // no markup

        // The menus word for word; the help and the About box by their
        // shape: eleven lines broken by lone CRs, two headings, the last two
        // indented by nine blanks, and the About box repeating the goal.
        QStringList items;
        for (QAction* menu : f.window.menuBar()->actions())
            for (QAction* a : QList<QAction*>{menu} + menu->menu()->actions())
                items << (a->isSeparator() ? QStringLiteral("-") : a->text() + ' ' + a->shortcut().toString());
        QCOMPARE(items, (QStringList{"&Hra ", "&Zamíchat F1", "-", "N&ejlepší hráči F2", "-", "&Konec F3",
                                     "&Nápověda ", "&Ovládání ", "-", "O &aplikaci "}));
        f.window.findChild<QAction*>(QStringLiteral("mnu02"))->trigger();
        f.window.findChild<QAction*>(QStringLiteral("mnu05"))->trigger();
        QCOMPARE(f.dialogs.boxes.at(0).title, QStringLiteral("Ovládání"));
        const QStringList help = f.dialogs.boxes.at(0).text.split('\r');
        QCOMPARE(help.size(), 11);
        QCOMPARE(help[0] + help[3] + help[4], QStringLiteral("Cíl hry:Ovládání:"));
        for (const QString& line : help.mid(9))
            QVERIFY2(line.startsWith(QString(9, ' ')) && line[9] != ' ', qPrintable(line));
        QVERIFY(!f.dialogs.boxes.at(0).text.contains('\n'));
        QCOMPARE(f.dialogs.boxes.at(1).title, QStringLiteral("O aplikaci"));
        const QStringList about = f.dialogs.boxes.at(1).text.split('\r');
        QCOMPARE(about.mid(0, 1) + about.mid(2, 4), (QStringList{"Tavlin 1.0.30", ""} + help.mid(1, 2) + QStringList{""}));
    }

    // The clock from the first click and its tick, a solved board's result and
    // the time and name that reach the table, and play and stray clicks after it.
    void aWholeGame()
    {
        Fixture f;
        QCOMPARE(QApplication::focusWidget(), f.window.strip());  // where a box gives it back to
        f.window.surface()->setFocus();
        f.clickTile(1);  // far from the free cell: nothing moves; rows 1 to 3 in order are no solved board
        QVERIFY(f.window.secondTimer().isActive());
        QCOMPARE(f.window.secondTimer().interval(), 1000);
        QCOMPARE(QApplication::focusWidget(), f.window.strip());
        f.window.clock()->setCaption(QStringLiteral("6"));
        f.window.clockTick();
        bool clockRanDuringBox = true;
        f.dialogs.onInform = [&] { clockRanDuringBox = f.window.secondTimer().isActive(); };
        f.dialogs.textAnswers = {QStringLiteral("Šárka")};
        f.clickTile(15);
        QCOMPARE(f.dialogs.boxes.at(0).title, QStringLiteral("Konec hry"));
        QCOMPARE(f.dialogs.boxes.at(0).text, QStringLiteral("Skládanka je složena. \rPočet tahů: 1\rVáš čas: 7"));
        QVERIFY(!clockRanDuringBox);
        QCOMPARE(f.window.bestOfPanel()->timeInRow(0)->caption(), QStringLiteral("7"));
        QCOMPARE(f.window.bestOfPanel()->nameInRow(0)->caption(), QStringLiteral("Šárka"));
        QCOMPARE(f.time(), QStringLiteral("0"));
        f.click(f.window.bestOfPanel()->closeLabel());
        f.clickTile(12);  // above the free cell: it slides down, counted on from the finished game
        // A screen reader's press that follows its own click on the tile is that click again.
        QAccessible::queryAccessibleInterface(f.window.tileLabel(12))->actionInterface()->doAction(
            QAccessibleActionInterface::pressAction());
        QCoreApplication::processEvents();
        QCOMPARE(f.window.tileLabel(12)->geometry(), cellRect(4, 4));
        // Stray clicks: only the one on the free cell beeps, and a press on
        // a tile released outside it is no click.
        f.click(f.window.surface(), cellRect(3, 4).center());
        f.click(f.window.strip(), QPoint(100, 10));
        f.click(f.window.moveCount());
        QTest::mousePress(f.window.tileLabel(8), Qt::LeftButton);
        QTest::mouseRelease(f.window.tileLabel(8), Qt::LeftButton, {}, QPoint(-10, 10));
        QCOMPARE(f.moves(), QStringLiteral("Počet tahů: 2"));
        QCOMPARE(f.dialogs.beeps, 1);
    }

    // A new game starts the count and the clock afresh; the end command
    // stops a shuffle before its next move. (New games asked for during a
    // shuffle are the game's own test.)
    void newGameAndQuit()
    {
        Fixture f;
        f.clickTile(11);
        f.window.clockTick();
        f.window.newGame();
        QCOMPARE(f.moves(), QStringLiteral("Počet tahů: 0"));
        QCOMPARE(f.time(), QStringLiteral("0"));
        QVERIFY(!f.window.secondTimer().isActive());
        const auto places = [&] { QList<QPoint> at; for (int n = 1; n <= 16; ++n) at << f.window.tileLabel(n)->pos(); return at; };
        const QList<QPoint> before = places();
        QTimer::singleShot(0, &f.window, [&] { f.window.quitCommand(); });  // arrives at the first yield
        f.window.newGame();
        QVERIFY(!f.window.isVisible());
        QCOMPARE(places(), before);
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
