// SPDX-License-Identifier: 0BSD
// Centring the window on the screen and its boxes over it, by their outer sizes.
#include "window/placement.h"

#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace tavlin {

QMargins frameOf(const QWidget& window)
{
    const QRect outer = window.frameGeometry(), inner = window.geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

void centreOnScreen(QWidget& window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The frame is the window manager's: before the window is first shown
    // it is not known, and the window with its menu bar stands in for it
    // until the frame appears.
    window.move(centredIn(screen->geometry(), window.frameGeometry().size()));
}

namespace {

// Qt centres a box over its window by the two windows' inner sizes, before
// the window manager frames the box; the title bars then push it off the
// middle (20 px up under openbox, more under KWin). So the box is placed by
// its outer size: with its own frame once Qt knows it, and until then with
// a frame like the window's, which the same window manager drew. It is
// placed again whenever that outer size changes (the frame becomes known,
// the box settles on its size); a move alone is the player's and is left
// alone. Qt may learn of the frame without telling the box, so for its
// first second the box also looks on its own, a few times, and then puts
// itself back if it is not where it was put: a request of ours that the
// window manager answers late (KWin, now and then) moves the box after it
// was put right, to where an earlier, wrong frame sent it. No player drags
// a box away within its first second.
class CentredOverParent final : public QObject {
public:
    explicit CentredOverParent(QDialog& box) : QObject(&box), box_(box)
    {
        box.installEventFilter(this);
        looks_.setInterval(50);
        connect(&looks_, &QTimer::timeout, this, [this] {
            centre(Held);
            if (++looked_ == 20)
                looks_.stop();
        });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &box_ && event->type() == QEvent::Show && box_.windowHandle()) {
            box_.windowHandle()->installEventFilter(this);
            looks_.start();
        }
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize || event->type() == QEvent::Expose)
            centre();
        return false;
    }

private:
    enum Hold { MovesAllowed, Held };

    void centre(Hold hold = MovesAllowed)
    {
        const QWidget* under = box_.parentWidget() ? box_.parentWidget()->window() : nullptr;
        if (!under || !box_.windowHandle())
            return;
        // Until the box is shown, its frame is taken to be like the window's;
        // after, its own once Qt knows it. Never a mix of the two: Qt may
        // report part of a frame for a moment, and the box would be sent to
        // and fro.
        const bool exposed = box_.windowHandle()->isExposed();
        const QMargins frame = exposed ? frameOf(box_) : frameOf(*under);
        // KWin maps a box in a frame 1 px square and only then grows the
        // frame around it: a frame smaller than the box is no frame yet.
        // Nor is none at all where the window has one: the window manager
        // has not framed the box yet. Where it frames neither, none is the
        // frame.
        if (exposed
            && !(box_.frameGeometry().contains(box_.geometry()) && (!frame.isNull() || frameOf(*under).isNull())))
            return;  // no frame known yet
        const QSize outer = box_.size().grownBy(frame);
        if (exposed && outer == centredSize_ && hold == MovesAllowed)
            return;  // centred at this size already
        // Worked out from the sizes alone, so that it comes out the same
        // however often Qt's idea of the box's place lags behind. Placed by
        // the inner geometry (never by move(), which places the frame), so
        // that Qt asks every window manager for the same thing each time.
        const QRect wanted(centredIn(under->frameGeometry(), outer) + QPoint(frame.left(), frame.top()),
                           box_.size());
        if (exposed)
            centredSize_ = outer;
        if (wanted != box_.geometry())
            box_.setGeometry(wanted);  // before the box is shown, Qt takes its place from here
    }

    QDialog& box_;
    QSize centredSize_;
    QTimer looks_;
    int looked_ = 0;
};

}  // namespace

void keepCentredOverWindow(QDialog& box)
{
    new CentredOverParent(box);  // owned by the box
}

}  // namespace tavlin
