// The main window through Qt Test on the offscreen platform: the design
// values of its controls, the menus, what the accessibility layer reads, and
// whole flows of play.

#include "bestof/bestofpanel.h"
#include "fakedialogs.h"
#include "scripteddirections.h"
#include "window/form1.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using namespace tavlin;
using tavlin::testing::FakeDialogs;
using tavlin::testing::ScriptedDirections;

namespace {

const QColor LightYellow(255, 255, 192);

// A window whose shuffle ends with the free cell at (3, 4), tile 12 below
// it: one move from the solved board.
struct Fixture {
    QTemporaryDir dir;
    FakeDialogs dialogs;
    Form1 window{dialogs, dir.filePath(QStringLiteral("tavlin.inf")),
                 std::make_unique<ScriptedDirections>(std::vector<int>{1, 0})};

    Fixture()
    {
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    void click(QWidget* widget, QPoint at = {})
    {
        QTest::mouseClick(widget, Qt::LeftButton, {}, at.isNull() ? widget->rect().center() : at);
    }
    void clickTile(int n) { click(window.Kosticka(n)); }
    void trigger(const char* action) { window.findChild<QAction*>(QLatin1String(action))->trigger(); }
    QString time() const { return window.Label2()->caption(); }
    QString moves() const { return window.Label1()->caption(); }
};

QColor background(const QWidget* w) { return w->palette().color(w->backgroundRole()); }
QColor textColour(const QWidget* w) { return w->palette().color(w->foregroundRole()); }
int rightEdge(const QWidget* w) { return w->geometry().right() + 1; }

void checkFont(const QWidget* w, double points, bool bold)
{
    QCOMPARE(w->font().family(), QStringLiteral("Comic Sans MS"));
    QCOMPARE(w->font().pointSizeF(), points);
    QCOMPARE(w->font().bold(), bold);
}

}  // namespace

class TestForm1 : public QObject {
    Q_OBJECT
private slots:
    void windowStripAndTiles()
    {
        Fixture f;
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Tavlin"));
        QCOMPARE(f.window.surface()->geometry(), QRect(0, f.window.menuBar()->height(), 224, 273));
        QCOMPARE(f.window.minimumSize(), f.window.maximumSize());
        QVERIFY(!(f.window.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(f.window.pos(), QPoint((screen.width() - f.window.width()) / 2, (screen.height() - f.window.height()) / 2));
        QCOMPARE(background(f.window.surface()), QColor(192, 255, 192));
        const QImage icon = f.window.windowIcon().pixmap(32, 32).toImage();
        QCOMPARE(QColor(icon.pixel(0, 0)), QColor(Qt::black));
        QCOMPARE(qAlpha(icon.pixel(3, 3)), 0);

        QCOMPARE(f.window.Picture1()->geometry(), QRect(0, 0, 224, 20));
        QCOMPARE(background(f.window.Picture1()), LightYellow);
        QCOMPARE(f.time(), QStringLiteral("0"));
        QCOMPARE(f.moves(), QStringLiteral("Počet tahů: 0"));
        for (Label* label : {f.window.Label1(), f.window.Label2()}) {
            QCOMPARE(textColour(label), QColor(128, 0, 0));
            checkFont(label, 11.25, false);
            QCOMPARE(label->y(), 0);
        }
        // Both follow their text: the time grows to the right, the count to the left.
        f.window.Label2()->setCaption(QStringLiteral("12345"));
        f.window.Label1()->setCaption(QStringLiteral("Počet tahů: 123456"));
        QCOMPARE(f.window.Label2()->x(), 8);
        QCOMPARE(rightEdge(f.window.Label1()), 220);
        QVERIFY(f.window.Label1()->width() > f.window.Label2()->width());

        const int edges[] = {0, 56, 112, 168, 224}, tops[] = {20, 84, 147, 210, 273};
        for (int r = 1; r <= 4; ++r)
            for (int s = 1; s <= 4; ++s)
                QCOMPARE(f.window.Kosticka(f.window.game().board().tileAt(r, s))->geometry(),
                         QRect(QPoint(edges[s - 1], tops[r - 1]), QPoint(edges[s] - 1, tops[r] - 1)));
        for (int n = 1; n <= 16; ++n) {
            Label* tile = f.window.Kosticka(n);
            QCOMPARE(tile->text(), QString::number(n));
            QCOMPARE(tile->isVisible(), n != 16);
            QCOMPARE(background(tile), LightYellow);
            QCOMPARE(textColour(tile), QColor(0, 128, 0));
            checkFont(tile, 30, true);
            QCOMPARE(tile->alignment(), Qt::AlignHCenter | Qt::AlignTop);
        }
    }

    void bestOfPanelLayout()
    {
        Fixture f;
        BestOfPanel* panel = f.window.Picture2();
        QVERIFY(!panel->isVisible());
        QCOMPARE(panel->geometry(), QRect(0, 0, 225, 281));
        QCOMPARE(background(panel), LightYellow);
        const int rowTops[] = {24, 56, 88, 128, 144, 160, 176, 192, 208, 224};
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(panel->Jmeno(i)->pos(), QPoint(8, rowTops[i]));
            QCOMPARE(panel->scr(i)->y(), rowTops[i]);
            QCOMPARE(rightEdge(panel->scr(i)), 214);
            checkFont(panel->scr(i), 9.75, false);
            QCOMPARE(textColour(panel->Jmeno(i)), QApplication::palette().color(QPalette::ButtonText));
        }
        QCOMPARE(panel->Label3()->pos(), QPoint(8, 0));
        QCOMPARE(panel->Label5()->pos(), QPoint(8, 248));
        QCOMPARE(rightEdge(panel->Label4()), 217);
        checkFont(panel->Label3(), 12, true);
        checkFont(panel->Label4(), 12, false);
        QCOMPARE(textColour(panel->Label3()), QColor(0, 128, 0));
        QCOMPARE(textColour(panel->Label4()), QColor(0, 0, 255));
        QCOMPARE(textColour(panel->Label5()), QColor(255, 0, 0));
        QCOMPARE(panel->Label4()->toolTip(), QStringLiteral("Zavřít okno"));
        for (QPushButton* button : {panel->Command2(), panel->Command3()})  // out of reach of mouse and keys
            QVERIFY(button->isHidden() && button->focusPolicy() == Qt::NoFocus && !button->autoDefault());
    }

    void menus()
    {
        Fixture f;
        QStringList items;
        for (QAction* menu : f.window.menuBar()->actions()) {
            items << menu->text();
            for (QAction* a : menu->menu()->actions()) {
                items << (a->isSeparator() ? QStringLiteral("-") : a->text() + ' ' + a->shortcut().toString());
                QVERIFY(a->isEnabled());
            }
        }
        QCOMPARE(items, (QStringList{"&Hra", "&Zamíchat F1", "-", "N&ejlepší hráči F2", "-", "&Konec F3",
                                     "&Nápověda", "&Ovládání ", "-", "O &aplikaci "}));
    }

    void accessibleTextOfEveryControl()
    {
        Fixture f;
        auto spoken = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
        for (int n = 1; n <= 15; ++n)
            QCOMPARE(spoken(f.window.Kosticka(n)), QString::number(n));
        QCOMPARE(spoken(f.window.Label1()), QStringLiteral("Počet tahů: 0"));
        f.window.Timer1_Timer();
        QCOMPARE(spoken(f.window.Label2()), QStringLiteral("1"));
        f.trigger("mnuBestOf");
        BestOfPanel* panel = f.window.Picture2();
        panel->Jmeno(0)->setCaption(QStringLiteral("<b>Řehoř</b>"));  // read as typed, not as markup
        QCOMPARE(spoken(panel->Jmeno(0)), QStringLiteral("<b>Řehoř</b>"));
        for (int i = 0; i < 10; ++i)
            QCOMPARE(spoken(panel->scr(i)), panel->scr(i)->text());
        QCOMPARE(spoken(panel->Label4()), QStringLiteral("zpět"));
        QCOMPARE(spoken(panel->Label5()), QStringLiteral("vymazat tabulku"));
    }

    void clockRunsFromTheFirstClick()
    {
        Fixture f;
        QVERIFY(!f.window.Timer1().isActive());
        QCOMPARE(f.window.Timer1().interval(), 1000);
        f.clickTile(1);  // far from the free cell: nothing moves
        QVERIFY(f.window.Timer1().isActive());
        QCOMPARE(f.moves(), QStringLiteral("Počet tahů: 0"));
        QCOMPARE(QApplication::focusWidget(), f.window.Picture1());
        for (int i = 1; i <= 59; ++i)
            f.window.Timer1_Timer();
        QCOMPARE(f.time(), QStringLiteral("59"));
        f.window.Timer1_Timer();
        QCOMPARE(f.time(), QStringLiteral("60"));
        f.window.Label2()->setCaption(QStringLiteral("99"));
        f.window.Timer1_Timer();
        QCOMPARE(f.time(), QStringLiteral("100"));

        f.clickTile(11);  // left of the free cell: it slides
        QCOMPARE(f.window.Kosticka(11)->pos(), QPoint(168, 147));
        QCOMPARE(f.moves(), QStringLiteral("Počet tahů: 1"));
        QTest::keyClick(&f.window, Qt::Key_F1);  // a new game stops the clock at 0
        QCOMPARE(f.time(), QStringLiteral("0"));
        QCOMPARE(f.moves(), QStringLiteral("Počet tahů: 0"));
        QVERIFY(!f.window.Timer1().isActive());
    }

    void solvingShowsTheResultThenResetsTheTime()
    {
        Fixture f;
        f.clickTile(1);
        for (int i = 0; i < 7; ++i)
            f.window.Timer1_Timer();
        bool clockRanDuringBox = true;
        f.dialogs.onInform = [&](const QString&, const QString&) { clockRanDuringBox = f.window.Timer1().isActive(); };
        f.clickTile(12);
        QCOMPARE(f.dialogs.boxes.at(0).title, QStringLiteral("Konec hry"));
        QCOMPARE(f.dialogs.boxes.at(0).text, QStringLiteral("Skládanka je složena. \rPočet tahů: 1\rVáš čas: 7"));
        QVERIFY(!clockRanDuringBox);
        QCOMPARE(f.time(), QStringLiteral("0"));
        QCOMPARE(f.moves(), QStringLiteral("Počet tahů: 1"));
        QVERIFY(!f.window.Timer1().isActive());

        f.window.Picture2()->Label4_Click();
        f.dialogs.boxes.clear();
        f.clickTile(1);  // cannot move on the solved board: the result again, time 0
        QCOMPARE(f.dialogs.boxes.at(0).text, QStringLiteral("Skládanka je složena. \rPočet tahů: 1\rVáš čas: 0"));
        f.clickTile(15);  // play goes on from the finished count
        QCOMPARE(f.moves(), QStringLiteral("Počet tahů: 2"));
    }

    void helpAndAboutTexts()
    {
        Fixture f;
        f.trigger("mnu02");
        f.trigger("mnu05");
        const QString nine(9, ' ');
        QCOMPARE(f.dialogs.boxes.at(0).title, QStringLiteral("Ovládání"));
        QCOMPARE(f.dialogs.boxes.at(0).text.split('\r'),
                 (QStringList{"Cíl hry:", "Zábavná logická hra, ve které je cílem",
                              "seřadit tavlin s číslicemi do správného pořadí.", "", "Ovládání:",
                              "Po kliknutí na kamen se přesune na volné místo vedle sebe.",
                              "Tímto přesouváním kamenů musíte docílit toho, aby jejich čísla šla",
                              "od nejmenšího po největší (1-10). Jakmile bude vše složeno, objeví",
                              "se zpráva s vyhodnocením:", nine + "počet tahů - údává kolikrát byly tavlin přesunuty",
                              nine + "čas - udává za jakou dobu byla skládanka složena"}));
        QCOMPARE(f.dialogs.boxes.at(1).title, QStringLiteral("O aplikaci"));
        const QStringList about = f.dialogs.boxes.at(1).text.split('\r');
        QCOMPARE(about.size(), 9);
        QCOMPARE(about.mid(0, 1) + about.mid(2, 4),
                 (QStringList{"Tavlin 1.0.30", "", "Zábavná logická hra, ve které je cílem",
                              "seřadit tavlin s číslicemi do správného pořadí.", ""}));
    }

    void strayClicksBeepOnlyOnTheFreeCell()
    {
        Fixture f;
        f.click(f.window.surface(), QPoint(196, 177));  // the free cell (3, 4)
        f.clickTile(1);
        f.click(f.window.Picture1(), QPoint(100, 10));
        f.click(f.window.Label1());
        f.trigger("mnuBestOf");
        f.click(f.window.Picture2(), QPoint(100, 120));
        QCOMPARE(f.dialogs.beeps, 1);
    }

    void shortcutsWhileThePanelIsShown()
    {
        Fixture f;
        QTest::keyClick(&f.window, Qt::Key_F2);
        QVERIFY(f.window.Picture2()->isVisible());
        f.window.Timer1().start();
        QTest::keyClick(&f.window, Qt::Key_F1);
        QVERIFY(f.window.Picture2()->isVisible());  // a new game leaves the panel open
        QVERIFY(!f.window.Timer1().isActive());
        QTest::keyClick(&f.window, Qt::Key_F3);
        QVERIFY(!f.window.isVisible());
    }

    void endDuringAShuffleStopsItCleanly()
    {
        Fixture f;
        QList<QPoint> before;
        for (int n = 1; n <= 16; ++n)
            before << f.window.Kosticka(n)->pos();
        QTimer::singleShot(0, &f.window, [&] { f.trigger("miKonec"); });  // arrives at the first yield
        f.window.miRozhazej_Click();
        QVERIFY(!f.window.isVisible());
        for (int n = 1; n <= 16; ++n)
            QCOMPARE(f.window.Kosticka(n)->pos(), before[n - 1]);
    }
};

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
