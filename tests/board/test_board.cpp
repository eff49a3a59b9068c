// The board and the game's event logic without widgets, through a view that
// records what the window would show.

#include "board/game.h"
#include "scripteddirections.h"

#include <QTest>

#include <functional>

using namespace tavlin;
using tavlin::testing::ScriptedDirections;

namespace {

Cell cell(int r, int s)
{
    return {static_cast<std::int16_t>(r), static_cast<std::int16_t>(s)};
}

// Every tile stands at its cell's exact position, each tile is in the table
// once, and the blank is in the free cell.
void checkInvariants(const Board& board)
{
    QSet<int> seen;
    for (int r = 1; r <= 4; ++r)
        for (int s = 1; s <= 4; ++s) {
            seen.insert(board.tileAt(r, s));
            QCOMPARE(board.place(board.tileAt(r, s)), (TilePlace{board.cellLeft(s), board.cellTop(r)}));
        }
    QCOMPARE(seen.size(), 16);
    QCOMPARE(board.tileAt(board.freeCell().r, board.freeCell().s), Board::Blank);
}

class RecordingView final : public GameView {
public:
    void placeTile(int, TilePlace, float, float) override { ++placements; }
    QString moveText() const override { return label1; }
    void setMoveText(const QString& text) override { label1 = text; }
    QString timeText() const override { return label2; }
    void setTimeText(const QString& text) override { label2 = text; }
    void setClockRunning(bool running) override { clock = running; }
    void focusStrip() override { ++focusMoves; }
    void showResult(const QString& text) override { results << text; }
    void rankFinishedGame() override {}
    bool yieldToEvents() override
    {
        ++yields;
        if (onYield)
            onYield();
        return !closing;
    }

    int placements = 0, focusMoves = 0, yields = 0;
    QString label1, label2 = QStringLiteral("0");
    bool clock = false, closing = false;
    QStringList results;
    std::function<void()> onYield;
};

// A game whose shuffle moves the free cell up and down in turn: 201 moves
// leave it at (3, 4), tile 12 below it, one move from the solved board.
struct Play {
    RecordingView view;
    ScriptedDirections directions;
    Game game{view, directions};
    explicit Play(std::vector<int> cycle = {1, 0}) : directions(std::move(cycle))
    {
        game.load(3360, 4095, 306);
    }
    void click(int tile) { game.Kosticka_Click(static_cast<std::int16_t>(tile)); }
    int at(int r, int s) const { return game.board().tileAt(r, s); }
};

}  // namespace

class TestBoard : public QObject {
    Q_OBJECT
private slots:
    void layoutOfTheDesignWindow()
    {
        Board board;
        board.layOut(3360, 4095, 306);
        for (int r = 1; r <= 4; ++r)
            for (int s = 1; s <= 4; ++s)
                QCOMPARE(board.caption(board.tileAt(r, s)), QString::number(s + (r - 1) * 4));
        QCOMPARE(board.freeCell(), cell(4, 4));
        QVERIFY(board.isSolved());
        QCOMPARE(board.cellWidth(), 840.0f);
        QCOMPARE(board.cellHeight(), 947.25f);
        QCOMPARE(board.cellLeft(4), 2520.0f);
        QCOMPARE(board.cellTop(2), 1253.25f);
        QCOMPARE(board.cellTop(4) + board.cellHeight(), 4095.0f);  // the board closes exactly
        checkInvariants(board);
    }

    void presunKeepsTheBoardWholeAndUndoesItself()
    {
        Board board;
        board.layOut(3360, 4095, 306);
        board.Presun(4, 4);  // the free cell itself: nothing changes
        QVERIFY(board.isSolved());
        // Walk the free cell around the whole board twice.
        const Cell walk[] = {cell(3, 4), cell(2, 4), cell(1, 4), cell(1, 3), cell(2, 3), cell(2, 2),
                             cell(1, 2), cell(1, 1), cell(2, 1), cell(3, 1), cell(4, 1), cell(4, 2),
                             cell(3, 2), cell(3, 3), cell(4, 3), cell(4, 4)};
        for (int round = 0; round < 2; ++round)
            for (const Cell& c : walk) {
                const Board before = board;
                const Cell free = board.freeCell();
                board.Presun(c.r, c.s);
                checkInvariants(board);
                QCOMPARE(board.place(board.tileAt(free.r, free.s)), before.place(Board::Blank));
                Board back = board;
                back.Presun(free.r, free.s);  // straight back: exactly the board before
                for (int n = 1; n <= 16; ++n)
                    QCOMPARE(back.place(n), before.place(n));
            }
        QVERIFY(!board.isSolved());  // the walk turned the tiles round
    }

    void solvedCheckIncludesTheBlank()
    {
        Board board;
        board.layOut(3360, 4095, 306);
        board.Presun(4, 3);  // everything in order but 15 and the blank
        QVERIFY(!board.isSolved());
    }

    void clickMovesOnlyANeighbourOnceAndCountsIt()
    {
        Play p({3, 2});  // left and right: 201 moves leave the free cell at (4, 3)
        QCOMPARE(p.view.label1, QStringLiteral("Počet tahů: 0"));
        QVERIFY(!p.view.clock);
        const Board start = p.game.board();
        for (int far : {1, 6, 9, 16}) {  // far, diagonal, the blank
            p.click(far);
            QCOMPARE(p.view.label1, QStringLiteral("Počet tahů: 0"));
        }
        QVERIFY(p.view.clock);  // a click starts the clock, moving or not
        for (int n = 1; n <= 16; ++n)
            QCOMPARE(p.game.board().place(n), start.place(n));

        // Above the free cell: it slides down once and does not come back up.
        const int above = p.at(3, 3);
        p.click(above);
        QCOMPARE(p.at(4, 3), above);
        QCOMPARE(p.view.label1, QStringLiteral("Počet tahů: 1"));
        // Right of it: slides left once.
        const int right = p.at(3, 4);
        p.click(right);
        QCOMPARE(p.at(3, 3), right);
        QCOMPARE(p.game.PocetTahu(), 2);
        QCOMPARE(p.view.label1, QStringLiteral("Počet tahů: 2"));
        QCOMPARE(p.view.focusMoves, 6);  // every click hands the focus to the strip
        QVERIFY(p.view.results.isEmpty());
    }

    void shuffleMakes201MovesWhateverTheDraws()
    {
        // From (4, 4) below and right are dropped; above and below accepted.
        Play p({0, 2, 1, 0});
        QCOMPARE(p.directions.seeds, 1);
        QCOMPARE(p.directions.draws, std::size_t{403});  // 100 × 4 + 3
        QCOMPARE(p.view.yields, 403);                    // one yield before every draw
        QCOMPARE(p.view.placements, 16 + 2 * 201);
        p.view.placements = 0;
        p.click(1);
        p.game.Timer1_Timer();
        p.game.miRozhazej_Click();  // a new game seeds again and resets count, time and clock
        QCOMPARE(p.directions.seeds, 2);
        QCOMPARE(p.view.placements, 2 * 201);
        QCOMPARE(p.view.label1, QStringLiteral("Počet tahů: 0"));
        QCOMPARE(p.view.label2, QStringLiteral("0"));
        QVERIFY(!p.view.clock);
    }

    void clockShuffleFromSolvedNeverEndsSolved()
    {
        RecordingView view;
        ClockSeededRandom random;
        Game game(view, random);
        std::array<int, 4> directions{};
        for (int i = 0; i < 300; ++i) {
            game.load(3360, 4095, 306);
            QVERIFY(!game.board().isSolved());
            QCOMPARE((game.board().freeCell().r + game.board().freeCell().s) % 2, 1);  // 201 is odd
            ++directions[static_cast<std::size_t>(random.next() * 4)];
        }
        for (int count : directions)  // all four directions come up
            QVERIFY(count > 30);
    }

    void eventsDuringTheShuffleFindAWholeBoard()
    {
        Play p;
        int clicks = 0;
        p.view.onYield = [&] {
            if (p.view.yields % 7 != 0)
                return;
            const Cell free = p.game.board().freeCell();
            p.click(p.at(free.r < 4 ? free.r + 1 : free.r - 1, free.s));
            p.game.Timer1_Timer();
            ++clicks;
            checkInvariants(p.game.board());
        };
        p.game.miRozhazej_Click();
        QVERIFY(clicks > 20);
        QCOMPARE(p.view.label1, QStringLiteral("Počet tahů: 0"));
        QCOMPARE(p.view.label2, QStringLiteral("0"));
        QVERIFY(!p.view.clock);

        // Closing the window stops the shuffle before its next move.
        p.view.onYield = [&] { p.view.closing = p.view.yields > 4; };
        p.view.yields = p.view.placements = 0;
        p.game.miRozhazej_Click();
        QCOMPARE(p.view.placements, 2 * 4);
    }

};

QTEST_APPLESS_MAIN(TestBoard)
#include "test_board.moc"
