// SPDX-License-Identifier: 0BSD
#pragma once
// What the screen-reader layer asks of the game's window: its parts and where a tile stands.

#include "board/board.h"

#include <optional>

class QWidget;

namespace tavlin::accessibility {

// The game's window as the screen-reader layer sees it. The window
// implements it; the layer finds it as the window of any control it meets,
// and knows nothing else of it.
class ReadableWindow {
public:
    virtual QWidget* strip() const = 0;
    virtual QWidget* moveCount() const = 0;
    virtual QWidget* clock() const = 0;
    // The label of `tile`, 1 to Board::Blank (the free cell).
    virtual QWidget* tileLabel(int tile) const = 0;
    // The cell where the tile shown by `widget` stands; nothing when
    // `widget` is not one of the sixteen tile labels.
    virtual std::optional<Cell> cellShownBy(const QWidget* widget) const = 0;
    // The best-of panel, or null while it has not been built.
    virtual QWidget* coveringPanel() const = 0;
    // Whether `widget` shows the time of a best-of row.
    virtual bool isRowTime(const QWidget* widget) const = 0;

protected:
    ~ReadableWindow() = default;
};

// The readable window that holds `widget`, or null.
const ReadableWindow* readableWindowOf(const QWidget* widget);

}  // namespace tavlin::accessibility
