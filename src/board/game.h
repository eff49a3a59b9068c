// SPDX-License-Identifier: 0BSD
#pragma once
// The game's event logic: tile clicks, the shuffle, the new-game command and
// the clock tick. It owns the board and the move counter and reaches the
// window only through GameView, so it runs without any widget.

#include "board/board.h"
#include "board/random.h"

#include <QString>

#include <cstdint>

namespace tavlin {

// What the game needs of its window. The time exists only as the caption of
// the time label: the game reads and writes it here and keeps no copy.
class GameView {
public:
    virtual ~GameView() = default;
    // Tile `tile` now stands at `place` (twips) and is `width` × `height`.
    virtual void placeTile(int tile, TilePlace place, float width, float height) = 0;
    virtual QString moveText() const = 0;
    virtual void setMoveText(const QString& text) = 0;
    virtual QString timeText() const = 0;
    virtual void setTimeText(const QString& text) = 0;
    virtual void setClockRunning(bool running) = 0;
    virtual void focusStrip() = 0;
    // The player's click slid `tile` into the free cell (the shuffle's
    // moves are not the player's and are not told).
    virtual void tileSlid(int tile) = 0;
    // A shuffle has ended: a new game stands ready.
    virtual void newGameDealt() = 0;
    // The modal "Konec hry" box; returns when the player has closed it.
    virtual void showResult(const QString& text) = 0;
    // Places the finished game in the best-of table while the time label
    // still shows its time.
    virtual void rankFinishedGame() = 0;
    // Lets pending events run once. False when the window is closing and
    // the shuffle must make no further move.
    virtual bool yieldToEvents() = 0;
};

class Game {
public:
    static constexpr int ShuffleMoves = 201;

    Game(GameView& view, DirectionSource& directions);

    // Lays out the solved board (twips of the client area and the strip),
    // shuffles it, then shows every tile at its cell.
    void load(float innerWidth, float innerHeight, float stripHeight);

    void tileClicked(std::int16_t index);
    void shuffle();
    void newGame();
    void clockTick();

    const Board& board() const { return board_; }

    // The text of the move label for a count.
    static QString moveText(std::int32_t count);
    // The caption the clock shows one tick after `time`.
    static QString nextTick(const QString& time);

private:
    void slide(std::int16_t row, std::int16_t column);
    void showTile(int tile);

    GameView& view_;
    DirectionSource& directions_;
    Board board_;
    std::int32_t moves_ = 0;
    bool shuffling_ = false;
    bool restartShuffle_ = false;  // a new game was asked for during the shuffle
    bool shuffleUnseen_ = false;   // the first shuffle, before the window is shown
};

}  // namespace tavlin
