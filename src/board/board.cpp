// SPDX-License-Identifier: 0BSD
// The board: the solved layout in twips, slides, steps to a neighbour, the solved test.
#include "board/board.h"

namespace tavlin {

void Board::layOut(float innerWidth, float innerHeight, float stripHeight)
{
    cellWidth_ = innerWidth / 4;
    cellHeight_ = (innerHeight - stripHeight) / 4;
    stripHeight_ = stripHeight;
    for (int r = 1; r <= Size; ++r) {
        for (int s = 1; s <= Size; ++s) {
            const int n = s + (r - 1) * Size;
            places_[n] = {cellLeft(s), cellTop(r)};
            captions_[n] = QString::number(n);
            cells_[r - 1][s - 1] = n;
        }
    }
    freeR_ = Size;
    freeS_ = Size;
}

// Each position is formed in double precision and rounded to single once, so
// that the bottom row ends exactly at the inner height.
float Board::cellLeft(int s) const
{
    return static_cast<float>((s - 1) * static_cast<double>(cellWidth_));
}

float Board::cellTop(int r) const
{
    return static_cast<float>(stripHeight_ + (r - 1) * static_cast<double>(cellHeight_));
}

void Board::slide(std::int16_t row, std::int16_t column)
{
    const TilePlace blankPlace = places_[Blank];
    const int moved = cells_[row - 1][column - 1];
    const int blank = cells_[freeR_ - 1][freeS_ - 1];
    places_[blank] = places_[moved];
    places_[moved] = blankPlace;
    cells_[freeR_ - 1][freeS_ - 1] = moved;
    cells_[row - 1][column - 1] = blank;
    freeR_ = row;
    freeS_ = column;
}

Cell Board::step(Cell from, int direction)
{
    switch (direction) {
    case 0: ++from.r; break;
    case 1: --from.r; break;
    case 2: ++from.s; break;
    default: --from.s; break;
    }
    return from;
}

std::optional<Cell> Board::neighbourWithCaption(const QString& wanted) const
{
    for (int direction = 0; direction < 4; ++direction) {
        const Cell c = step(freeCell(), direction);
        if (onBoard(c) && captions_[tileAt(c.r, c.s)] == wanted)
            return c;
    }
    return std::nullopt;
}

Cell Board::cellOf(int tile) const
{
    for (std::int16_t r = 1; r <= Size; ++r)
        for (std::int16_t s = 1; s <= Size; ++s)
            if (tileAt(r, s) == tile)
                return {r, s};
    return {};
}

bool Board::isSolved() const
{
    bool solved = true;
    for (int r = 1; r <= Size; ++r)
        for (int s = 1; s <= Size; ++s)
            if (captions_[tileAt(r, s)] != QString::number(s + (r - 1) * Size))
                solved = false;
    return solved;
}

}  // namespace tavlin
