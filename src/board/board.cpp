// SPDX-License-Identifier: 0BSD
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
            Pole[r - 1][s - 1] = n;
        }
    }
    VolnyR = Size;
    VolnyS = Size;
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

void Board::Presun(std::int16_t IndexR, std::int16_t IndexS)
{
    const TilePlace blankPlace = places_[Blank];
    const int moved = Pole[IndexR - 1][IndexS - 1];
    const int blank = Pole[VolnyR - 1][VolnyS - 1];
    places_[blank] = places_[moved];
    places_[moved] = blankPlace;
    Pole[VolnyR - 1][VolnyS - 1] = moved;
    Pole[IndexR - 1][IndexS - 1] = blank;
    VolnyR = IndexR;
    VolnyS = IndexS;
}

std::optional<Cell> Board::neighbourWithCaption(const QString& wanted) const
{
    const Cell candidates[] = {
        {static_cast<std::int16_t>(VolnyR + 1), VolnyS},  // below
        {static_cast<std::int16_t>(VolnyR - 1), VolnyS},  // above
        {VolnyR, static_cast<std::int16_t>(VolnyS + 1)},  // right
        {VolnyR, static_cast<std::int16_t>(VolnyS - 1)},  // left
    };
    for (const Cell& c : candidates) {
        if (c.r < 1 || c.r > Size || c.s < 1 || c.s > Size)
            continue;
        if (captions_[tileAt(c.r, c.s)] == wanted)
            return c;
    }
    return std::nullopt;
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
