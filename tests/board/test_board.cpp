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
    void placeTile(int tile, TilePlace, float, float) override { onPlace(tile); }
    QString moveText() const override { return label1; }
    void setMoveText(const QString& text) override { label1 = text; }
    QString timeText() const override { return QStringLiteral("0"); }
    void setTimeText(const QString&) override {}
    void setClockRunning(bool) override {}
    void focusStrip() override {}
    void showResult(const QString&) override {}
    void rankFinishedGame() override {}
    bool yieldToEvents() override { ++yields; onYield(); return true; }

    int yields = 0;
    QString label1;
    std::function<void()> onYield = [] {};
    std::function<void(int tile)> onPlace = [](int) {};
};

}  // namespace

class TestBoard : public QObject {
    Q_OBJECT
private slots:
    // 201 accepted moves whatever the draws; a new game asked for during the
    // shuffle starts them afresh.
    void shuffleMakes201AcceptedMoves()
    {
        RecordingView view;
        ScriptedDirections directions({0, 2, 1, 0});  // from (4, 4) below and right are dropped
        Game game(view, directions);
        game.load(3360, 4095, 306);
        QCOMPARE(directions.draws, std::size_t{403});  // 100 × 4 + 3
        QCOMPARE(view.yields, 403);                    // one yield before every draw
        int moves = 0;
        view.onPlace = [&](int tile) { moves += tile == Board::Blank; };
        view.onYield = [&] {
            if (view.yields == 403 + 50) {
                moves = 0;
                game.miRozhazej_Click();
            }
        };
        game.miRozhazej_Click();
        QCOMPARE(moves, 201);
    }

    // Clicks run in the shuffle's yields; the shuffle must follow the free
    // cell they leave, never swapping cells that are not neighbours.
    void clicksDuringTheShuffleFindAWholeBoard()
    {
        RecordingView view;
        ScriptedDirections directions({1, 0});
        Game game(view, directions);
        game.load(3360, 4095, 306);
        Cell last = game.board().freeCell();
        int moves = 0;
        view.onPlace = [&](int tile) {
            if (tile != Board::Blank)
                return;
            const Cell now = game.board().freeCell();
            QCOMPARE(std::abs(now.r - last.r) + std::abs(now.s - last.s), 1);
            last = now;
            ++moves;
        };
        view.onYield = [&] {
            const Cell free = game.board().freeCell();
            if (view.yields % 7 == 0)
                game.Kosticka_Click(static_cast<std::int16_t>(game.board().tileAt(free.r < 4 ? free.r + 1 : free.r - 1, free.s)));
        };
        game.miRozhazej_Click();
        QVERIFY(moves > 201 + 20);
        // Every tile once, each at its cell's place, the blank in the free cell.
        const Board& board = game.board();
        QSet<int> tiles;
        for (int r = 1; r <= 4; ++r)
            for (int s = 1; s <= 4; ++s) {
                tiles.insert(board.tileAt(r, s));
                QCOMPARE(board.place(board.tileAt(r, s)), (TilePlace{board.cellLeft(s), board.cellTop(r)}));
            }
        QCOMPARE(tiles.size(), 16);
        QCOMPARE(board.tileAt(board.freeCell().r, board.freeCell().s), Board::Blank);
        QCOMPARE(view.label1, QStringLiteral("Počet tahů: 0"));
    }
};

QTEST_APPLESS_MAIN(TestBoard)
#include "test_board.moc"
