// The game's rules without widgets, through a view that records what the
// window would show.

#include "board/game.h"
#include "scripteddirections.h"

#include <QTest>

#include <functional>

using namespace tavlin;
using tavlin::testing::ScriptedDirections;

namespace {

class RecordingView final : public GameView {
public:
    void placeTile(int tile, TilePlace, float, float) override
    {
        if (onPlace)
            onPlace(tile);
    }
    QString moveText() const override { return label1; }
    void setMoveText(const QString& text) override { label1 = text; }
    QString timeText() const override { return label2; }
    void setTimeText(const QString& text) override { label2 = text; }
    void setClockRunning(bool running) override { clock = running; }
    void focusStrip() override {}
    void showResult(const QString& text) override { results << text; }
    void rankFinishedGame() override {}
    bool yieldToEvents() override
    {
        ++yields;
        if (onYield)
            onYield();
        return true;
    }

    int yields = 0;
    QString label1, label2 = QStringLiteral("0");
    bool clock = false;
    QStringList results;
    std::function<void()> onYield;
    std::function<void(int tile)> onPlace;
};

struct Play {
    RecordingView view;
    ScriptedDirections directions;
    Game game{view, directions};
    explicit Play(std::vector<int> cycle) : directions(std::move(cycle)) { game.load(3360, 4095, 306); }
    void click(int tile) { game.Kosticka_Click(static_cast<std::int16_t>(tile)); }
    int at(int r, int s) const { return game.board().tileAt(r, s); }
};

// Every tile in the table once, the blank in the free cell, every tile at
// its cell's place.
void checkWhole(const Board& board)
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

}  // namespace

class TestBoard : public QObject {
    Q_OBJECT
private slots:
    void clickMovesOnlyANeighbourOnceAndCountsIt()
    {
        Play p({3, 2});  // left and right: 201 moves leave 15 and the blank swapped
        QCOMPARE(p.view.label1, QStringLiteral("Počet tahů: 0"));
        QVERIFY(!p.view.clock);
        for (int far : {1, 6, 9, 16}) {  // far, diagonal, the blank
            p.click(far);
            QCOMPARE(p.view.label1, QStringLiteral("Počet tahů: 0"));
        }
        QVERIFY(p.view.clock);  // a click starts the clock, moving or not

        // Above the free cell (4, 3): it slides down once and does not come back.
        p.click(11);
        QCOMPARE(p.at(4, 3), 11);
        QCOMPARE(p.view.label1, QStringLiteral("Počet tahů: 1"));
        p.click(12);  // right of the free cell (3, 3): slides left
        QCOMPARE(p.at(3, 3), 12);
        QCOMPARE(p.view.label1, QStringLiteral("Počet tahů: 2"));
        checkWhole(p.game.board());
        // The far clicks found rows 1 to 3 in order: not a solved board.
        QVERIFY(p.view.results.isEmpty());
    }

    void shuffleMakes201AcceptedMoves()
    {
        Play p({0, 2, 1, 0});  // from (4, 4) below and right are dropped
        QCOMPARE(p.directions.draws, std::size_t{403});  // 100 × 4 + 3
        QCOMPARE(p.view.yields, 403);                    // one yield before every draw
        QCOMPARE(p.game.board().freeCell(), (Cell{3, 4}));
    }

    void clockSeededShufflesDifferAndUseAllFourDirections()
    {
        auto dealt = [] {
            RecordingView view;
            ClockSeededRandom random;
            Game game(view, random);
            game.load(3360, 4095, 306);
            return game.board();
        };
        // Two programs started in the same second deal different boards.
        const Board a = dealt(), b = dealt();
        bool same = true;
        for (int n = 1; n <= 16; ++n)
            same = same && a.place(n) == b.place(n);
        QVERIFY(!same);
        QVERIFY(!a.isSolved());
        QCOMPARE((a.freeCell().r + a.freeCell().s) % 2, 1);  // 201 moves: an odd number

        ClockSeededRandom random;
        random.seedFromClock();
        std::array<int, 4> counts{};
        for (int i = 0; i < 4000; ++i) {
            const double u = random.next();
            QVERIFY(u >= 0 && u < 1);
            ++counts[static_cast<std::size_t>(u * 4)];
        }
        for (int count : counts)
            QVERIFY2(count > 850 && count < 1150, qPrintable(QString::number(count)));
    }

    // Clicks run in the shuffle's yields; the shuffle must follow
    // the free cell they leave, never swapping cells that are not neighbours.
    void eventsDuringTheShuffleFindAWholeBoard()
    {
        Play p({1, 0});
        Cell last = p.game.board().freeCell();
        int moves = 0;
        p.view.onPlace = [&](int tile) {
            if (tile != Board::Blank)
                return;
            const Cell now = p.game.board().freeCell();
            QCOMPARE(std::abs(now.r - last.r) + std::abs(now.s - last.s), 1);
            last = now;
            ++moves;
        };
        p.view.onYield = [&] {
            if (p.view.yields % 7 != 0)
                return;
            const Cell free = p.game.board().freeCell();
            p.click(p.at(free.r < 4 ? free.r + 1 : free.r - 1, free.s));
        };
        p.game.miRozhazej_Click();
        QVERIFY(moves > 201 + 20);
        checkWhole(p.game.board());
        QCOMPARE(p.view.label1, QStringLiteral("Počet tahů: 0"));
    }
};

QTEST_APPLESS_MAIN(TestBoard)
#include "test_board.moc"
