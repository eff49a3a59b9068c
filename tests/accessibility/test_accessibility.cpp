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
    QAccessible::Id id;
    QString text;  // what an announcement speaks
};
std::vector<Told> told;

void record(QAccessibleEvent* event)
{
    QString text;
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    if (event->type() == QAccessible::Announcement)
        text = static_cast<QAccessibleAnnouncementEvent*>(event)->message();
#endif
    QAccessibleInterface* readable = event->accessibleInterface();
    told.push_back({event->type(), event->object(), readable ? QAccessible::uniqueId(readable) : 0, text});
}

QAccessibleInterface* readable(QObject* object) { return QAccessible::queryAccessibleInterface(object); }
QString name(QObject* object) { return readable(object)->text(QAccessible::Name); }
QAccessible::State state(QObject* object) { return readable(object)->state(); }
void press(QObject* object)
{
    readable(object)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

// What the last move told: Qt's announcement where Qt has one, else the focused strip's name.
QString toldOfTheMove(const testing::GameWindow& f)
{
    for (auto it = told.rbegin(); it != told.rend(); ++it)
        if (!it->text.isEmpty())
            return it->text;
    return name(f.window.strip());
}

// Whether the screen reader was told that `object` stopped (or started) showing.
bool toldShowing(QObject* object, QAccessible::Event type)
{
    return std::any_of(told.begin(), told.end(), [&](const Told& t) { return t.object == object && t.type == type; });
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

    void aGameAsTheEarMeetsIt()
    {
        testing::GameWindow f;  // tile 15 at (4, 4), the free cell at (4, 3)
        MainWindow& w = f.window;
        QCOMPARE(readable(w.strip())->role(), QAccessible::StatusBar);
        QCOMPARE(readable(w.moveCount())->parent()->object(), w.strip());
        QCOMPARE(readable(w.tileLabel(1))->role(), QAccessible::Button);
        QCOMPARE(readable(w.tileLabel(15))->text(QAccessible::Description), QStringLiteral("řádek 4, sloupec 4"));
        QCOMPARE(name(w.tileLabel(Board::Blank)), QStringLiteral("volno"));
        QCOMPARE(readable(w.tileLabel(Board::Blank))->text(QAccessible::Description), QStringLiteral("řádek 4, sloupec 3"));
        for (auto [caption, said] : {std::pair{"1", "Čas: 1 sekunda"}, {"3", "Čas: 3 sekundy"}, {"21", "Čas: 21 sekund"}}) {
            w.clock()->setCaption(QString::fromUtf8(caption));
            QCOMPARE(name(w.clock()), QString::fromUtf8(said));
        }
        QCOMPARE(name(w.moveCount()) + readable(w.moveCount())->text(QAccessible::Description), QStringLiteral("Počet tahů: 0"));
        QVERIFY(readable(w.moveCount())->actionInterface()->actionNames().isEmpty());
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        QCOMPARE(readable(w.moveCount())->textInterface()->text(0, 99), QStringLiteral("Počet tahů: 0"));
#endif

        // A press returns at once and moves the tile from the event loop;
        // the move is told, and the reading point comes to the count, anew
        // each time. A press while a box is open does nothing.
        const QRect above = w.tileLabel(11)->geometry();
        press(w.tileLabel(11));
        QCOMPARE(w.tileLabel(11)->geometry(), above);
        QCoreApplication::processEvents();
        QCOMPARE(toldOfTheMove(f), QStringLiteral("11: řádek 4, sloupec 3"));
        QVERIFY(state(w.moveCount()).focused && !state(w.strip()).focused);
        const QAccessible::Id first = told.back().id;
        QDialog box(&w);
        box.setModal(true);
        box.show();
        press(w.tileLabel(12));
        QCoreApplication::processEvents();
        box.close();
        press(w.tileLabel(11));
        QCoreApplication::processEvents();
        QCOMPARE(f.moves(), QStringLiteral("Počet tahů: 2"));
        QVERIFY(told.back().object == w.moveCount() && told.back().id != first);

        // The best-of panel covers the board for the ear too, and takes the reading point.
        const QAccessible::Id closeMetHidden = QAccessible::uniqueId(readable(w.bestOfPanel()->closeLabel()));
        w.findChild<QAction*>(QStringLiteral("mnuBestOf"))->trigger();
        BestOfPanel* panel = w.bestOfPanel();
        QCOMPARE(readable(panel)->role(), QAccessible::Pane);
        QCOMPARE(name(panel), QStringLiteral("Nejlepší hráči"));
        panel->timeInRow(1)->setCaption(QStringLiteral("110"));
        QCOMPARE(name(panel->timeInRow(1)), QStringLiteral("110 sekund"));
        QVERIFY(state(panel).focused && state(w.tileLabel(3)).offscreen && state(w.clock()).offscreen);
        QVERIFY(toldShowing(w.tileLabel(3), QAccessible::ObjectHide));
        QVERIFY(QAccessible::uniqueId(readable(panel->closeLabel())) != closeMetHidden);  // met anew, shown
        press(w.tileLabel(14));  // beside the free cell, under the panel
        QCoreApplication::processEvents();
        press(panel->closeLabel());
        QCoreApplication::processEvents();
        QVERIFY(panel->isHidden() && state(w.strip()).focused && !state(w.tileLabel(3)).offscreen);
        QVERIFY(toldShowing(w.tileLabel(3), QAccessible::ObjectShow));
        QCOMPARE(f.moves(), QStringLiteral("Počet tahů: 2"));
    }
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
