// SPDX-License-Identifier: 0BSD
#pragma once
// The best-of panel: the heading, ten rows of name and time labels, the close
// and clear commands, and the two hidden buttons that name the table load and
// the ranking. It lies over the whole client area when shown.

#include "widgets/label.h"
#include "storage/tablefile.h"

#include <QString>

#include <array>

class QPushButton;

namespace tavlin {

class Dialogs;

class BestOfPanel : public Panel {
    Q_OBJECT
public:
    static constexpr int Rows = 10;

    BestOfPanel(QWidget* parent, Dialogs& dialogs, QString scoreFile);

    Label* scr(int i) const { return scr_[i]; }
    Label* Jmeno(int i) const { return Jmeno_[i]; }
    Label* Label3() const { return label3_; }
    Label* Label4() const { return label4_; }
    Label* Label5() const { return label5_; }
    QPushButton* Command2() const { return command2_; }
    QPushButton* Command3() const { return command3_; }

    // Shows the panel at the top left corner of the client area.
    void showAtCorner();

    // Loads the table from the score file into the twenty labels.
    void Command2_Click();
    // Ranks a finished game whose time the clock shows as `finishedTime`.
    void Command3_Click(const QString& finishedTime);
    // Hides the panel; nothing is written or reloaded.
    void Label4_Click();
    // Asks, then resets the score file to the default table and loads it.
    void Label5_Click();

private:
    // The twenty captions as the score file's lines.
    scorefile::Lines table() const;
    void setTable(const scorefile::Lines& lines);
    // Writes `lines` as the whole score file. On failure the panel shows
    // `lines` all the same and a box tells the player why they were not
    // saved; false then.
    bool save(const scorefile::Lines& lines);
    // Shows `lines` and tells the player why they were not saved.
    void reportUnsaved(const scorefile::Lines& lines, const scorefile::WriteFailure& failure);

    Dialogs& dialogs_;
    QString scoreFile_;
    std::array<Label*, Rows> scr_{};
    std::array<Label*, Rows> Jmeno_{};
    Label* label3_ = nullptr;
    Label* label4_ = nullptr;
    Label* label5_ = nullptr;
    QPushButton* command2_ = nullptr;
    QPushButton* command3_ = nullptr;
};

}  // namespace tavlin
