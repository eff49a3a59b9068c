// SPDX-License-Identifier: 0BSD
#pragma once
// A left click as the player means it: a left press, then its release inside the same widget.

#include <QMouseEvent>
#include <QRect>

namespace tavlin {

// Follows the presses and releases that one widget receives. A press
// released outside the widget is no click: the player changed their mind.
class LeftClick {
public:
    enum class Seen {
        Other,  // not the left button's press or release: the widget's own business
        Part,   // the press, or a release that ends no click: taken, nothing done
        Click,  // the release that ends a click
    };

    Seen take(const QMouseEvent& event, const QRect& inside)
    {
        if (event.button() != Qt::LeftButton)
            return Seen::Other;
        if (event.type() == QEvent::MouseButtonPress) {
            pressed_ = true;
            return Seen::Part;
        }
        if (event.type() != QEvent::MouseButtonRelease || !pressed_)
            return Seen::Other;
        pressed_ = false;
        return inside.contains(event.position().toPoint()) ? Seen::Click : Seen::Part;
    }

private:
    bool pressed_ = false;
};

}  // namespace tavlin
