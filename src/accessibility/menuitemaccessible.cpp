// SPDX-License-Identifier: 0BSD
// The screen reader's view of the menu items that run a command: pressed through it, they run from the event loop.
#include "accessibility/menuitemaccessible.h"

#include "accessibility/modal.h"

#include <QAccessible>
#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QWindow>

namespace tavlin::accessibility {

namespace {

// "N&ejlepší hráči" reads "Nejlepší hráči"; "&&" stands for one "&".
QString withoutAccessKey(const QString& caption)
{
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        text += caption[i];
    }
    return text;
}

// A menu item that runs a command. Qt's own item triggers its action inside
// the screen reader's call, which then hangs on every box the command shows
// ("Ovládání", "O aplikaci"). This one queues the trigger; the menus and the
// keys F1 to F3 still trigger at once, as they always did.
class MenuItemAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    MenuItemAccessible(QMenu* menu, QAction* action) : menu_(menu), action_(action) {}

    bool isValid() const override { return menu_ && action_; }
    QObject* object() const override { return action_; }
    QWindow* window() const override
    {
        for (const QWidget* w = menu_; w; w = w->parentWidget())
            if (QWindow* handle = w->windowHandle())
                return handle;
        return nullptr;
    }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(menu_); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::MenuItem; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return withoutAccessKey(action_->text());
        if (t == QAccessible::Accelerator) {
            const QKeySequence key = action_->shortcut();
            return (key.isEmpty() ? QKeySequence::mnemonic(action_->text()) : key)
                .toString(QKeySequence::NativeText);
        }
        return {};
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invisible = !menu_->isVisible() || !action_->isVisible();
        state.focused = menu_->activeAction() == action_;
        state.disabled = !action_->isEnabled();
        return state;
    }

    QRect rect() const override
    {
        if (!menu_->isVisible())
            return {};
        return menu_->actionGeometry(action_).translated(menu_->mapToGlobal(QPoint(0, 0)));
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    // Nothing reaches the menus while a box is open, neither the mouse nor
    // the keys; a press queued before the box opened finds it open.
    void doAction(const QString& name) override
    {
        if (name != pressAction())
            return;
        QMetaObject::invokeMethod(
            action_.data(),
            [menu = menu_, action = action_.data()] {
                if (menu && action->isEnabled() && !blockedByModal(menu))
                    action->trigger();
            },
            Qt::QueuedConnection);
    }

private:
    QPointer<QMenu> menu_;
    QPointer<QAction> action_;
};

}  // namespace

QAccessibleInterface* menuItemInterface(QAction* action)
{
    if (action->isSeparator() || action->menu())
        return nullptr;
    for (QObject* owner : action->associatedObjects())
        if (auto* menu = qobject_cast<QMenu*>(owner))
            return new MenuItemAccessible(menu, action);
    return nullptr;
}

}  // namespace tavlin::accessibility
