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
    static constexpr int Rows = scorefile::RowCount;

    BestOfPanel(QWidget* parent, Dialogs& dialogs, QString scoreFile);

    Label* timeInRow(int i) const { return rowTimes_[i]; }
    Label* nameInRow(int i) const { return rowNames_[i]; }
    Label* heading() const { return heading_; }
    Label* closeLabel() const { return closeLabel_; }
    Label* clearLabel() const { return clearLabel_; }

    // Shows the panel at the top left corner of the client area.
    void showAtCorner();

    // Loads the table from the score file into the twenty labels.
    void loadTable();
    // Ranks a finished game whose time the clock shows as `finishedTime`.
    void rankGame(const QString& finishedTime);
    // Hides the panel; nothing is written or reloaded.
    void closeClicked();
    // Asks, then resets the score file to the default table and loads it.
    void clearClicked();

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
    std::array<Label*, Rows> rowTimes_{};
    std::array<Label*, Rows> rowNames_{};
    Label* heading_ = nullptr;
    Label* closeLabel_ = nullptr;
    Label* clearLabel_ = nullptr;
    QPushButton* loadButton_ = nullptr;
    QPushButton* rankButton_ = nullptr;
};

}  // namespace tavlin
