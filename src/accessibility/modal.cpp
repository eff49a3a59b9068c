// SPDX-License-Identifier: 0BSD
// Whether a modal box stands between a control and the player.
#include "accessibility/modal.h"

#include <QApplication>
#include <QWidget>

namespace tavlin::accessibility {

// A modal box over the window takes every click and key meant for the
// window and its menus; only the box itself and what it holds (the name
// box's context menu, say) still answer.
bool blockedByModal(const QWidget* widget)
{
    const QWidget* modal = QApplication::activeModalWidget();
    for (const QWidget* w = widget; modal && w; w = w->parentWidget())
        if (w == modal)
            return false;
    return modal != nullptr;
}

}  // namespace tavlin::accessibility
