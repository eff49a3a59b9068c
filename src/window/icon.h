// SPDX-License-Identifier: 0BSD
#pragma once
// The game's icon as one drawing of rectangles, from which every picture of it is made.
#include <QIcon>
#include <QImage>
#include <QRgb>

#include <vector>

namespace tavlin {

// The game's icon is one drawing: a one-unit black square outline with a
// bright red "15" in its middle on a transparent ground, described as
// rectangles on a square of IconUnits × IconUnits units. Every picture of the
// icon (the window's, the desktop theme's PNGs, the scalable SVG) is made from
// this list, so they cannot drift apart.
constexpr int IconUnits = 32;

struct IconRect {
    int x, y, width, height;  // in units
    QRgb colour;
};

std::vector<IconRect> iconShapes();

// The icon at its design size, 32 × 32 pixels, one pixel per unit, in the
// standard 16-colour palette: the window's icon and the program's.
QImage drawIcon();

// The icon at any size in pixels, painted with every edge on a whole pixel,
// so small sizes stay sharp, and no shape ever thinner than one pixel.
QImage drawIcon(int size);

// The window's icon: the 32 × 32 picture, with smaller and larger sizes
// beside it for title bars, task bars and window switchers. A size is
// painted only when the platform asks for it.
QIcon gameIcon();

}  // namespace tavlin
