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
    enum class Kind { Inform, Confirm, AskText };
    struct Box {
        Kind kind;
        QString text, title;
    };

    void inform(QWidget*, const QString& text, const QString& title) override
    {
        boxes.push_back({Kind::Inform, text, title});
        if (onInform)
            onInform(text, title);  // runs while the box is "open"
    }
    bool confirm(QWidget*, const QString& text, const QString& title) override
    {
        boxes.push_back({Kind::Confirm, text, title});
        return next(confirmAnswers, false);
    }
    QString askText(QWidget*, const QString& prompt, const QString& title) override
    {
        boxes.push_back({Kind::AskText, prompt, title});
        return next(textAnswers, QString());
    }
    void beep() override { ++beeps; }

    std::vector<Box> boxes;
    std::deque<bool> confirmAnswers;  // used up in order; then No
    std::deque<QString> textAnswers;  // used up in order; then cancelled
    std::function<void(const QString& text, const QString& title)> onInform;
    int beeps = 0;

private:
    template <typename T>
    static T next(std::deque<T>& answers, T otherwise)
    {
        if (answers.empty())
            return otherwise;
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace tavlin::testing
