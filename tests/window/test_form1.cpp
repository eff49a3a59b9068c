// The main window through Qt Test on the offscreen platform: the design
// values of every control, the menus, and whole flows of play.

#include "bestof/bestofpanel.h"
#include "fakedialogs.h"
#include "scripteddirections.h"
#include "window/form1.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using tavlin::Form1;
using tavlin::Label;
using tavlin::testing::FakeDialogs;
using tavlin::testing::ScriptedDirections;

namespace {

const QColor LightGreen(192, 255, 192);
const QColor LightYellow(255, 255, 192);
const QColor Maroon(128, 0, 0);
const QColor Green(0, 128, 0);

// A window whose shuffle goes up and down in turn, so that it ends one move
// (tile 12 down... up) from the solved board, with the free cell at (3, 4).
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
    QAction* action(const char* name) { return window.findChild<QAction*>(QString::fromLatin1(name)); }
    // Which tile covers the cell (r, s) on screen.
    int tileOnScreen(int r, int s)
    {
        const QPoint centre(28 + 56 * (s - 1), 20 + 63 * (r - 1) + 32);
        for (int n = 1; n <= 16; ++n)
            if (window.Kosticka(n)->isVisible() && window.Kosticka(n)->geometry().contains(centre))
                return n;
        return 16;
    }
};

QColor background(const QWidget* widget)
{
    return widget->palette().color(widget->backgroundRole());
}

QColor textColour(const QWidget* widget)
{
    return widget->palette().color(widget->foregroundRole());
}

}  // namespace

class TestForm1 : public QObject {
    Q_OBJECT
private slots:
    void windowFrameAndSize()
    {
        Fixture f;
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Tavlin"));
        QCOMPARE(f.window.surface()->geometry().size(), QSize(224, 273));
        QCOMPARE(f.window.surface()->y(), f.window.menuBar()->height());
        QCOMPARE(f.window.minimumSize(), f.window.maximumSize());
        const Qt::WindowFlags flags = f.window.windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(flags & Qt::WindowTitleHint);
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QCOMPARE(background(f.window.surface()), LightGreen);

        const QImage icon = f.window.windowIcon().pixmap(32, 32).toImage();
        QCOMPARE(icon.size(), QSize(32, 32));
        QCOMPARE(QColor(icon.pixel(0, 0)), QColor(Qt::black));
        QCOMPARE(qAlpha(icon.pixel(5, 5)), 0);
    }

    void windowIsCentredOnTheScreen()
    {
        Fixture f;
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(f.window.x(), (screen.width() - f.window.width()) / 2);
        QCOMPARE(f.window.y(), (screen.height() - f.window.height()) / 2);
    }

    void statusStripAndItsLabels()
    {
        Fixture f;
        QCOMPARE(f.window.Picture1()->geometry(), QRect(0, 0, 224, 20));
        QCOMPARE(background(f.window.Picture1()), LightYellow);

        Label* time = f.window.Label2();
        Label* moves = f.window.Label1();
        QCOMPARE(time->caption(), QStringLiteral("0"));
        QCOMPARE(moves->caption(), QStringLiteral("Počet tahů: 0"));
        QCOMPARE(time->x(), 8);
        QCOMPARE(moves->geometry().right() + 1, 220);
        QCOMPARE(time->y(), 0);
        for (Label* label : {time, moves}) {
            QCOMPARE(textColour(label), Maroon);
            QCOMPARE(label->font().family(), QStringLiteral("Comic Sans MS"));
            QCOMPARE(label->font().pointSizeF(), 11.25);
            QVERIFY(!label->font().bold());
            QVERIFY(!label->autoFillBackground());  // transparent
        }

        // Both follow their text: the time grows to the right, the count to the left.
        const int timeWidth = time->width();
        time->setCaption(QStringLiteral("12345"));
        QCOMPARE(time->x(), 8);
        QVERIFY(time->width() > timeWidth);
        const int movesLeft = moves->x();
        moves->setCaption(QStringLiteral("Počet tahů: 123456"));
        QCOMPARE(moves->geometry().right() + 1, 220);
        QVERIFY(moves->x() < movesLeft);
    }

    void tilesStandOnTheirCells()
    {
        Fixture f;
        const int lefts[] = {0, 56, 112, 168, 224};
        const int tops[] = {20, 84, 147, 210, 273};  // 306 + k × 947.25 twips, rounded
        QSet<int> seen;
        for (int r = 1; r <= 4; ++r) {
            for (int s = 1; s <= 4; ++s) {
                const int n = f.window.game().board().tileAt(r, s);
                seen.insert(n);
                const QRect cell(lefts[s - 1], tops[r - 1], lefts[s] - lefts[s - 1], tops[r] - tops[r - 1]);
                QCOMPARE(f.window.Kosticka(n)->geometry(), cell);
            }
        }
        QCOMPARE(seen.size(), 16);
        for (int n = 1; n <= 16; ++n) {
            Label* tile = f.window.Kosticka(n);
            QCOMPARE(tile->text(), QString::number(n));
            QCOMPARE(tile->isVisible(), n != 16);
            QCOMPARE(background(tile), LightYellow);
            QVERIFY(tile->autoFillBackground());
            QCOMPARE(textColour(tile), Green);
            QCOMPARE(tile->font().family(), QStringLiteral("Comic Sans MS"));
            QCOMPARE(tile->font().pointSizeF(), 30.0);
            QVERIFY(tile->font().bold());
            QCOMPARE(tile->alignment(), Qt::AlignHCenter | Qt::AlignTop);
        }
    }

    void bestOfPanelIsThereHidden()
    {
        Fixture f;
        tavlin::BestOfPanel* panel = f.window.Picture2();
        QVERIFY(!panel->isVisible());
        QCOMPARE(panel->geometry(), QRect(0, 0, 225, 281));
        QCOMPARE(background(panel), LightYellow);
        const int rowTops[] = {24, 56, 88, 128, 144, 160, 176, 192, 208, 224};
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(panel->Jmeno(i)->x(), 8);
            QCOMPARE(panel->Jmeno(i)->y(), rowTops[i]);
            QCOMPARE(panel->scr(i)->geometry().right() + 1, 214);
            QCOMPARE(panel->scr(i)->y(), rowTops[i]);
            QCOMPARE(panel->scr(i)->font().pointSizeF(), 9.75);
            QCOMPARE(textColour(panel->scr(i)), QApplication::palette().color(QPalette::ButtonText));
        }
        QCOMPARE(panel->Label3()->text(), QStringLiteral("Nejlepší hráči"));
        QCOMPARE(panel->Label3()->pos(), QPoint(8, 0));
        QVERIFY(panel->Label3()->font().bold());
        QCOMPARE(textColour(panel->Label3()), Green);
        QCOMPARE(panel->Label5()->text(), QStringLiteral("vymazat tabulku"));
        QCOMPARE(panel->Label5()->pos(), QPoint(8, 248));
        QCOMPARE(textColour(panel->Label5()), QColor(255, 0, 0));
        QCOMPARE(panel->Label4()->text(), QStringLiteral("zpět"));
        QCOMPARE(panel->Label4()->geometry().right() + 1, 217);
        QCOMPARE(panel->Label4()->y(), 248);
        QCOMPARE(textColour(panel->Label4()), QColor(0, 0, 255));
        QCOMPARE(panel->Label4()->toolTip(), QStringLiteral("Zavřít okno"));
        for (auto* label : {panel->Label3(), panel->Label4(), panel->Label5()})
            QCOMPARE(label->font().pointSizeF(), 12.0);
        // The hidden buttons can be reached neither by mouse nor keyboard.
        for (QPushButton* button : {panel->Command2(), panel->Command3()}) {
            QVERIFY(button->isHidden());
            QCOMPARE(button->focusPolicy(), Qt::NoFocus);
            QVERIFY(!button->isDefault() && !button->autoDefault());
        }
        QCOMPARE(panel->Command3()->text(), QStringLiteral("proverit"));
        QCOMPARE(panel->Command2()->text(), QStringLiteral("refresh"));
    }

    void menusCaptionsKeysAndShortcuts()
    {
        Fixture f;
        const QList<QAction*> bar = f.window.menuBar()->actions();
        QCOMPARE(bar.size(), 2);
        QCOMPARE(bar[0]->text(), QStringLiteral("&Hra"));
        QCOMPARE(bar[1]->text(), QStringLiteral("&Nápověda"));

        auto items = [](QAction* menu) {
            QStringList list;
            for (QAction* a : menu->menu()->actions())
                list << (a->isSeparator() ? QStringLiteral("-")
                                          : a->text() + QLatin1Char('|') + a->shortcut().toString());
            return list;
        };
        QCOMPARE(items(bar[0]), (QStringList{QStringLiteral("&Zamíchat|F1"), QStringLiteral("-"),
                                             QStringLiteral("N&ejlepší hráči|F2"), QStringLiteral("-"),
                                             QStringLiteral("&Konec|F3")}));
        QCOMPARE(items(bar[1]), (QStringList{QStringLiteral("&Ovládání|"), QStringLiteral("-"),
                                             QStringLiteral("O &aplikaci|")}));
        for (QAction* menu : bar)
            for (QAction* a : menu->menu()->actions())
                QVERIFY(a->isEnabled() && a->isVisible() && !a->isCheckable());
    }

    void firstClickStartsTheClockAndTicksCount()
    {
        Fixture f;
        QVERIFY(!f.window.Timer1().isActive());
        QCOMPARE(f.window.Timer1().interval(), 1000);
        f.clickTile(1);  // far from the free cell: nothing moves
        QVERIFY(f.window.Timer1().isActive());
        QCOMPARE(f.window.Label1()->caption(), QStringLiteral("Počet tahů: 0"));
        QCOMPARE(QApplication::focusWidget(), f.window.Picture1());

        for (int i = 1; i <= 59; ++i)
            f.window.Timer1_Timer();
        QCOMPARE(f.window.Label2()->caption(), QStringLiteral("59"));
        f.window.Timer1_Timer();
        QCOMPARE(f.window.Label2()->caption(), QStringLiteral("60"));
        for (int i = 61; i <= 100; ++i)
            f.window.Timer1_Timer();
        QCOMPARE(f.window.Label2()->caption(), QStringLiteral("100"));
        QCOMPARE(f.window.Label2()->x(), 8);
    }

    void tileClickSlidesTheTileOnScreen()
    {
        Fixture f;
        // Free cell (3, 4): the tile below it is 12.
        QCOMPARE(f.tileOnScreen(4, 4), 12);
        QCOMPARE(f.tileOnScreen(3, 4), 16);
        const QRect below = f.window.Kosticka(12)->geometry();
        f.clickTile(11);  // left of the free cell
        QCOMPARE(f.tileOnScreen(3, 4), 11);
        QCOMPARE(f.tileOnScreen(3, 3), 16);
        QCOMPARE(f.window.Label1()->caption(), QStringLiteral("Počet tahů: 1"));
        QCOMPARE(f.window.Kosticka(12)->geometry(), below);
        QCOMPARE(f.window.Label1()->geometry().right() + 1, 220);
    }

    void newGameWhileTheClockRuns()
    {
        Fixture f;
        f.clickTile(11);
        f.window.Timer1_Timer();
        QTest::keyClick(&f.window, Qt::Key_F1);
        QCOMPARE(f.window.Label2()->caption(), QStringLiteral("0"));
        QCOMPARE(f.window.Label1()->caption(), QStringLiteral("Počet tahů: 0"));
        QVERIFY(!f.window.Timer1().isActive());
    }

    void solvingShowsTheResultThenResetsTheTime()
    {
        Fixture f;
        f.clickTile(1);
        for (int i = 0; i < 7; ++i)
            f.window.Timer1_Timer();
        bool clockRanDuringBox = true;
        f.dialogs.onInform = [&](const QString&, const QString&) {
            clockRanDuringBox = f.window.Timer1().isActive();
        };
        f.clickTile(12);
        QVERIFY(!f.dialogs.boxes.empty());
        const FakeDialogs::Box& box = f.dialogs.boxes.front();
        QCOMPARE(box.kind, FakeDialogs::Kind::Inform);
        QCOMPARE(box.title, QStringLiteral("Konec hry"));
        QCOMPARE(box.text, QStringLiteral("Skládanka je složena. \rPočet tahů: 1\rVáš čas: 7"));
        QVERIFY(!clockRanDuringBox);
        QCOMPARE(f.window.Label2()->caption(), QStringLiteral("0"));
        QCOMPARE(f.window.Label1()->caption(), QStringLiteral("Počet tahů: 1"));
        QVERIFY(!f.window.Timer1().isActive());

        // Back at the board: a tile that cannot move repeats the result with
        // the time 0.
        f.window.Picture2()->hide();
        f.dialogs.boxes.clear();
        f.clickTile(1);
        QVERIFY(!f.dialogs.boxes.empty());
        QCOMPARE(f.dialogs.boxes.front().text,
                 QStringLiteral("Skládanka je složena. \rPočet tahů: 1\rVáš čas: 0"));
    }

    void helpAndAboutTexts()
    {
        Fixture f;
        f.window.findChild<QAction*>(QStringLiteral("mnu02"))->trigger();
        f.window.findChild<QAction*>(QStringLiteral("mnu05"))->trigger();
        QCOMPARE(f.dialogs.boxes.size(), std::size_t{2});
        const QString nine(9, QLatin1Char(' '));
        QCOMPARE(f.dialogs.boxes[0].title, QStringLiteral("Ovládání"));
        QCOMPARE(f.dialogs.boxes[0].text.split(QLatin1Char('\r')),
                 (QStringList{QStringLiteral("Cíl hry:"),
                              QStringLiteral("Zábavná logická hra, ve které je cílem"),
                              QStringLiteral("seřadit tavlin s číslicemi do správného pořadí."),
                              QString(),
                              QStringLiteral("Ovládání:"),
                              QStringLiteral("Po kliknutí na kamen se přesune na volné místo vedle sebe."),
                              QStringLiteral("Tímto přesouváním kamenů musíte docílit toho, aby jejich čísla šla"),
                              QStringLiteral("od nejmenšího po největší (1-10). Jakmile bude vše složeno, objeví"),
                              QStringLiteral("se zpráva s vyhodnocením:"),
                              nine + QStringLiteral("počet tahů - údává kolikrát byly tavlin přesunuty"),
                              nine + QStringLiteral("čas - udává za jakou dobu byla skládanka složena")}));
        QVERIFY(!f.dialogs.boxes[0].text.contains(QLatin1Char('\n')));

        QCOMPARE(f.dialogs.boxes[1].title, QStringLiteral("O aplikaci"));
        const QStringList about = f.dialogs.boxes[1].text.split(QLatin1Char('\r'));
        QCOMPARE(about.size(), 9);
        QCOMPARE(about[0], QStringLiteral("Tavlin 1.0.30"));
        QVERIFY(about[2].isEmpty());
        QCOMPARE(about[3], QStringLiteral("Zábavná logická hra, ve které je cílem"));
        QCOMPARE(about[4], QStringLiteral("seřadit tavlin s číslicemi do správného pořadí."));
        QVERIFY(about[5].isEmpty());
        for (int line : {1, 6, 7, 8})
            QVERIFY(!about[line].isEmpty());
        // The boxes change nothing.
        QCOMPARE(f.window.Label1()->caption(), QStringLiteral("Počet tahů: 0"));
    }

    void strayClicksBeepOnlyOnTheFreeCell()
    {
        Fixture f;
        f.click(f.window.surface(), QPoint(168 + 28, 147 + 30));  // the free cell (3, 4)
        QCOMPARE(f.dialogs.beeps, 1);
        f.clickTile(1);
        f.click(f.window.Picture1(), QPoint(100, 10));
        f.click(f.window.Label1());
        QCOMPARE(f.dialogs.beeps, 1);
        f.window.mnuBestOf_Click();
        f.click(f.window.Picture2(), QPoint(100, 120));
        f.click(f.window.Picture2()->Label3());
        QCOMPARE(f.dialogs.beeps, 1);
    }

    void shortcutsWorkWhileThePanelIsShown()
    {
        Fixture f;
        QTest::keyClick(&f.window, Qt::Key_F2);
        QVERIFY(f.window.Picture2()->isVisible());
        QCOMPARE(f.window.Picture2()->pos(), QPoint(0, 0));
        f.clickTile(11);  // covered by the panel: the click cannot reach it
        f.window.Timer1().start();
        QTest::keyClick(&f.window, Qt::Key_F1);
        QVERIFY(f.window.Picture2()->isVisible());  // a new game leaves the panel open
        QVERIFY(!f.window.Timer1().isActive());
        f.click(f.window.Picture2()->Label4());
        QVERIFY(!f.window.Picture2()->isVisible());
        QTest::keyClick(&f.window, Qt::Key_F3);
        QVERIFY(!f.window.isVisible());
    }

    void endDuringAShuffleStopsItCleanly()
    {
        Fixture f;
        QList<QRect> before;
        for (int n = 1; n <= 16; ++n)
            before << f.window.Kosticka(n)->geometry();
        // The end command arrives at the shuffle's first yield.
        QTimer::singleShot(0, &f.window, [&] { f.window.findChild<QAction*>(QStringLiteral("miKonec"))->trigger(); });
        f.window.miRozhazej_Click();
        QVERIFY(!f.window.isVisible());
        for (int n = 1; n <= 16; ++n)
            QCOMPARE(f.window.Kosticka(n)->geometry(), before[n - 1]);
        QVERIFY(!f.window.Timer1().isActive());
    }
};

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
