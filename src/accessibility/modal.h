// SPDX-License-Identifier: 0BSD
#pragma once
// Whether a modal box stands between a control and the player.

class QWidget;

namespace tavlin::accessibility {

// Whether a modal box other than the one holding `widget` is open: it takes
// every click and key meant for the window and its menus.
bool blockedByModal(const QWidget* widget);

}  // namespace tavlin::accessibility
