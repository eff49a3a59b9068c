// What a screen reader gets from the window through Qt's accessibility
// layer: every tile, the time and the move count, the best-of panel's rows
// and its commands read as the text the player sees, follow that text as it
// changes, and only what is shown is offered.

#include "bestof/bestofpanel.h"
#include "fakedialogs.h"
#include "scripteddirections.h"
#include "window/form1.h"

#include <QAccessible>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using tavlin::Form1;
using tavlin::Label;
using tavlin::testing::FakeDialogs;
using tavlin::testing::ScriptedDirections;

namespace {

// The text an assistive tool reads for a widget: its accessible name, or
// its value where a widget keeps its text there.
QString spoken(QWidget* widget)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    if (!iface)
        return QStringLiteral("<no accessible interface for %1>").arg(widget->objectName());
    const QString name = iface->text(QAccessible::Name);
    return name.isEmpty() ? iface->text(QAccessible::Value) : name;
}

bool shownToTools(QWidget* widget)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    return iface && !iface->state().invisible;
}

QAccessible::Role roleOf(QWidget* widget)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    return iface ? iface->role() : QAccessible::NoRole;
}

// A window whose shuffle ends one move from the solved board, with the free
// cell at (3, 4): moving tile 11 (to the left of it) does not solve it.
struct Fixture {
    QTemporaryDir dir;
    FakeDialogs dialogs;
    Form1 window{dialogs, dir.filePath(QStringLiteral("tavlin.inf")),
                 std::make_unique<ScriptedDirections>(std::vector<int>{1, 0})};

    Fixture() { window.show(); }
};

}  // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private slots:
    void tilesAndStripReadTheirText()
    {
        Fixture f;
        for (int n = 1; n <= 15; ++n) {
            QWidget* tile = f.window.Kosticka(n);
            QCOMPARE(spoken(tile), QString::number(n));
            QCOMPARE(roleOf(tile), QAccessible::StaticText);
            QVERIFY2(shownToTools(tile), qPrintable(tile->objectName()));
        }
        // The blank is never seen, and a tool must not offer it as a tile.
        QVERIFY(!shownToTools(f.window.Kosticka(16)));

        QCOMPARE(spoken(f.window.Label2()), QStringLiteral("0"));
        QCOMPARE(spoken(f.window.Label1()), QStringLiteral("Počet tahů: 0"));
        QCOMPARE(roleOf(f.window.Label1()), QAccessible::StaticText);
        QCOMPARE(roleOf(f.window.Label2()), QAccessible::StaticText);
    }

    void stripTextFollowsPlay()
    {
        Fixture f;
        const tavlin::Cell free = f.window.game().board().freeCell();
        QCOMPARE(free, (tavlin::Cell{3, 4}));
        const int tile = f.window.game().board().tileAt(free.r, free.s - 1);

        f.window.Kosticka_Click(static_cast<std::int16_t>(tile));
        QCOMPARE(spoken(f.window.Label1()), QStringLiteral("Počet tahů: 1"));
        // A tile keeps its number wherever it stands.
        QCOMPARE(spoken(f.window.Kosticka(tile)), QString::number(tile));

        f.window.Timer1_Timer();
        f.window.Timer1_Timer();
        QCOMPARE(spoken(f.window.Label2()), QStringLiteral("2"));
        QVERIFY(f.dialogs.boxes.empty());
    }

    void panelRowsAndCommandsReadTheirText()
    {
        Fixture f;
        // A table in the score file, so that showing the panel has rows to load.
        QFile file(f.dir.filePath(QStringLiteral("tavlin.inf")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QStringEncoder cp1250("windows-1250");
        QVERIFY(cp1250.isValid());
        for (int i = 0; i < tavlin::BestOfPanel::Rows; ++i)
            file.write(QByteArray(cp1250(QStringLiteral("%1\r\nneznámý hráč\r\n").arg(100 + 10 * i))));
        file.close();

        tavlin::BestOfPanel* panel = f.window.Picture2();
        QVERIFY(!shownToTools(panel->Label4()));
        f.window.mnuBestOf_Click();
        QVERIFY(shownToTools(panel));

        for (Label* label : {panel->Label3(), panel->Label4(), panel->Label5()}) {
            QVERIFY2(shownToTools(label), qPrintable(label->objectName()));
            QCOMPARE(roleOf(label), QAccessible::StaticText);
        }
        QCOMPARE(spoken(panel->Label3()), QStringLiteral("Nejlepší hráči"));
        QCOMPARE(spoken(panel->Label4()), QStringLiteral("zpět"));
        QCOMPARE(spoken(panel->Label5()), QStringLiteral("vymazat tabulku"));
        // The tooltip of the close command is its description.
        QCOMPARE(QAccessible::queryAccessibleInterface(panel->Label4())->text(QAccessible::Description),
                 QStringLiteral("Zavřít okno"));

        // Whatever the rows hold after showing the panel is what is read.
        for (int i = 0; i < tavlin::BestOfPanel::Rows; ++i) {
            QVERIFY2(shownToTools(panel->scr(i)), qPrintable(panel->scr(i)->objectName()));
            QVERIFY2(shownToTools(panel->Jmeno(i)), qPrintable(panel->Jmeno(i)->objectName()));
            QCOMPARE(spoken(panel->scr(i)), panel->scr(i)->text());
            QCOMPARE(spoken(panel->Jmeno(i)), panel->Jmeno(i)->text());
            QVERIFY(!spoken(panel->scr(i)).isEmpty());
        }

        // A row as the ranking writes it, read back letter for letter, also
        // a name that looks like markup.
        const QString names[] = {QStringLiteral("Řehoř Žluťoučký"), QStringLiteral("<b>Jan</b> & Eva"),
                                 QStringLiteral("  mezery  ")};
        for (int i = 0; i < 3; ++i) {
            panel->scr(i)->setCaption(QString::number(7 + i));
            panel->Jmeno(i)->setCaption(names[i]);
            QCOMPARE(spoken(panel->scr(i)), QString::number(7 + i));
            QCOMPARE(spoken(panel->Jmeno(i)), names[i]);
        }

        panel->Label4_Click();
        QVERIFY(!shownToTools(panel->Label4()));
        QVERIFY(!shownToTools(panel->scr(0)));
    }
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
