// SPDX-License-Identifier: 0BSD
// The screen-reader layer offscreen through QAccessible: names, roles, states and presses, and what it is told.

#include "window/bestofpanel.h"
#include "fixtures/gamewindow.h"

#include <QAccessible>
#include <QAction>
#include <QDialog>

using namespace tavlin;

namespace {

struct Told {
    QAccessible::Event type;
    QObject* object;
};
std::vector<Told> told;

QAccessibleInterface* readable(QObject* object) { return QAccessible::queryAccessibleInterface(object); }
QString name(QObject* object) { return readable(object)->text(QAccessible::Name); }
QAccessible::State state(QObject* object) { return readable(object)->state(); }
QString description(QObject* object) { return readable(object)->text(QAccessible::Description); }
void press(QObject* object) { readable(object)->actionInterface()->doAction(QAccessibleActionInterface::pressAction()); }

// Where the screen reader was last told that the reading point went, and the news it found there.
QObject* toldFocus = nullptr;
QString toldNews;
void record(QAccessibleEvent* event)
{
    told.push_back({event->type(), event->object()});
    if (event->type() == QAccessible::Focus)
        toldFocus = event->object(), toldNews = description(event->object());
}

// How often the screen reader was told `type` of `object`: that it started showing, say.
long toldOf(QObject* object, QAccessible::Event type)
{
    return std::count_if(told.begin(), told.end(), [&](const Told& t) { return t.object == object && t.type == type; });
}

}  // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QAccessible::installUpdateHandler(&record);
        QTRY_VERIFY(QAccessible::isActive());  // once the accessibility bus has answered
    }

    // A whole game as a screen reader meets it, through objects that it
    // holds from the start and reads again at the end.
    void aGameAsTheEarMeetsIt()
    {
        testing::GameWindow f;  // tile 15 at (4, 4), the free cell at (4, 3), tile 11 above it
        MainWindow& w = f.window;
        BestOfPanel* panel = w.bestOfPanel();
        std::vector<std::pair<QObject*, QAccessibleInterface*>> held;
        for (QObject* o : w.findChildren<QWidget*>())
            held.emplace_back(o, readable(o));
        QCOMPARE(readable(w.strip())->role(), QAccessible::StatusBar);
        QCOMPARE(readable(w.moveCount())->parent()->object(), w.strip());
        QCOMPARE(description(w.tileLabel(15)), QStringLiteral("řádek 4, sloupec 4"));
        QVERIFY(readable(w.tileLabel(1))->role() == QAccessible::Button && readable(w.tileLabel(Board::Blank))->role() == QAccessible::Button);
        QCOMPARE(name(w.tileLabel(Board::Blank)) + ' ' + description(w.tileLabel(Board::Blank)), QStringLiteral("volno řádek 4, sloupec 3"));
        for (auto [caption, said] : {std::pair{"1", "Čas: 1 sekunda"}, {"3", "Čas: 3 sekundy"}, {"21", "Čas: 21 sekund"}}) {
            w.clock()->setCaption(QString::fromUtf8(caption));
            QCOMPARE(name(w.clock()), QString::fromUtf8(said));
        }
        QCOMPARE(name(w.moveCount()) + description(w.moveCount()), QStringLiteral("Počet tahů: 0"));
        QVERIFY(readable(w.moveCount())->actionInterface()->actionNames().isEmpty());
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        QCOMPARE(readable(w.moveCount())->textInterface()->text(0, 99), QStringLiteral("Počet tahů: 0"));
        QCOMPARE(readable(w.tileLabel(15))->textInterface()->characterRect(1), readable(w.tileLabel(15))->rect());
#endif
        QVERIFY(!state(panel).invisible && state(panel->closeLabel()).offscreen);  // hidden: off screen

        // A press on a tile or a menu item acts from the event loop, and not
        // while a box is open. After a move the reading point comes to the free
        // cell, which tells the tile and the count, or from there to the tile.
        QAction* help = w.findChild<QAction*>(QStringLiteral("mnu02"));
        QDialog box(&w);
        box.setModal(true);
        box.show();
        press(w.tileLabel(12));
        press(help);
        QCoreApplication::processEvents();
        box.close();
        QCOMPARE(name(help), QStringLiteral("Ovládání"));  // no access key
        press(help);
        QVERIFY(f.dialogs.boxes.empty());
        QCoreApplication::processEvents();
        QCOMPARE(f.dialogs.boxes.size(), 1u);
        const QRect above = w.tileLabel(11)->geometry();
        press(w.tileLabel(11));
        QCOMPARE(w.tileLabel(11)->geometry(), above);
        QCoreApplication::processEvents();
        QCOMPARE(description(w.tileLabel(Board::Blank)), QStringLiteral("řádek 3, sloupec 3. Kámen 11 posunut. Počet tahů: 1"));
        // Under the pointer that clicked tile 11, in the middle of its cell, the ear finds no free cell.
        const QRect ear = readable(w.tileLabel(Board::Blank))->rect(), cell = above.translated(w.surface()->mapToGlobal(QPoint()));
        QVERIFY(ear.topLeft() == cell.topLeft() && !ear.contains(cell.center()));
        QVERIFY(state(w.tileLabel(Board::Blank)).focused && !state(w.strip()).focused && toldFocus == w.tileLabel(Board::Blank));
        told.clear();
        press(w.tileLabel(11));
        QCoreApplication::processEvents();
        QCOMPARE(description(w.tileLabel(11)), QStringLiteral("řádek 3, sloupec 3. Počet tahů: 2"));
        QCOMPARE(toldOf(w.tileLabel(11), QAccessible::DescriptionChanged), 1L);  // only with the news
        QCOMPARE(description(w.tileLabel(Board::Blank)), QStringLiteral("řádek 4, sloupec 3"));
        QVERIFY(state(w.tileLabel(11)).focused && toldFocus == w.tileLabel(11));

        // The last move, a name, the best-of panel over the board for the ear
        // too, with the reading point; a tile under it does not move.
        f.dialogs.textAnswers = {QStringLiteral("Řehoř Žluťoučký")};
        press(w.tileLabel(15));
        QCoreApplication::processEvents();
        QCOMPARE(readable(panel)->role(), QAccessible::Pane);
        QCOMPARE(name(panel), QStringLiteral("Nejlepší hráči"));
        QCOMPARE(name(panel->timeInRow(0)) + ' ' + name(panel->nameInRow(0)), QStringLiteral("21 sekund Řehoř Žluťoučký"));
        QVERIFY(state(panel).focused && state(w.tileLabel(3)).offscreen && state(w.clock()).offscreen);
        QCOMPARE(description(panel), QStringLiteral("1. místo: 21 sekund, Řehoř Žluťoučký"));
        QVERIFY(!state(panel->closeLabel()).offscreen && toldOf(panel->closeLabel(), QAccessible::ObjectShow));
        QVERIFY(toldOf(w.tileLabel(3), QAccessible::ObjectHide));
        press(w.tileLabel(12));  // beside the free cell, under the panel
        QCoreApplication::processEvents();
        press(panel->closeLabel());
        QCoreApplication::processEvents();
        QVERIFY(panel->isHidden() && state(w.strip()).focused && !state(w.tileLabel(3)).offscreen);
        QVERIFY(toldOf(w.tileLabel(3), QAccessible::ObjectShow));
        QCOMPARE(f.moves(), QStringLiteral("Počet tahů: 3"));

        // A new game: the point comes to the free cell, which tells so; a
        // second one leaves it to the strip, as it would not move otherwise.
        // Every object held from the start is still the control's own and
        // reads what the control shows now.
        w.newGame();
        QVERIFY(state(w.tileLabel(Board::Blank)).focused);
        QVERIFY(description(w.tileLabel(Board::Blank)).endsWith(QStringLiteral(". Nová hra, kameny zamíchány")));
        w.newGame();
        QVERIFY(state(w.strip()).focused && toldFocus == w.strip());
        QCOMPARE(name(w.strip()) + ' ' + description(w.strip()), QStringLiteral("Stav hry Nová hra, kameny zamíchány"));
        for (auto [object, first] : held)
            QCOMPARE(readable(object), first);
        QCOMPARE(name(w.moveCount()) + ' ' + name(w.clock()), QStringLiteral("Počet tahů: 0 Čas: 0 sekund"));
        for (int n = 1; n < Board::Blank; ++n)
            QCOMPARE(description(w.tileLabel(n)), QStringLiteral("řádek %1, sloupec %2")
                     .arg(w.cellShownBy(w.tileLabel(n))->r).arg(w.cellShownBy(w.tileLabel(n))->s));

        // A time that earns no row, told with the point's move, also where Qt's focus comes back only later.
        QVERIFY(!scorefile::save(f.path, scorefile::defaultLines()));
        w.clock()->setCaption(QStringLiteral("191"));
        box.show();  // the result box
        box.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        box.close();
        w.rankGame();
        QCOMPARE(toldNews, QStringLiteral("Čas 191 sekund do tabulky nestačí"));
        w.activateWindow();  // as the window manager does once the box has gone
        QTRY_VERIFY(QApplication::focusWidget() == w.strip() && toldFocus == panel);
        QCOMPARE(toldNews, QStringLiteral("Čas 191 sekund do tabulky nestačí"));
    }
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
