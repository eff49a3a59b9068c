#pragma once
// Stands in for the modal boxes: records every box and answers from a
// script, so that tests never block on a real dialog.

#include "window/dialogs.h"

#include <deque>
#include <functional>
#include <vector>

namespace tavlin::testing {

class FakeDialogs final : public Dialogs {
public:
    struct Box {
        QString text, title;
    };

    void inform(QWidget*, const QString& text, const QString& title) override
    {
        boxes.push_back({text, title});
        if (onInform)
            onInform();  // runs while the box is "open"
    }
    bool confirm(QWidget*, const QString& text, const QString& title) override
    {
        boxes.push_back({text, title});
        return take(confirmAnswers, false);
    }
    QString askText(QWidget*, const QString& prompt, const QString& title) override
    {
        boxes.push_back({prompt, title});
        return take(textAnswers, QString());
    }
    void beep() override { ++beeps; }

    std::vector<Box> boxes;
    std::deque<bool> confirmAnswers;  // used up in order; then No
    std::deque<QString> textAnswers;  // used up in order; then cancelled
    std::function<void()> onInform;
    int beeps = 0;

private:
    template <typename T>
    static T take(std::deque<T>& answers, T otherwise)
    {
        if (answers.empty())
            return otherwise;
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace tavlin::testing
