// SPDX-License-Identifier: 0BSD
#pragma once
// What a screen reader finds in the window beyond what Qt gives on its own:
// the labels that act on a click (the tiles, "zpět", "vymazat tabulku") can
// be pressed, a tile tells its row and column, the clock and the move count
// carry their names and values, and the menu items pressed through the
// screen reader run their command from the event loop, so that a box the
// command opens never holds the screen reader's call.

#include <optional>

class QString;
class QWidget;

namespace tavlin::accessibility {

// Registers the interfaces with Qt. Qt 6.4 makes a control's interface
// whenever the control changes its text, screen reader or not; these cost no
// more than Qt's own, and work out what they tell only when asked.
void install();

// Tells an active screen reader that `tile` now stands in another cell: its
// place at once, its description with the reading point's next move.
void tileMoved(QWidget* tile);

// Tells an active screen reader that the player slid `tile` to its new
// place: the reading point comes to the free cell, which tells the tile and
// the new count, or, where it stood there already, to the tile that slid.
void tileSlid(QWidget* tile);

// Tells an active screen reader that a new game's shuffle has ended in
// `window`: the reading point comes to the free cell, which tells so.
void newGame(QWidget* window);

// Tells an active screen reader that the best-of panel of `window` has
// been shown or hidden: what it covers stops or starts showing, and the
// reading point goes to the panel or back to the status strip.
void coverChanged(QWidget* window);

// Tells an active screen reader where a finished game went in the table on
// `panel`: its row (0 to 9) with the time and the name, or that the time
// earned no row. Told with the panel where the reading point comes to it,
// or at once when the point is there.
void tellRanking(QWidget* panel, std::optional<int> row, const QString& time, const QString& name);

}  // namespace tavlin::accessibility
