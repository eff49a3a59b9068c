// SPDX-License-Identifier: 0BSD
// The game's labels and panels: captions that keep an edge, the comic face, clicks.
#include "widgets/label.h"

#include "widgets/twips.h"

#include <QAccessible>
#include <QFontDatabase>
#include <QMetaMethod>
#include <QStringList>

#include <algorithm>

namespace tavlin {

namespace {

// True when Qt's list of installed families holds `family`; a family that
// more than one foundry makes is listed as "Family [foundry]".
bool installed(const QStringList& families, const QString& family)
{
    return std::any_of(families.begin(), families.end(), [&family](const QString& name) {
        return name.compare(family, Qt::CaseInsensitive) == 0
               || (name.startsWith(family, Qt::CaseInsensitive)
                   && QStringView(name).mid(family.size()).startsWith(QLatin1String(" [")));
    });
}

// The family the game's face is asked for by, chosen once. A family that is
// not installed sends Qt to fontconfig for the faces that stand in for it,
// a search through every installed font that took about as long as setting
// the face up. Comic Neue is what fontconfig's alias (from fonts-comic-neue)
// puts in the place of Comic Sans MS, so where only Comic Neue is installed
// it is asked for by its own name (a local rule that would put yet another
// face first is not followed then). The list of families is the one Qt has
// already read from fontconfig: reading it costs next to nothing.
QString comicFamily()
{
    static const QString family = [] {
        const QString comicSans = QStringLiteral("Comic Sans MS");
        const QString comicNeue = QStringLiteral("Comic Neue");
        const QStringList families = QFontDatabase::families();
        if (!installed(families, comicSans) && installed(families, comicNeue))
            return comicNeue;
        return comicSans;
    }();
    return family;
}

}  // namespace

QFont comicFont(double pointSize, bool bold)
{
    QFont font(comicFamily());
    // Where neither Comic Sans MS nor Comic Neue is installed, fontconfig
    // takes Comic Sans MS for a script face and picks one; the hint makes a
    // plain sans-serif face come first.
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

void setBackground(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

Label* makeTextLabel(QWidget* parent, const QString& name, Label::Sizing sizing, const QString& text,
                     const QFont& font, const QColor& color, double edgeTwips, double topTwips)
{
    auto* label = new Label(parent, sizing);
    label->setObjectName(name);
    label->setFont(font);
    label->setTextColor(color);
    label->setAlignment((sizing == Label::Sizing::FollowRight ? Qt::AlignRight : Qt::AlignLeft)
                        | Qt::AlignVCenter);
    label->setCaption(text);
    label->anchorAt(twipsToPixels(edgeTwips), twipsToPixels(topTwips));
    return label;
}

Label::Label(QWidget* parent, Sizing sizing) : QLabel(parent), sizing_(sizing)
{
    setFocusPolicy(Qt::NoFocus);
    // Captions are numbers, the game's texts and what players typed as
    // their names: never markup.
    setTextFormat(Qt::PlainText);
}

void Label::setCaption(const QString& text)
{
    setText(text);
    fit();
    // Qt announces a new caption as the label's new name, except for a label
    // named apart from its caption (the clock, the move count): its name
    // carries the value, which a screen reader hears of here.
    if (!accessibleName().isEmpty())
    {
        if (QAccessible::isActive()) {
            QAccessibleEvent event(this, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&event);
        }
    }
}

bool Label::clickable() const
{
    return isSignalConnected(QMetaMethod::fromSignal(&Label::clicked));
}

bool Label::clickedJustNow() const
{
    return lastClick_.isValid() && !lastClick_.hasExpired(500);
}

void Label::anchorAt(int edge, int top)
{
    edge_ = edge;
    top_ = top;
    fit();
}

void Label::setTextColor(const QColor& color)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, color);
    setPalette(palette);
}

void Label::fit()
{
    if (sizing_ == Sizing::Fixed)
        return;
    // Measuring a caption loads its font, a few milliseconds for each size
    // and weight of the face. A label that cannot be seen (the best-of
    // panel's, hidden until F2) is measured when it is shown, so that the
    // window comes up without loading faces that nothing shows yet.
    if (!isVisibleTo(window())) {
        fitWhenShown_ = true;
        return;
    }
    fitWhenShown_ = false;
    const QSize size = sizeHint();
    const int left = sizing_ == Sizing::FollowLeft ? edge_ : edge_ - size.width();
    setGeometry(left, top_, size.width(), size.height());
}

void Label::showEvent(QShowEvent* event)
{
    QLabel::showEvent(event);
    if (fitWhenShown_)
        fit();
}

void Label::mousePressEvent(QMouseEvent* event)
{
    if (leftClick_.take(*event, rect()) == LeftClick::Seen::Other)
        QLabel::mousePressEvent(event);
    else
        event->accept();
}

void Label::mouseReleaseEvent(QMouseEvent* event)
{
    const LeftClick::Seen seen = leftClick_.take(*event, rect());
    if (seen == LeftClick::Seen::Other) {
        QLabel::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    if (seen == LeftClick::Seen::Click) {
        lastClick_.start();
        emit clicked();
    }
}

Panel::Panel(QWidget* parent, const QColor& background) : QWidget(parent)
{
    setBackground(this, background);
}

void Panel::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void Panel::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
}

}  // namespace tavlin
