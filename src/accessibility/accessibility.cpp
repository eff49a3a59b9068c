// SPDX-License-Identifier: 0BSD
// The screen-reader layer's part in the game: what it is told when tiles move, a game is dealt or the best-of panel opens.
#include "accessibility/accessibility.h"

#include "accessibility/accessibleinterfaces.h"
#include "accessibility/readablewindow.h"
#include "widgets/label.h"

#include <QAccessible>
#include <QApplication>
#include <QPointer>

#include <algorithm>
#include <initializer_list>
#include <utility>
#include <vector>

namespace tavlin::accessibility {

namespace {

// What the screen reader is still to be told:
// - the news of the best-of panel, told when the reading point next comes to it;
// - the tiles that moved since it was last told of their new descriptions.
//   They are told with the point's next move, all but the one the point
//   comes to, which tells its own with the news: Orca 48 handles the point's
//   move before older events, and would then speak that tile's description
//   once more, without the news.
struct {
    QString panelNews;
    std::vector<QPointer<QWidget>> movedTiles;
} untold;

void notify(QWidget* widget, QAccessible::Event type)
{
    QAccessibleEvent event(widget, type);
    QAccessible::updateAccessibility(&event);
}

void tellMovedTiles(const QWidget* except)
{
    for (const QPointer<QWidget>& tile : std::exchange(untold.movedTiles, {}))
        if (tile && tile != except)
            notify(tile, QAccessible::DescriptionChanged);
}

// A screen reader speaks a control when its reading point comes to it,
// with the control's description, and says nothing when the point is
// already there. So the point always comes to another control: where it
// would stay on the same one (the same tile slid back, two new games in a
// row), the status strip takes it. The change also ends Orca's flat
// review, whose picture of the window would otherwise keep the tiles where
// they stood when it began; the next flat-review key starts at the point.
// `news` is what just happened, told with the point's description.
void moveReadingPoint(QWidget* to, QString news = {})
{
    QWidget* const from = readingPoint();
    if (to == from)
        to = readableWindowOf(to)->strip();
    if (to == readableWindowOf(to)->coveringPanel() && news.isEmpty())
        news = std::exchange(untold.panelNews, {});
    tellMovedTiles(to);
    setReadingPoint(to, news);
    notify(to, QAccessible::DescriptionChanged);
    notify(to, QAccessible::Focus);
    // Told once the point has left it: a screen reader speaks a new
    // description of the control where its point stands.
    if (from)
        notify(from, QAccessible::DescriptionChanged);
}

// Qt's focus has moved (a box opened or closed) and Qt has told the screen
// reader. When it came back to the status strip under the best-of panel,
// the reading point goes on to the panel, which is what the player sees.
void focusChanged(QWidget* now)
{
    const ReadableWindow* window = readableWindowOf(now);
    const bool backToPanel = window && now == window->strip() && covered(now) && QAccessible::isActive();
    // The panel's news, told while a box was closing, is told again as the
    // point comes back to the panel: a box that closes takes Orca 43's ear
    // until Qt's focus is back in the window.
    if (backToPanel && readingPoint() == window->coveringPanel())
        untold.panelNews = readingPointNews();
    setReadingPoint(nullptr);
    if (!backToPanel)
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
    notify(tile, QAccessible::LocationChanged);
    if (std::find(untold.movedTiles.begin(), untold.movedTiles.end(), tile) == untold.movedTiles.end())
        untold.movedTiles.emplace_back(tile);
}

void tileSlid(QWidget* tile)
{
    // Every tile that can move next stands beside the free cell, one
    // flat-review step from it, so the point comes to the free cell, which
    // tells what moved: "volno, tlačítko, řádek 2, sloupec 3. Kámen 11
    // posunut. Počet tahů: 17". A screen reader hears nothing when the point
    // comes to where it already stands, so after a move from the free cell
    // it comes to the tile that slid, which tells the count: "11, tlačítko,
    // řádek 2, sloupec 4. Počet tahů: 18"; every tile beside the free cell
    // is then two steps away. Moves thus cost one step or two, and a click, by turns.
    if (!QAccessible::isActive() || !tile->window()->isVisible())
        return;
    const ReadableWindow* window = readableWindowOf(tile);
    const auto name = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
    QWidget* freeCell = window->tileLabel(Board::Blank);
    if (readingPoint() == freeCell)
        moveReadingPoint(tile, name(window->moveCount()));
    else
        moveReadingPoint(freeCell, QStringLiteral("Kámen %1 posunut. %2").arg(name(tile), name(window->moveCount())));
}

void newGame(QWidget* window)
{
    // The point comes to the free cell, where the first move is found one
    // flat-review step away: "volno, tlačítko, řádek 4, sloupec 3. Nová
    // hra, kameny zamíchány". Not while the window is still being built,
    // where Qt's focus comes to the strip anyway.
    const ReadableWindow* readable = readableWindowOf(window);
    QWidget* freeCell = readable ? readable->tileLabel(Board::Blank) : nullptr;
    if (QAccessible::isActive() && freeCell && window->isVisible())
        moveReadingPoint(freeCell, QStringLiteral("Nová hra, kameny zamíchány"));
}

void coverChanged(QWidget* window)
{
    const ReadableWindow* readable = readableWindowOf(window);
    if (!readable || !QAccessible::isActive())
        return;
    // What the panel covers or uncovers changes with it, and so do the
    // panel's own parts, which Qt tells nobody about.
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
        notify(part, shown ? QAccessible::ObjectShow : QAccessible::ObjectHide);
    moveReadingPoint(shown ? panel : readable->strip());
}

void tellRanking(QWidget* panel, std::optional<int> row, const QString& time, const QString& name)
{
    // "2. místo: 412 sekund, Řehoř Žluťoučký"; "Čas 5000 sekund do tabulky nestačí".
    if (!QAccessible::isActive())
        return;
    QString news = row ? QStringLiteral("%1. místo: %2").arg(*row + 1).arg(seconds(time))
                       : QStringLiteral("Čas %1 do tabulky nestačí").arg(seconds(time));
    if (row && !name.isEmpty())
        news += QStringLiteral(", ") + name;
    if (readingPoint() != panel) {
        untold.panelNews = news;
        return;
    }
    setReadingPoint(panel, news);
    notify(panel, QAccessible::DescriptionChanged);
}

}  // namespace tavlin::accessibility
