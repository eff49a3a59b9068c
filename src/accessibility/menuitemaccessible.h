// SPDX-License-Identifier: 0BSD
#pragma once
// The screen reader's view of the menu items that run a command.

class QAccessibleInterface;
class QAction;

namespace tavlin::accessibility {

// The interface for a menu item that runs `action`, or nothing to leave it
// to Qt: submenus, separators and actions outside a menu.
QAccessibleInterface* menuItemInterface(QAction* action);

}  // namespace tavlin::accessibility
