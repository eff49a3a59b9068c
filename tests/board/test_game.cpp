// SPDX-License-Identifier: 0BSD
// The game's rules without widgets: the shuffle and its draws, through a view
// that follows what the window would show.

#include "board/game.h"
#include "fixtures/scripteddirections.h"

#include <QTest>

#include <functional>

using namespace tavlin;
using tavlin::testing::ScriptedDirections;

namespace {

class RecordingView final : public GameView {
public:
    void placeTile(int tile, TilePlace, float, float) override { onPlace(tile); }
    QString moveText() const override { return {}; }
    void setMoveText(const QString&) override {}
    QString timeText() const override { return QStringLiteral("0"); }
    void setTimeText(const QString&) override {}
    void setClockRunning(bool) override {}
    void focusStrip() override {}
    void tileSlid(int) override {}
    void newGameDealt() override {}
    void showResult(const QString&) override {}
    void rankFinishedGame() override {}
    bool yieldToEvents() override { onYield(); return true; }

    std::function<void()> onYield = [] {};
    std::function<void(int tile)> onPlace = [](int) {};
};

}  // namespace

class TestGame : public QObject {
    Q_OBJECT
private slots:
    // 201 accepted moves whatever the draws, each to a neighbouring cell, while
    // clicks run in the shuffle's yields and move the free cell under it; a
    // new game asked for during the shuffle starts its moves afresh.
    void shuffleMakes201AcceptedMovesAroundClicks()
    {
        RecordingView view;
        ScriptedDirections directions({0, 2, 1, 0});  // never left: the right edge refuses moves
        Game game(view, directions);
        game.load(3360, 4095, 306);
        Cell last = game.board().freeCell();
        int moves = 0, yields = 0;
        bool clicking = false;
        view.onPlace = [&](int tile) {
            if (tile != Board::Blank)
                return;
            const Cell now = game.board().freeCell();
            QCOMPARE(std::abs(now.r - last.r) + std::abs(now.s - last.s), 1);
            last = now;
            moves += !clicking;
        };
        view.onYield = [&] {
            if (++yields == 50) {
                moves = 0;
                game.newGame();
            } else if (yields % 7 == 0) {
                const Cell free = game.board().freeCell();
                clicking = true;
                game.tileClicked(static_cast<std::int16_t>(game.board().tileAt(free.r < 4 ? free.r + 1 : free.r - 1, free.s)));
                clicking = false;
            }
        };
        game.newGame();
        QCOMPARE(moves, 201);
    }

    // The clock counts whole seconds in plain digits, however long a game.
    void clockTicks()
    {
        for (auto [from, to] : {std::pair{"0", "1"}, {"59", "60"}, {"99", "100"}, {"999999", "1000000"}})
            QCOMPARE(Game::nextTick(QString::fromLatin1(from)), QString::fromLatin1(to));
    }

    // Two programs started in the same second deal different boards; the
    // draws stay below 1, so that ⌊4u⌋ is always one of the four directions.
    void eachStartDealsItsOwnBoard()
    {
        RecordingView view;
        ClockSeededRandom firstDraws, secondDraws;
        Game first(view, firstDraws), second(view, secondDraws);
        first.load(3360, 4095, 306);
        second.load(3360, 4095, 306);
        bool same = true;
        for (int tile = 1; tile <= Board::Blank; ++tile)
            same = same && first.board().cellOf(tile) == second.board().cellOf(tile);
        QVERIFY(!same);
        for (int i = 0; i < 1000; ++i)
            QVERIFY(firstDraws.next() < 1);
    }
};

QTEST_APPLESS_MAIN(TestGame)
#include "test_game.moc"
