// The game's event logic through a recording view: tile clicks, the move
// count, the solved game, the shuffle and the clock.

#include "board/game.h"
#include "scripteddirections.h"

#include <QTest>

#include <deque>
#include <functional>

using tavlin::Board;
using tavlin::DirectionSource;
using tavlin::Game;
using tavlin::GameView;
using tavlin::TilePlace;
using tavlin::testing::ScriptedDirections;

namespace {

class RecordingView final : public GameView {
public:
    void placeTile(int tile, TilePlace place, float, float) override
    {
        places[tile] = place;
        ++placements;
    }
    QString moveText() const override { return label1; }
    void setMoveText(const QString& text) override { label1 = text; }
    QString timeText() const override { return label2; }
    void setTimeText(const QString& text) override { label2 = text; }
    void setClockRunning(bool running) override { clock = running; }
    void focusStrip() override { ++focusMoves; }
    void showResult(const QString& text) override
    {
        results << text;
        clockDuringResult = clock;
    }
    void rankFinishedGame() override { timesRanked << label2; }
    bool yieldToEvents() override
    {
        ++yields;
        if (onYield)
            onYield();
        return !closing;
    }

    std::array<TilePlace, 17> places{};
    int placements = 0;
    QString label1 = QStringLiteral("Label1");
    QString label2 = QStringLiteral("0");
    bool clock = false;
    bool clockDuringResult = true;
    int focusMoves = 0;
    QStringList results;
    QStringList timesRanked;
    int yields = 0;
    bool closing = false;
    std::function<void()> onYield;
};

// Up and down in turn: 201 moves leave the free cell at (3, 4), one move
// from the solved board.
struct NearlySolved {
    RecordingView view;
    ScriptedDirections directions{{1, 0}};
    Game game{view, directions};
    NearlySolved() { game.load(3360, 4095, 306); }
};

}  // namespace

class TestGame : public QObject {
    Q_OBJECT
private slots:
    void loadShowsEveryTileAndShuffles()
    {
        NearlySolved g;
        QCOMPARE(g.game.board().freeCell().r, 3);
        QCOMPARE(g.game.board().freeCell().s, 4);
        QCOMPARE(g.view.label1, QStringLiteral("Počet tahů: 0"));
        QCOMPARE(g.view.label2, QStringLiteral("0"));  // the load leaves the clock alone
        QVERIFY(!g.view.clock);
        for (int n = 1; n <= 16; ++n)
            QCOMPARE(g.view.places[n], g.game.board().place(n));
    }

    void clickOnAFarTileMovesNothingButStartsTheClock()
    {
        NearlySolved g;
        const Board before = g.game.board();
        for (int tile : {1, 6, 7, 16}) {  // far, far, diagonal, the blank itself
            g.game.Kosticka_Click(static_cast<std::int16_t>(tile));
            QVERIFY(g.view.clock);
            QCOMPARE(g.game.PocetTahu(), 0);
            QCOMPARE(g.view.label1, QStringLiteral("Počet tahů: 0"));
            for (int n = 1; n <= 16; ++n)
                QCOMPARE(g.game.board().place(n), before.place(n));
        }
        QVERIFY(g.view.results.isEmpty());
        QCOMPARE(g.view.focusMoves, 4);  // every click hands the focus to the strip
    }

    void oneClickMovesOneTileOnceAndCountsIt()
    {
        RecordingView view;
        ScriptedDirections directions{{3, 2}};  // left and right: free ends at (4, 3)
        Game game(view, directions);
        game.load(3360, 4095, 306);
        QCOMPARE(game.board().tileAt(4, 4), 15);

        // The tile above the free cell slides down; searched below, above,
        // right, left, it must not come straight back up.
        const int above = game.board().tileAt(3, 3);
        game.Kosticka_Click(static_cast<std::int16_t>(above));
        QCOMPARE(game.board().tileAt(4, 3), above);
        QCOMPARE(game.board().freeCell().r, 3);
        QCOMPARE(game.PocetTahu(), 1);
        QCOMPARE(view.label1, QStringLiteral("Počet tahů: 1"));

        // The tile to the right of the free cell slides left, once.
        const int right = game.board().tileAt(3, 4);
        game.Kosticka_Click(static_cast<std::int16_t>(right));
        QCOMPARE(game.board().tileAt(3, 3), right);
        QCOMPARE(game.board().freeCell().s, 4);
        QCOMPARE(view.label1, QStringLiteral("Počet tahů: 2"));

        for (int i = 3; i <= 17; ++i) {
            const auto free = game.board().freeCell();
            const int s = free.s > 1 ? free.s - 1 : free.s + 1;
            game.Kosticka_Click(static_cast<std::int16_t>(game.board().tileAt(free.r, s)));
            QCOMPARE(view.label1, QStringLiteral("Počet tahů: %1").arg(i));
        }
    }

    void solvingTheBoardReportsMovesAndTimeThenRanks()
    {
        NearlySolved g;
        g.game.Kosticka_Click(1);  // starts the clock, moves nothing
        for (int i = 0; i < 124; ++i)
            g.game.Timer1_Timer();
        g.game.Kosticka_Click(12);  // the solving move is counted before the message

        QCOMPARE(g.view.results, QStringList{QStringLiteral("Skládanka je složena. \rPočet tahů: 1\rVáš čas: 124")});
        QVERIFY(!g.view.clockDuringResult);
        QCOMPARE(g.view.timesRanked, QStringList{QStringLiteral("124")});
        QCOMPARE(g.view.label2, QStringLiteral("0"));
        QCOMPARE(g.view.label1, QStringLiteral("Počet tahů: 1"));
        QVERIFY(!g.view.clock);
        QVERIFY(g.game.board().isSolved());
    }

    void clickOnASolvedBoardRepeatsTheResultWithTimeZero()
    {
        NearlySolved g;
        g.game.Kosticka_Click(12);
        g.game.Kosticka_Click(1);  // cannot move: the board stays solved
        QCOMPARE(g.view.results.size(), 2);
        QCOMPARE(g.view.results[1], QStringLiteral("Skládanka je složena. \rPočet tahů: 1\rVáš čas: 0"));
        QCOMPARE(g.view.timesRanked, (QStringList{QStringLiteral("0"), QStringLiteral("0")}));

        // Play goes on from the finished count, the clock from 0.
        g.game.Kosticka_Click(15);
        QVERIFY(g.view.clock);
        QCOMPARE(g.view.label1, QStringLiteral("Počet tahů: 2"));
        QCOMPARE(g.view.results.size(), 2);
    }

    void shuffleMakesExactly201AcceptedMovesWhateverTheDraws()
    {
        // From (4, 4): below and right are dropped, above and below accepted.
        RecordingView view;
        ScriptedDirections directions{{0, 2, 1, 0}};
        Game game(view, directions);
        game.load(3360, 4095, 306);
        QCOMPARE(directions.seeds, 1);
        QCOMPARE(directions.draws, std::size_t{403});  // 100 × 4 + 3
        QCOMPARE(view.yields, 403);                    // one yield before every draw
        QCOMPARE(view.placements, 16 + 2 * 201);       // two labels move per move
        QCOMPARE(game.board().freeCell().r, 3);

        // A new game seeds again and deals 201 more.
        view.placements = 0;
        game.miRozhazej_Click();
        QCOMPARE(directions.seeds, 2);
        QCOMPARE(view.placements, 2 * 201);
    }

    void shuffleFromTheSolvedBoardNeverEndsSolved()
    {
        RecordingView view;
        tavlin::ClockSeededRandom random;
        Game game(view, random);
        for (int i = 0; i < 300; ++i) {
            game.load(3360, 4095, 306);
            QVERIFY(!game.board().isSolved());
            // 201 moves from (4, 4) change the parity of row + column.
            const auto free = game.board().freeCell();
            QCOMPARE((free.r + free.s) % 2, 1);
        }
    }

    void clockDirectionsAreAllDrawnEvenly()
    {
        tavlin::ClockSeededRandom random;
        random.seedFromClock();
        std::array<int, 4> counts{};
        for (int i = 0; i < 40000; ++i) {
            const double u = random.next();
            QVERIFY(u >= 0 && u < 1);
            ++counts[static_cast<std::size_t>(u * 4)];
        }
        for (int c : counts)
            QVERIFY2(c > 9400 && c < 10600, qPrintable(QString::number(c)));
    }

    void newGameResetsCountTimeAndClock()
    {
        NearlySolved g;
        g.game.Kosticka_Click(11);  // moves 11 left... or nothing; either way the clock runs
        g.game.Kosticka_Click(12);
        g.game.Timer1_Timer();
        g.game.miRozhazej_Click();
        QCOMPARE(g.view.label1, QStringLiteral("Počet tahů: 0"));
        QCOMPARE(g.game.PocetTahu(), 0);
        QCOMPARE(g.view.label2, QStringLiteral("0"));
        QVERIFY(!g.view.clock);
    }

    void eventsDuringTheShuffleFindAWholeBoard()
    {
        NearlySolved g;
        int clicks = 0;
        g.view.onYield = [&] {
            // Every few passes a click on the tile below or above the free cell,
            // and a clock tick.
            if (g.view.yields % 7 != 0)
                return;
            const auto free = g.game.board().freeCell();
            const int r = free.r < 4 ? free.r + 1 : free.r - 1;
            g.game.Kosticka_Click(static_cast<std::int16_t>(g.game.board().tileAt(r, free.s)));
            g.game.Timer1_Timer();
            ++clicks;
            for (int n = 1; n <= 16; ++n)
                QCOMPARE(g.view.places[n], g.game.board().place(n));
        };
        g.game.miRozhazej_Click();
        QVERIFY(clicks > 20);
        QCOMPARE(g.game.PocetTahu(), 0);
        QCOMPARE(g.view.label1, QStringLiteral("Počet tahů: 0"));
        QCOMPARE(g.view.label2, QStringLiteral("0"));
        QVERIFY(!g.view.clock);
    }

    void closingTheWindowStopsTheShuffleBeforeItsNextMove()
    {
        NearlySolved g;
        int yieldsLeft = 5;
        g.view.onYield = [&] {
            if (--yieldsLeft == 0)
                g.view.closing = true;
        };
        g.view.placements = 0;
        g.game.miRozhazej_Click();
        QCOMPARE(g.view.placements, 2 * 4);  // four moves, then nothing more
    }

    void clockCountsWholeSecondsAsPlainDigits()
    {
        QCOMPARE(Game::nextTick(QStringLiteral("0")), QStringLiteral("1"));
        QCOMPARE(Game::nextTick(QStringLiteral("9")), QStringLiteral("10"));
        QCOMPARE(Game::nextTick(QStringLiteral("59")), QStringLiteral("60"));
        QCOMPARE(Game::nextTick(QStringLiteral("99")), QStringLiteral("100"));
        QCOMPARE(Game::nextTick(QStringLiteral("999999")), QStringLiteral("1000000"));
        QCOMPARE(Game::nextTick(QStringLiteral("2147483647")), QStringLiteral("2147483648"));

        RecordingView view;
        ScriptedDirections directions{{1, 0}};
        Game game(view, directions);
        game.load(3360, 4095, 306);
        for (int i = 1; i <= 3600; ++i)
            game.Timer1_Timer();
        QCOMPARE(view.label2, QStringLiteral("3600"));
    }
};

QTEST_APPLESS_MAIN(TestGame)
#include "test_game.moc"
