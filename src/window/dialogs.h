// SPDX-License-Identifier: 0BSD
#pragma once
// The modal boxes and the beep, behind one small interface so that tests can
// answer them and record what they were asked.

#include <QString>

class QWidget;

namespace tavlin {

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Information icon, one OK button. Lines are joined by a lone CR.
    virtual void inform(QWidget* parent, const QString& text, const QString& title) = 0;
    // Question icon, Yes and No, Yes the default. True for Yes.
    virtual bool confirm(QWidget* parent, const QString& text, const QString& title) = 0;
    // One-line input with an empty default; empty text when cancelled.
    virtual QString askText(QWidget* parent, const QString& prompt, const QString& title) = 0;
    virtual void beep() = 0;
};

// The real boxes: QMessageBox, QInputDialog and the system beep.
class QtDialogs final : public Dialogs {
public:
    // Loads Qt's own Czech texts once (Debian's qt6-translations-l10n), so
    // that what Qt draws by itself in a box, such as the name field's
    // context menu, reads Czech as the game does; where they are not
    // installed, those few texts stay English.
    QtDialogs();
    void inform(QWidget* parent, const QString& text, const QString& title) override;
    bool confirm(QWidget* parent, const QString& text, const QString& title) override;
    QString askText(QWidget* parent, const QString& prompt, const QString& title) override;
    void beep() override;
};

}  // namespace tavlin
