// SPDX-License-Identifier: 0BSD
#pragma once
// Where the window and its boxes stand: centred by their outer size, the window manager's frame included.

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QDialog;
class QWidget;

namespace tavlin {

// The top left corner of something `outer` in size centred in `area`.
inline QPoint centredIn(const QRect& area, const QSize& outer)
{
    return area.topLeft() + QPoint((area.width() - outer.width()) / 2, (area.height() - outer.height()) / 2);
}

// The window manager's frame around `window`, as far as Qt knows it.
QMargins frameOf(const QWidget& window);

// Moves `window` to the middle of the primary screen by its outer size.
void centreOnScreen(QWidget& window);

// Keeps `box` centred over its parent's window, frames and title bars
// included, until the player moves it.
void keepCentredOverWindow(QDialog& box);

}  // namespace tavlin
