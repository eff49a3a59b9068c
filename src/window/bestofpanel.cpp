// SPDX-License-Identifier: 0BSD
// The best-of panel: its twenty labels, loading, ranking a finished game, clearing, and unsaved tables.
#include "window/bestofpanel.h"

#include "window/dialogs.h"
#include "accessibility/accessibility.h"
#include "widgets/twips.h"
#include "bestof/ranking.h"
#include "storage/tablefile.h"
#include "storage/tablelocation.h"

#include <QApplication>
#include <QPushButton>

namespace tavlin {

namespace {

using namespace colour;

// Row tops in twips; rows 3 to 9 stand closer than the first three.
constexpr int RowTop[BestOfPanel::Rows] = {360, 840, 1320, 1920, 2160, 2400, 2640, 2880, 3120, 3360};

QPushButton* makeHiddenButton(QWidget* parent, const QString& text, QRect geometry)
{
    // Never shown, never the default, no access key: neither mouse nor
    // keyboard can press it.
    auto* button = new QPushButton(text, parent);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setFocusPolicy(Qt::NoFocus);
    button->hide();
    return button;
}

}  // namespace

BestOfPanel::BestOfPanel(QWidget* parent, Dialogs& dialogs, QString scoreFile)
    : Panel(parent, LightYellow), dialogs_(dialogs), scoreFile_(std::move(scoreFile))
{
    setObjectName(QStringLiteral("Picture2"));
    setGeometry(twipsRect(0, 0, 3375, 4215));
    // Hidden before its labels exist, so that they wait to be measured
    // until the panel is first shown.
    hide();

    rankButton_ = makeHiddenButton(this, QStringLiteral("proverit"), twipsRect(0, 3600, 1455, 270));
    rankButton_->setObjectName(QStringLiteral("Command3"));
    loadButton_ = makeHiddenButton(this, QStringLiteral("refresh"), twipsRect(1440, 3600, 975, 270));
    loadButton_->setObjectName(QStringLiteral("Command2"));

    const QFont rowFont = comicFont(9.75);
    const QColor buttonText = QApplication::palette().color(QPalette::ButtonText);
    const QString placeholder = QStringLiteral("Score(0)");
    for (int i = 0; i < Rows; ++i) {
        rowTimes_[i] = makeTextLabel(this, QStringLiteral("scr(%1)").arg(i), Label::Sizing::FollowRight,
                                placeholder, rowFont, buttonText, 2400 + 810, RowTop[i]);
        rowNames_[i] = makeTextLabel(this, QStringLiteral("Jmeno(%1)").arg(i), Label::Sizing::FollowLeft,
                                  placeholder, rowFont, buttonText, 120, RowTop[i]);
    }

    clearLabel_ = makeTextLabel(this, QStringLiteral("Label5"), Label::Sizing::FollowLeft,
                            QStringLiteral("vymazat tabulku"), comicFont(12), Red, 120, 3720);
    clearLabel_->setToolTip(QStringLiteral("Vymazat tabulku nejlepších hráčů"));
    closeLabel_ = makeTextLabel(this, QStringLiteral("Label4"), Label::Sizing::FollowRight,
                            QStringLiteral("zpět"), comicFont(12), Blue, 2760 + 495, 3720);
    closeLabel_->setToolTip(QStringLiteral("Zavřít okno"));
    heading_ = makeTextLabel(this, QStringLiteral("Label3"), Label::Sizing::FollowLeft,
                            QStringLiteral("Nejlepší hráči"), comicFont(12, true), Green, 120, 0);

    // The screen reader names the panel by its heading.
    setAccessibleName(heading_->caption());

    connect(closeLabel_, &Label::clicked, this, &BestOfPanel::closeClicked);
    connect(clearLabel_, &Label::clicked, this, &BestOfPanel::clearClicked);
}

void BestOfPanel::showAtCorner()
{
    move(0, 0);
    show();
    raise();
}

void BestOfPanel::loadTable()
{
    // A missing or unreadable file empties all twenty captions; a file with
    // fewer than twenty lines fills the first captions and empties the rest.
    setTable(scorefile::load(scoreFile_));
}

void BestOfPanel::rankGame(const QString& finishedTime)
{
    loadTable();
    const double t = ranking::finishedTime(finishedTime);
    const scorefile::Lines shown = table();
    const std::optional<int> place = ranking::placeFor(shown, t);
    if (!place) {
        // Slower than every row: nothing asked, nothing written. Told before
        // the panel shows, so that a screen reader hears it as the reading
        // point comes to the panel: Orca 43 cannot speak a later news.
        accessibility::tellRanking(this, std::nullopt, finishedTime, {});
        showAtCorner();
        return;
    }
    showAtCorner();

    // While the box asks, the slower rows stand one lower and the new time
    // beside the name its row had.
    setTable(*ranking::withRow(shown, t, shown[scorefile::nameLine(*place)]));
    const QString name = dialogs_.askText(
        window(), QStringLiteral("Gratuluji vám k umístění! Zadejte vaše jméno:"),
        QStringLiteral("Konec hry"));
    rowNames_[*place]->setCaption(name);
    // The box may have stood open for minutes while other players saved or
    // cleared the table: the row goes into the table as it is now, by the
    // same rules, and the panel shows what was written. A time that no
    // longer earns a row is not written, and the panel shows the table
    // without it. A table that cannot be read is kept, and the player reads
    // why.
    const scorefile::Update saved = scorefile::update(
        scoreFile_, [&](const scorefile::Lines& now, scorefile::Source) { return ranking::withRow(now, t, name); });
    if (saved.failure)
        reportUnsaved(saved.lines.value_or(table()), *saved.failure);
    else
        setTable(*saved.lines);
    std::optional<int> row;
    for (int i = 0; i < Rows && !row; ++i)
        if (ranking::rowTime(rowTimes_[i]->caption()) == t && rowNames_[i]->caption() == name)
            row = i;
    accessibility::tellRanking(this, row, finishedTime, name);
}

void BestOfPanel::closeClicked()
{
    hide();
}

void BestOfPanel::clearClicked()
{
    if (!dialogs_.confirm(window(),
                          QStringLiteral("Opravdu chcete vymazat tabulku s nejvyšším skóre?"),
                          QStringLiteral("Vymazat tabulku")))
        return;
    if (save(scorefile::defaultLines()))
        loadTable();
}

scorefile::Lines BestOfPanel::table() const
{
    scorefile::Lines lines;
    for (int i = 0; i < Rows; ++i) {
        lines[scorefile::timeLine(i)] = rowTimes_[i]->caption();
        lines[scorefile::nameLine(i)] = rowNames_[i]->caption();
    }
    return lines;
}

void BestOfPanel::setTable(const scorefile::Lines& lines)
{
    for (int i = 0; i < Rows; ++i) {
        rowTimes_[i]->setCaption(lines[scorefile::timeLine(i)]);
        rowNames_[i]->setCaption(lines[scorefile::nameLine(i)]);
    }
}

bool BestOfPanel::save(const scorefile::Lines& lines)
{
    const std::optional<scorefile::WriteFailure> failure = scorefile::save(scoreFile_, lines);
    if (!failure)
        return true;
    reportUnsaved(lines, *failure);
    return false;
}

void BestOfPanel::reportUnsaved(const scorefile::Lines& lines, const scorefile::WriteFailure& failure)
{
    // The game goes on with the new table in the panel, as if it had been
    // saved; only the file keeps what it had.
    setTable(lines);
    dialogs_.inform(window(), scorefile::failureText(tablelocation::shownName(scoreFile_), failure),
                    QStringLiteral("Nejlepší hráči"));
}

}  // namespace tavlin
