// SPDX-License-Identifier: 0BSD
#pragma once
// The puzzle board without any widget: which tile stands in which cell, where
// the free cell is, and where every tile stands in the window, in twips.

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace tavlin {

struct Cell {
    std::int16_t r = 0;  // row, 1 at the top
    std::int16_t s = 0;  // column, 1 at the left
    bool operator==(const Cell&) const = default;
};

// Top left corner of a tile in twips (1/1440 inch, 15 to a 96-dpi pixel),
// single precision like the cell size it is computed from.
struct TilePlace {
    float left = 0;
    float top = 0;
    bool operator==(const TilePlace&) const = default;
};

class Board {
public:
    static constexpr int Size = 4;
    static constexpr int Blank = 16;

    // Lays the sixteen tiles out in the solved arrangement on a board below a
    // status strip of the given height, the free cell at (4, 4). All in twips.
    void layOut(float innerWidth, float innerHeight, float stripHeight);

    // Slides the tile of cell (row, column) into the free cell: the tile and
    // the free cell swap their places and their cells. The caller
    // passes only a neighbour of the free cell; nothing is checked here.
    void slide(std::int16_t row, std::int16_t column);

    // The cell next to `from` in `direction`: 0 below, 1 above, 2 right,
    // 3 left, the order of the shuffle's draws and of the search for a
    // clicked neighbour. It may lie off the board.
    static Cell step(Cell from, int direction);
    static bool onBoard(Cell c) { return c.r >= 1 && c.r <= Size && c.s >= 1 && c.s <= Size; }

    // The neighbour of the free cell whose tile has this caption, looked for
    // below, above, right and left in that order; at most one is found.
    std::optional<Cell> neighbourWithCaption(const QString& caption) const;

    // True when every cell, the free one included, holds the caption of the
    // solved arrangement.
    bool isSolved() const;

    int tileAt(int r, int s) const { return cells_[r - 1][s - 1]; }
    // The cell where `tile` stands now; the free cell's for Blank.
    Cell cellOf(int tile) const;
    const QString& caption(int tile) const { return captions_[tile]; }
    TilePlace place(int tile) const { return places_[tile]; }
    Cell freeCell() const { return {freeR_, freeS_}; }
    float cellWidth() const { return cellWidth_; }
    float cellHeight() const { return cellHeight_; }
    float cellLeft(int s) const;
    float cellTop(int r) const;

private:
    std::array<std::array<int, Size>, Size> cells_{};  // tile numbers by (row, column)
    std::int16_t freeR_ = Size;
    std::int16_t freeS_ = Size;
    std::array<TilePlace, Blank + 1> places_{};  // by tile number; [0] unused
    std::array<QString, Blank + 1> captions_{};
    float cellWidth_ = 0;
    float cellHeight_ = 0;
    float stripHeight_ = 0;
};

}  // namespace tavlin
