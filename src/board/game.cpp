// SPDX-License-Identifier: 0BSD
// The game's event logic: clicks, the shuffle, new games, the clock's ticks and the end of a game.
#include "board/game.h"

#include "board/boxlines.h"

#include <QScopedValueRollback>

#include <charconv>
#include <cmath>

namespace tavlin {

Game::Game(GameView& view, DirectionSource& directions)
    : view_(view), directions_(directions)
{
}

QString Game::moveText(std::int32_t count)
{
    return QStringLiteral("Počet tahů: ") + QString::number(count);
}

QString Game::nextTick(const QString& time)
{
    // The caption holds only what the clock wrote, so it always converts.
    const double seconds = time.toDouble() + 1;
    // Shortest text that reads back as the same number, never with an
    // exponent: whole seconds come out as plain digits.
    // Room for any double in fixed notation: the largest has 309 digits
    // before the point, the smallest 324 places after it.
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, seconds,
                                      std::chars_format::fixed);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

void Game::showTile(int tile)
{
    view_.placeTile(tile, board_.place(tile), board_.cellWidth(), board_.cellHeight());
}

void Game::load(float innerWidth, float innerHeight, float stripHeight)
{
    board_.layOut(innerWidth, innerHeight, stripHeight);
    // The first shuffle runs before the window is shown, and nothing shows
    // its moves: the tiles are placed once, where it leaves them, instead of
    // 418 times.
    const QScopedValueRollback<bool> unseen(shuffleUnseen_, true);
    shuffle();
}

void Game::slide(std::int16_t row, std::int16_t column)
{
    const int moved = board_.tileAt(row, column);
    board_.slide(row, column);
    // Only the unseen shuffle's own moves wait for its end to be placed.
    if (shuffleUnseen_ && shuffling_)
        return;
    showTile(moved);
    showTile(Board::Blank);
}

void Game::tileClicked(std::int16_t index)
{
    // The time runs from the first click of a game, moving or not.
    view_.setClockRunning(true);

    if (const auto cell = board_.neighbourWithCaption(board_.caption(index))) {
        const int tile = board_.tileAt(cell->r, cell->s);
        slide(cell->r, cell->s);
        ++moves_;
        view_.setMoveText(moveText(moves_));
        view_.tileSlid(tile);
    }

    if (board_.isSolved()) {
        view_.setClockRunning(false);
        const QString moves = view_.moveText();
        const QString time = view_.timeText();
        view_.showResult(joinLines({QStringLiteral("Skládanka je složena. "), moves,
                                    QStringLiteral("Váš čas: ") + time}));
        view_.rankFinishedGame();
        view_.setTimeText(QStringLiteral("0"));
    }

    view_.focusStrip();
}

void Game::shuffle()
{
    // A shuffle asked for while one runs (F1 held down or queued thousands
    // of times, each arriving in the running shuffle's yield) does not run
    // inside it: the running one starts its moves afresh instead. So the
    // board goes on being mixed, and however many requests queue up, they
    // nest no deeper than one shuffle.
    if (shuffling_) {
        restartShuffle_ = true;
        return;
    }
    const QScopedValueRollback<bool> running(shuffling_, true);

    restartShuffle_ = true;
    std::int16_t accepted = 0;
    while (accepted < ShuffleMoves) {
        if (restartShuffle_) {
            restartShuffle_ = false;
            directions_.seedFromClock();
            accepted = 0;
        }
        // A click, a tick or a menu command may run here; each finds a whole
        // board. Closing the window stops the shuffle before its next move.
        if (!view_.yieldToEvents())
            return;
        if (restartShuffle_)
            continue;
        const auto d = static_cast<std::int16_t>(std::floor(directions_.next() * 4));
        // The free cell is read afresh: a nested click may have moved it.
        const Cell c = Board::step(board_.freeCell(), d);
        if (!Board::onBoard(c))
            continue;
        slide(c.r, c.s);
        ++accepted;
    }
    if (shuffleUnseen_)
        for (int tile = 1; tile <= Board::Blank; ++tile)
            showTile(tile);
    moves_ = 0;
    view_.setMoveText(moveText(moves_));
    view_.newGameDealt();
}

void Game::newGame()
{
    shuffle();
    view_.setTimeText(QStringLiteral("0"));
    view_.setClockRunning(false);
}

void Game::clockTick()
{
    view_.setTimeText(nextTick(view_.timeText()));
}

}  // namespace tavlin
