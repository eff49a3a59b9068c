// SPDX-License-Identifier: 0BSD
#pragma once
// Labels as the game uses them: a click signal (press and release on the same
// label), and, for labels that follow their text, a fixed left or right edge
// that stays put while the label grows or shrinks with its caption.

#include "widgets/click.h"

#include <QColor>
#include <QElapsedTimer>
#include <QFont>
#include <QLabel>

namespace tavlin {

QFont comicFont(double pointSize, bool bold = false);

// The game's colours.
namespace colour {
inline const QColor LightGreen{192, 255, 192};
inline const QColor LightYellow{255, 255, 192};
inline const QColor Maroon{128, 0, 0};
inline const QColor Green{0, 128, 0};
inline const QColor Red{255, 0, 0};
inline const QColor Blue{0, 0, 255};
}  // namespace colour

class Label : public QLabel {
    Q_OBJECT
public:
    enum class Sizing { Fixed, FollowLeft, FollowRight };

    Label(QWidget* parent, Sizing sizing = Sizing::Fixed);

    // Sets the caption and, for a label that follows its text, fits the label
    // to it against its fixed edge.
    void setCaption(const QString& text);
    QString caption() const { return text(); }

    // Fixes the anchor edge in pixels of the container, and the top.
    void anchorAt(int edge, int top);

    void setTextColor(const QColor& color);

    // True when something answers a click on this label; the screen reader
    // may then press it.
    bool clickable() const;

    // True for a moment (half a second) after a click with the mouse on this
    // label, the time in which a screen reader's second delivery of that
    // click arrives.
    bool clickedJustNow() const;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void fit();

    Sizing sizing_;
    int edge_ = 0;
    int top_ = 0;
    LeftClick leftClick_;
    bool fitWhenShown_ = false;
    QElapsedTimer lastClick_;
};

// A plain container panel with a background colour that takes the clicks on
// its own surface, so that they do not reach the window beneath.
class Panel : public QWidget {
    Q_OBJECT
public:
    Panel(QWidget* parent, const QColor& background);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

void setBackground(QWidget* widget, const QColor& color);

// A transparent label that follows its text, with its fixed edge (the left
// one, or the right one for `Sizing::FollowRight`) and its top in twips.
Label* makeTextLabel(QWidget* parent, const QString& name, Label::Sizing sizing, const QString& text,
                     const QFont& font, const QColor& color, double edgeTwips, double topTwips);

}  // namespace tavlin
