// SPDX-License-Identifier: 0BSD
// The screen reader's view of the game's controls (labels, the status strip, the best-of panel), and the factory that gives them to Qt.
#include "accessibility/accessibleinterfaces.h"

#include "accessibility/menuitemaccessible.h"
#include "accessibility/modal.h"
#include "accessibility/readablewindow.h"
#include "bestof/ranking.h"
#include "widgets/label.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QPointer>

#include <optional>
#include <utility>

namespace tavlin::accessibility {

const ReadableWindow* readableWindowOf(const QWidget* widget)
{
    return widget ? dynamic_cast<const ReadableWindow*>(widget->window()) : nullptr;
}

// Whether `widget` is the best-of panel or a part of it.
static bool isOnPanel(const QWidget* widget)
{
    const ReadableWindow* window = readableWindowOf(widget);
    const QWidget* panel = window ? window->coveringPanel() : nullptr;
    return panel && (widget == panel || panel->isAncestorOf(widget));
}

bool covered(const QWidget* widget)
{
    const ReadableWindow* window = readableWindowOf(widget);
    const QWidget* panel = window ? window->coveringPanel() : nullptr;
    return panel && panel->isVisible() && !isOnPanel(widget);
}

namespace {

// Whether a left click in the middle of `label` would reach it now. A
// screen reader's press does what that click would do, so where the click
// could not land (a box is open, the best-of panel lies over the tiles, the
// panel with "zpět" is hidden) the press does nothing either.
bool reachableByClick(const Label* label)
{
    if (blockedByModal(label) || !label->isVisible() || !label->isEnabled())
        return false;
    QWidget* window = label->window();
    const QWidget* hit = window->childAt(label->mapTo(window, label->rect().center()));
    return hit == label || label->isAncestorOf(hit);
}

}  // namespace

QString seconds(const QString& number)
{
    bool whole = false;
    const long long n = number.toLongLong(&whole);
    const char16_t* unit = !whole || n < 1 || n > 4 ? u"sekund" : n == 1 ? u"sekunda" : u"sekundy";
    return number + u' ' + QString::fromUtf16(unit);
}

namespace {

// Where the screen reader's reading point was sent last, when that is not
// the control with Qt's focus (a tile after a move), and what just happened
// there, told with its description. Cleared as soon as Qt's focus moves,
// which then tells the screen reader itself.
struct {
    QPointer<QWidget> widget;
    QString news;
} point;

// A control's states as the ear should have them: what the best-of panel
// covers stops showing while it lies over it, and while the reading point
// stands somewhere, that is the one focused control. The panel's parts,
// hidden, are off screen rather than invisible: Orca keeps a control's
// states from when it first met it, and Qt tells it when a control begins
// to show, but never that it became visible.
QAccessible::State forTheEar(const QWidget* widget, QAccessible::State state)
{
    if (covered(widget))
        state.offscreen = true;
    if (state.invisible && isOnPanel(widget)) {
        state.invisible = false;
        state.offscreen = true;
    }
    if (point.widget)
        state.focused = point.widget == widget;
    return state;
}

// A control's own description, followed by the news where the reading point stands.
QString withNews(const QWidget* widget, const QString& description)
{
    if (point.widget != widget || point.news.isEmpty())
        return description;
    return description.isEmpty() ? point.news : description + QStringLiteral(". ") + point.news;
}

// A label as the screen reader sees it. Everything is worked out when asked:
// Qt may create the interface while the window is still being built, before
// a tile has its place or "zpět" its click handler.
class LabelAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit LabelAccessible(Label* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    // Orca 48 reads a status bar's labels only where they offer their text
    // as text; the clock and the count do, from Qt 6.8 on. So do the tiles
    // and the free cell: Orca 48 moves flat review up and down by where the
    // characters stand, and puts those of a control without text at 0, so
    // that every step up or down would end on the first tile of the row.
    // Orca 43 reads them all by their names, and its flat review would place
    // text by character, which a label cannot tell.
    void* interface_cast(QAccessible::InterfaceType type) override
    {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        const ReadableWindow* window = readableWindowOf(label());
        if (type == QAccessible::TextInterface && window
            && (label() == window->moveCount() || label() == window->clock() || window->cellShownBy(label())))
            return static_cast<QAccessibleTextInterface*>(this);
#endif
        return QAccessibleWidget::interface_cast(type);
    }

    // The text is the name, read only, without a caret or a selection;
    // every character stands where the whole label does.
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override { return text(QAccessible::Name).mid(start, end - start); }
    int characterCount() const override { return int(text(QAccessible::Name).size()); }
    QRect characterRect(int) const override { return rect(); }
    int offsetAtPoint(const QPoint&) const override { return 0; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }

    // A label that acts on a click is a button to the screen reader, and so
    // is the free cell, among the tiles: Orca speaks a button's description
    // when the reading point comes to it, and a plain label's only on demand.
    QAccessible::Role role() const override
    {
        return label()->clickable() || isFreeCell() ? QAccessible::Button : QAccessible::StaticText;
    }

    QString text(QAccessible::Text t) const override
    {
        const Label* l = label();
        const ReadableWindow* window = readableWindowOf(l);
        // The free cell, hidden to the eye, is there for the ear: flat review
        // of a row then tells which column is empty.
        if (t == QAccessible::Name && isFreeCell())
            return QStringLiteral("volno");
        // The clock and the move count are named by what they count and
        // what they show, so that every screen reader speaks the number:
        // "Čas: 12 sekund", "Počet tahů: 17".
        const QString name = l->accessibleName();
        if (t == QAccessible::Name && window && l == window->clock())
            return name + QStringLiteral(": ") + seconds(l->caption());
        // A best-of row's time carries its unit: "150 sekund".
        if (t == QAccessible::Name && window && window->isRowTime(l) && ranking::rowTime(l->caption()))
            return seconds(l->caption());
        if (t == QAccessible::Name)
            return l->caption();
        if (t != QAccessible::Description)
            return QAccessibleWidget::text(t);
        if (const std::optional<Cell> cell = window ? window->cellShownBy(l) : std::nullopt)
            return withNews(l, QStringLiteral("řádek %1, sloupec %2").arg(cell->r).arg(cell->s));
        // The clock and the count say all in their names: Orca 48 speaks a
        // description after the name, "Počet tahů: 1 1".
        if (!name.isEmpty())
            return withNews(l, {});
        return withNews(l, QAccessibleWidget::text(t));  // the tooltip, where there is one
    }

    // The free cell shows for the ear wherever the tiles do, at its place.
    QAccessible::State state() const override
    {
        if (!isFreeCell())
            return forTheEar(widget(), QAccessibleWidget::state());
        return forTheEar(widget(), QAccessible::queryAccessibleInterface(readableWindowOf(label())->tileLabel(1))->state());
    }

    // The free cell stands for the ear in the left third of its cell, which
    // keeps it in its row and its column for flat review. Orca may handle
    // the press of its click on a tile only once the tile has slid and the
    // free cell, with the reading point, has taken its place: finding the
    // point under the pointer, in the middle of the cell, it would take it
    // as reached already, silently, and not speak the move.
    QRect rect() const override
    {
        const Label* l = label();
        return isFreeCell() ? QRect(l->mapToGlobal(QPoint(0, 0)), QSize(l->width() / 3, l->height()))
                            : QAccessibleWidget::rect();
    }

    QStringList actionNames() const override
    {
        return label()->clickable() ? QStringList{pressAction()} : QStringList{};
    }

    // The press returns at once and the click runs from the event loop: a
    // click may open a box ("Konec hry", the name, the clear question), and
    // the screen reader would wait for it to close. Whether the click can
    // land is judged when it runs, as it is for a real click: a second press
    // queued behind the last move finds the "Konec hry" box open.
    // A screen reader's click may come twice, first as the pointer's click
    // and then as this press: a press right after a click on the same label
    // is that click again and does nothing.
    void doAction(const QString& action) override
    {
        if (action != pressAction() || label()->clickedJustNow())
            return;
        QMetaObject::invokeMethod(
            label(),
            [l = label()] {
                if (reachableByClick(l))
                    emit l->clicked();
            },
            Qt::QueuedConnection);
    }

    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    Label* label() const { return static_cast<Label*>(widget()); }
    bool isFreeCell() const
    {
        const ReadableWindow* window = readableWindowOf(label());
        return window && label() == window->tileLabel(Board::Blank);
    }
};

// The status strip and the best-of panel: the strip, which has Qt's focus
// after every click, is a status bar named by what it is; the panel is a
// pane named by its heading, where the reading point goes when it opens.
class PanelAccessible final : public QAccessibleWidget {
public:
    PanelAccessible(QWidget* panel, QAccessible::Role role, QString name = {})
        : QAccessibleWidget(panel, role), name_(std::move(name)) {}
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && !name_.isEmpty())
            return name_;
        return t == QAccessible::Description ? withNews(widget(), {}) : QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override { return forTheEar(widget(), QAccessibleWidget::state()); }

private:
    const QString name_;
};

}  // namespace

void setReadingPoint(QWidget* to, const QString& news)
{
    point.widget = to;
    point.news = news;
}

QWidget* readingPoint()
{
    return point.widget;
}

QString readingPointNews()
{
    return point.news;
}

QAccessibleInterface* interfaceFor(const QString&, QObject* object)
{
    if (auto* label = qobject_cast<Label*>(object))
        return new LabelAccessible(label);
    // The strip with the time and the move count is the window's status
    // bar, where a screen reader's command for the status bar looks. Both
    // it and the best-of panel are known by their object names: Qt may ask
    // for their interfaces before the window has finished building them.
    if (auto* panel = qobject_cast<Panel*>(object)) {
        if (panel->objectName() == QLatin1String("Picture1"))
            return new PanelAccessible(panel, QAccessible::StatusBar, QStringLiteral("Stav hry"));
        if (panel->objectName() == QLatin1String("Picture2"))
            return new PanelAccessible(panel, QAccessible::Pane);
    }
    // Items that run a command; submenus and separators stay Qt's.
    auto* action = qobject_cast<QAction*>(object);
    return action ? menuItemInterface(action) : nullptr;
}

}  // namespace tavlin::accessibility
