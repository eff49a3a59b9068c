// SPDX-License-Identifier: 0BSD
#pragma once
// The game's window for the tests, on the offscreen platform, with a score
// file in a folder of its own and boxes that a script answers.

#include "scripteddirections.h"
#include "window/dialogs.h"
#include "window/form1.h"

#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <vector>

namespace tavlin::testing {

// Stands in for the modal boxes: records every box and answers from a
// script, so that tests never block on a real dialog.
class FakeDialogs final : public Dialogs {
public:
    struct Box {
        QString text, title;
    };

    void inform(QWidget*, const QString& text, const QString& title) override
    {
        boxes.push_back({text, title});
        onInform();  // runs while the box is "open"
    }
    bool confirm(QWidget*, const QString& text, const QString& title) override
    {
        boxes.push_back({text, title});
        return !confirmAnswers.isEmpty() && confirmAnswers.takeFirst();  // then No
    }
    QString askText(QWidget*, const QString& prompt, const QString& title) override
    {
        boxes.push_back({prompt, title});
        onAsk();  // runs while the box is "open"
        return textAnswers.isEmpty() ? QString() : textAnswers.takeFirst();  // then cancelled
    }
    void beep() override { ++beeps; }

    std::vector<Box> boxes;
    QList<bool> confirmAnswers;
    QStringList textAnswers;
    std::function<void()> onInform = [] {};
    std::function<void()> onAsk = [] {};
    int beeps = 0;
};

// A shown window whose shuffle ends with rows 1 to 3 in order and the free
// cell at (4, 3), tile 15 right of it: one move from the solved board.
struct GameWindow {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("tavlin.inf"));
    FakeDialogs dialogs;
    Form1 window{dialogs, path, std::make_unique<ScriptedDirections>(std::vector<int>{3, 2})};

    GameWindow()
    {
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    void click(QWidget* widget, QPoint at = {})
    {
        QTest::mouseClick(widget, Qt::LeftButton, {}, at.isNull() ? widget->rect().center() : at);
    }
    void clickTile(int n) { click(window.Kosticka(n)); }
    void key(Qt::Key key) { QTest::keyClick(&window, key); }
    QString time() const { return window.Label2()->caption(); }
    QString moves() const { return window.Label1()->caption(); }
};

}  // namespace tavlin::testing
