// SPDX-License-Identifier: 0BSD
// The screen-reader layer's part in the game: what it is told when tiles move, a game is dealt or the best-of panel opens.
#include "accessibility/accessibility.h"

#include "accessibility/accessibleinterfaces.h"
#include "accessibility/readablewindow.h"
#include "widgets/label.h"

#include <QAccessible>
#include <QApplication>
#include <QPointer>

#include <initializer_list>

namespace tavlin::accessibility {

namespace {

// Gives `widget` a new identity for the screen reader, which then asks
// everything about it anew. Orca keeps what it once learned of a control's
// states, and Qt 6.4 tells it when a control begins to show but never
// that it became visible: the best-of panel's parts, first met hidden,
// would stay hidden for it.
void renew(QWidget* widget)
{
    if (QAccessibleInterface* old = QAccessible::queryAccessibleInterface(widget))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(old));
}

void notify(QWidget* widget, QAccessible::Event type)
{
    QAccessibleEvent event(widget, type);
    QAccessible::updateAccessibility(&event);
}

// A screen reader speaks a control when its reading point comes to it, and
// says nothing when the point is already there: the control gets a new
// identity first, so that the point always comes to it anew. The move also
// ends Orca's flat review, whose picture of the window would otherwise keep
// the tiles where they stood when it began.
void moveReadingPoint(QWidget* to)
{
    renew(to);
    setReadingPoint(to);
    QAccessibleEvent event(to, QAccessible::Focus);
    QAccessible::updateAccessibility(&event);
}

// Qt's focus has moved (a box opened or closed) and Qt has told the screen
// reader. When it came back to the status strip under the best-of panel,
// the reading point goes on to the panel, which is what the player sees.
void focusChanged(QWidget* now)
{
    setReadingPoint(nullptr);
    const ReadableWindow* window = readableWindowOf(now);
    if (!window || now != window->strip() || !covered(now) || !QAccessible::isActive())
        return;
    QMetaObject::invokeMethod(
        window->coveringPanel(),
        [panel = QPointer<QWidget>(window->coveringPanel())] {
            if (panel && panel->isVisible())
                moveReadingPoint(panel);
        },
        Qt::QueuedConnection);
}

}  // namespace

void install()
{
    // Qt keeps a factory once, however often the window is built.
    QAccessible::installFactory(&interfaceFor);
    static bool watching = false;
    if (!watching) {
        watching = true;
        QObject::connect(qApp, &QApplication::focusChanged, qApp,
                         [](QWidget*, QWidget* now) { focusChanged(now); });
    }
}

void tileMoved(QWidget* tile)
{
    if (!QAccessible::isActive())
        return;
    notify(tile, QAccessible::DescriptionChanged);
    notify(tile, QAccessible::LocationChanged);
}

namespace {

// Tells what just happened. The status strip, where Qt's focus is after a
// click, is named by it, and the reading point goes to `point`.
void tell([[maybe_unused]] QWidget* about, [[maybe_unused]] QWidget* strip, QWidget* point, const QString& text)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // Spoken at once, whatever has the focus.
    if (!QAccessible::isActive())
        return;
    QAccessibleAnnouncementEvent event(about, text);
    QAccessible::updateAccessibility(&event);
    // The reading point moves too, which ends Orca's flat review picture of
    // the board as it was. Not while the window is still being built,
    // where Qt's focus comes to the strip anyway.
    if (point->isVisible())
        moveReadingPoint(point);
#else
    // Orca 43 speaks neither a new name nor a new description by itself:
    // Qt 6.4 sends the object where the new text should be, and Orca fails
    // on it. It does speak where the reading point comes to. The name is
    // kept also while no screen reader listens: one that starts later, or
    // while the first game is dealt, reads it with the status bar.
    strip->setAccessibleName(text);
    if (QAccessible::isActive())
        moveReadingPoint(point);
#endif
}

}  // namespace

void tileSlid(QWidget* tile, QWidget* strip)
{
    // The strip's name: the tile's number and its new place, "5: řádek 2,
    // sloupec 3". The reading point goes to the move count, which then says
    // "Počet tahů: 17", short enough to hear after every click.
    if (QAccessible::isActive())
        if (QAccessibleInterface* readable = QAccessible::queryAccessibleInterface(tile))
            tell(tile, strip, readableWindowOf(strip)->moveCount(),
                 readable->text(QAccessible::Name) + QStringLiteral(": ")
                     + readable->text(QAccessible::Description));
}

void newGame(QWidget* strip)
{
    // Before Qt 6.8 the reading point goes to the strip itself, which says
    // the new game, the time and the count, as at the start. After, the
    // announcement says it, and the point goes to the count: a strip met
    // anew would drop the announcement it sent.
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QWidget* point = readableWindowOf(strip)->moveCount();
#else
    QWidget* point = strip;
#endif
    tell(strip, strip, point, QStringLiteral("Nová hra, kameny zamíchány"));
}

void coverChanged(QWidget* window)
{
    const ReadableWindow* readable = readableWindowOf(window);
    if (!readable || !QAccessible::isActive())
        return;
    // What the panel covers or uncovers changes with it, and nobody else
    // says so. The panel's own parts are met anew each time.
    QWidget* panel = readable->coveringPanel();
    if (!panel)
        return;
    const bool shown = panel->isVisible();
    const QAccessible::Event board = shown ? QAccessible::ObjectHide : QAccessible::ObjectShow;
    for (int tile = 1; tile <= Board::Blank; ++tile)
        notify(readable->tileLabel(tile), board);
    for (QWidget* part : std::initializer_list<QWidget*>{readable->strip(), readable->moveCount(), readable->clock()})
        notify(part, board);
    for (Label* part : panel->findChildren<Label*>())
        renew(part);
    moveReadingPoint(shown ? panel : readable->strip());
}

}  // namespace tavlin::accessibility
