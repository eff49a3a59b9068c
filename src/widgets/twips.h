// SPDX-License-Identifier: 0BSD
#pragma once
// The design values are in twips, 15 to a 96-dpi pixel, which is Qt's
// device-independent pixel. Every edge is rounded to the nearest pixel on its
// own, so neighbouring cells share their edge and the board closes exactly.

#include <QRect>

#include <cmath>

namespace tavlin {

constexpr double TwipsPerPixel = 15.0;

inline int twipsToPixels(double twips)
{
    return static_cast<int>(std::lround(twips / TwipsPerPixel));
}

inline QRect twipsRect(double left, double top, double width, double height)
{
    const int x = twipsToPixels(left);
    const int y = twipsToPixels(top);
    return QRect(x, y, twipsToPixels(left + width) - x, twipsToPixels(top + height) - y);
}

}  // namespace tavlin
