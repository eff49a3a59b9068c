// SPDX-License-Identifier: 0BSD
// The best-of panel in the real window on the offscreen platform: showing,
// closing and clearing the table, ranking finished games into it, and a
// score file that cannot be written.

#include "window/bestofpanel.h"
#include "bestof/ranking.h"
#include "fixtures/gamewindow.h"
#include "fixtures/scorefiles.h"

#include <QDir>

#include <memory>

using namespace tavlin::testing;

namespace {

const QStringList Defaults = listOf(tavlin::scorefile::defaultLines());

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
        // A clear that cannot be saved shows the new table all the same.
        QVERIFY(QFile::remove(w_->path) && QDir().mkdir(w_->path));
        panel().nameInRow(0)->setCaption(QStringLiteral("Eva"));
        QTest::mouseClick(panel().clearLabel(), Qt::LeftButton);
        QCOMPARE(shown(), Defaults);
        QTest::mouseClick(panel().closeLabel(), Qt::LeftButton);
        QVERIFY(panel().isHidden());
    }

    // A finished game shows the table at the corner, asks for the name with
    // the slower rows moved and the new time beside the name its row had,
    // and writes the row; a cancelled name writes an empty one; a time that
    // earns no row asks nothing. Where a time goes is the ranking's own test.
    void ranking()
    {
        QStringList duringBox;
        w_->dialogs.onAsk = [&] { duringBox = shown(); };
        const auto finish = [this](const char* clock) {
            panel().move(25, 25);
            w_->window.clock()->setCaption(QString::fromLatin1(clock));
            w_->window.rankGame();
            QVERIFY(panel().isVisible() && panel().pos() == QPoint(0, 0));
        };
        w_->dialogs.textAnswers = {QStringLiteral("Šárka")};
        finish("1000000");  // no file: every row an empty place
        QCOMPARE(duringBox, table({"1000000"}));
        QCOMPARE(boxes().at(0).text, QStringLiteral("Gratuluji vám k umístění! Zadejte vaše jméno:"));
        QCOMPARE(listOf(tavlin::scorefile::load(w_->path)), table({"1000000", "Šárka"}));

        writeBytes(w_->path, tavlin::scorefile::encode(tavlin::scorefile::defaultLines()));
        finish("191");
        QVERIFY(boxes().size() == 1 && untouched(w_->path));
        QCOMPARE(shown(), Defaults);
        w_->dialogs.textAnswers = {QStringLiteral("Šárka")};
        finish("150");
        QCOMPARE(duringBox, ranked(Defaults, 5, "150", Defaults[tavlin::scorefile::nameLine(5)]));
        finish("150");
        const QStringList both = ranked(ranked(Defaults, 5, "150", "Šárka"), 5, "150", "");
        QCOMPARE(shown(), both);
        QCOMPARE(listOf(tavlin::scorefile::load(w_->path)), both);
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
};

QTEST_MAIN(TestBestOfPanel)
#include "test_bestofpanel.moc"
