// SPDX-License-Identifier: 0BSD
// The best-of panel in the real window on the offscreen platform: showing,
// closing and clearing the table, ranking finished games into it, and a
// score file that cannot be written.

#include "window/bestofpanel.h"
#include "bestof/ranking.h"
#include "fixtures/gamewindow.h"
#include "fixtures/scorefiles.h"

#include <QAccessible>
#include <QDir>

#include <memory>

using namespace tavlin::testing;

namespace {

const QStringList Defaults = listOf(tavlin::scorefile::defaultLines());

// `lines` with a new row at `row`, the slower rows one lower, the last gone.
QStringList ranked(QStringList lines, int row, const QString& time, const QString& name)
{
    lines.insert(2 * row, name);
    lines.insert(2 * row, time);
    return table(lines);
}

}  // namespace

class TestBestOfPanel : public QObject {
    Q_OBJECT

    std::unique_ptr<GameWindow> w_;

    tavlin::BestOfPanel& panel() { return *w_->window.bestOfPanel(); }
    const std::vector<FakeDialogs::Box>& boxes() { return w_->dialogs.boxes; }
    QStringList shown()
    {
        QStringList texts;
        for (int i = 0; i < tavlin::BestOfPanel::Rows; ++i)
            texts << panel().timeInRow(i)->caption() << panel().nameInRow(i)->caption();
        return texts;
    }

private slots:
    void init() { w_ = std::make_unique<GameWindow>(); }

    // F2 shows the table read from the file at the corner; the clear command
    // asks, keeps the file on No and writes the default table on Yes.
    void showClearAndClose()
    {
        panel().move(30, 40);
        writeBytes(w_->path, "42\r\nP\xF8\xEDli\x9A " + QByteArray(300, '\x8E') + "\r\n0100");  // longer than the default
        w_->key(Qt::Key_F2);
        QCOMPARE(panel().pos(), QPoint(0, 0));
        const QStringList mine = table({"42", "Příliš " + QString(300, u'Ž'), "0100"});
        QCOMPARE(shown(), mine);
        w_->dialogs.confirmAnswers = {false, true, true};
        QTest::mouseClick(panel().clearLabel(), Qt::LeftButton);
        QCOMPARE(boxes().at(0).text, QStringLiteral("Opravdu chcete vymazat tabulku s nejvyšším skóre?"));
        QVERIFY(untouched(w_->path));
        QCOMPARE(shown(), mine);
        QTest::mouseClick(panel().clearLabel(), Qt::LeftButton);
        QCOMPARE(listOf(tavlin::scorefile::load(w_->path)), Defaults);
        QCOMPARE(shown(), Defaults);
        QCOMPARE(QAccessible::queryAccessibleInterface(panel().timeInRow(1))->text(QAccessible::Name), "110 sekund");
        // A clear that cannot be saved shows the new table all the same.
        QVERIFY(QFile::remove(w_->path) && QDir().mkdir(w_->path));
        panel().nameInRow(0)->setCaption(QStringLiteral("Eva"));
        QTest::mouseClick(panel().clearLabel(), Qt::LeftButton);
        QCOMPARE(shown(), Defaults);
        QTest::mouseClick(panel().closeLabel(), Qt::LeftButton);
        QVERIFY(panel().isHidden());
    }

    // Finished games, one per clock caption; the first name box is answered
    // "Šárka", any later one cancelled.
    void ranking_data()
    {
        QTest::addColumn<QStringList>("before");  // empty: no file
        QTest::addColumn<QStringList>("clocks");
        QTest::addColumn<QStringList>("after");
        for (auto [clock, row] : {std::pair{"150", 5}, {"100", 0}, {"190", 9}, {"0", 0}})
            QTest::newRow(clock) << Defaults << QStringList{clock} << ranked(Defaults, row, clock, "Šárka");
        QTest::newRow("191") << Defaults << QStringList{"191"} << Defaults;
        QTest::newRow("equal times, the later above, cancelled")
            << Defaults << QStringList{"150", "150"} << ranked(ranked(Defaults, 5, "150", "Šárka"), 5, "150", "");
        // A row without a whole number is an empty place, slower than any time.
        QTest::newRow("no file") << QStringList() << QStringList{"1000000"} << table({"1000000", "Šárka"});
        QStringList edited = Defaults;
        edited[6] = "abc";
        QTest::newRow("edited row") << edited << QStringList{"500"} << ranked(edited, 3, "500", "Šárka");
        QStringList numbers = Defaults;  // hand-edited times that are numbers all the same
        numbers[0] = "+99";
        numbers[2] = "105.5";
        QTest::newRow("signed and decimal times") << numbers << QStringList{"106"} << ranked(numbers, 2, "106", "Šárka");
    }

    void ranking()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, clocks);
        QFETCH(QStringList, after);
        tavlin::scorefile::Lines file;
        std::copy(before.begin(), before.end(), file.begin());
        if (!before.isEmpty())
            writeBytes(w_->path, tavlin::scorefile::encode(file));
        panel().move(25, 25);
        w_->dialogs.textAnswers = {QStringLiteral("Šárka")};
        QStringList duringBox;  // the first box's: the rows moved, the new time beside the name its row had
        w_->dialogs.onAsk = [&] { duringBox = duringBox.isEmpty() ? shown() : duringBox; };
        for (const QString& clock : clocks) {
            w_->window.clock()->setCaption(clock);
            w_->window.rankGame();
        }
        QVERIFY(panel().isVisible());
        QCOMPARE(panel().pos(), QPoint(0, 0));
        QCOMPARE(shown(), after);
        if (after == before) {
            QVERIFY(boxes().empty());
            QVERIFY(untouched(w_->path));
            return;
        }
        QCOMPARE(boxes().size(), size_t(clocks.size()));
        QStringList whileAsked = after;  // of one game
        const qsizetype named = after.indexOf(QStringLiteral("Šárka"));
        whileAsked[named] = before.value(named);
        QVERIFY(clocks.size() > 1 || duringBox == whileAsked);
        QCOMPARE(boxes()[0].text, QStringLiteral("Gratuluji vám k umístění! Zadejte vaše jméno:"));
        QCOMPARE(listOf(tavlin::scorefile::load(w_->path)), after);
    }

    // Another player saves while the name box is open: the row goes into the
    // table as it is then, and the panel shows what was written; a time that
    // no longer earns a row writes nothing.
    void theNameGoesIntoTheTableAsItIsThen()
    {
        writeBytes(w_->path, tavlin::scorefile::encode(tavlin::scorefile::defaultLines()));
        w_->dialogs.textAnswers = {QStringLiteral("Šárka")};
        const auto otherPlayer = [this](double time) {
            w_->dialogs.onAsk = [this, time] {
                tavlin::scorefile::update(w_->path, [time](const auto& now, auto) {
                    return tavlin::ranking::withRow(now, time, QStringLiteral("Eva")); });
            };
        };
        otherPlayer(120);
        w_->window.clock()->setCaption(QStringLiteral("150"));
        w_->window.rankGame();
        const QStringList both = ranked(ranked(Defaults, 2, "120", "Eva"), 6, "150", "Šárka");
        QCOMPARE(listOf(tavlin::scorefile::load(w_->path)), both);
        QCOMPARE(shown(), both);
        otherPlayer(0);  // three times, while the box of a 165 s game is open: 150 to 170 go, and 165 with them
        const auto hurry = w_->dialogs.onAsk;
        w_->dialogs.onAsk = [hurry] { hurry(), hurry(), hurry(); };
        w_->window.clock()->setCaption(QStringLiteral("165"));
        w_->window.rankGame();
        const QStringList fast = ranked(ranked(ranked(both, 0, "0", "Eva"), 0, "0", "Eva"), 0, "0", "Eva");
        QCOMPARE(listOf(tavlin::scorefile::load(w_->path)), fast);
        QCOMPARE(shown(), fast);
    }

    // A table that cannot be saved at all: the panel shows the new row all the same, and says why.
    void aRowThatCannotBeSavedIsShown()
    {
        QVERIFY(QDir().mkdir(w_->path));
        w_->dialogs.textAnswers = {QStringLiteral("Eva")};
        w_->window.clock()->setCaption(QStringLiteral("7"));
        w_->window.rankGame();
        QCOMPARE(shown(), table({"7", "Eva"}));
        QVERIFY(boxes().back().text.endsWith("Důvod: Na místě souboru je složka nebo něco jiného než obyčejný soubor."));
    }

    // An unreadable table loads as empty labels; a fast game keeps it, and says why.
    void anUnreadableTableOutlivesAFastGame()
    {
        if (::geteuid() == 0)
            return runAsNobody();  // root reads any file
        writeBytes(w_->path, "57\r\nEva\r\n");
        QVERIFY(QFile::setPermissions(w_->path, QFile::WriteOwner));  // writable all the same
        w_->window.rankGame();  // solved with the clock at 0, the name box cancelled
        QCOMPARE(shown(), table({"0"}));
        QCOMPARE(boxes().back().text, "Tabulku nejlepších hráčů se nepodařilo uložit.\r\rSoubor: " + w_->path
                 + "\rDůvod: Dosavadní tabulku se nepodařilo přečíst, a proto se nepřepíše. Výsledek hry není uložen.");
        QVERIFY(untouched(w_->path) && QFile::setPermissions(w_->path, QFile::ReadOwner));
        QCOMPARE(readBytes(w_->path), QByteArray("57\r\nEva\r\n"));
    }
};

QTEST_MAIN(TestBestOfPanel)
#include "test_bestofpanel.moc"
