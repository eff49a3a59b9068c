#pragma once
// A stand-in for the modal boxes: records every box it is asked to show and
// answers from a script, so that tests never block on a real dialog.

#include "window/dialogs.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

namespace tavlin::testing {

class FakeDialogs final : public Dialogs {
public:
    enum class Kind { Inform, Confirm, AskText };
    struct Box {
        Kind kind;
        QString text;
        QString title;
    };

    void inform(QWidget*, const QString& text, const QString& title) override
    {
        boxes.push_back({Kind::Inform, text, title});
        if (onInform)
            onInform(text, title);
    }
    bool confirm(QWidget*, const QString& text, const QString& title) override
    {
        boxes.push_back({Kind::Confirm, text, title});
        const bool answer = confirmAnswers.empty() ? false : confirmAnswers.front();
        if (!confirmAnswers.empty())
            confirmAnswers.pop_front();
        return answer;
    }
    QString askText(QWidget*, const QString& prompt, const QString& title) override
    {
        boxes.push_back({Kind::AskText, prompt, title});
        const QString answer = textAnswers.empty() ? QString() : textAnswers.front();
        if (!textAnswers.empty())
            textAnswers.pop_front();
        return answer;
    }
    void beep() override { ++beeps; }

    std::vector<Box> boxes;
    std::deque<bool> confirmAnswers;  // empty: No
    std::deque<QString> textAnswers;  // empty: cancelled
    // Runs while an information box is "open", to look at the window then.
    std::function<void(const QString& text, const QString& title)> onInform;
    int beeps = 0;
};

}  // namespace tavlin::testing
