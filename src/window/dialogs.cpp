// SPDX-License-Identifier: 0BSD
#include "window/dialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>
#include <QWindow>

#include <algorithm>

namespace tavlin {

namespace {

// The game's texts break their lines with a lone carriage return; Qt's plain
// text breaks them only at a line feed.
QString shownLines(const QString& text)
{
    QString shown = text;
    shown.replace(QChar(u'\r'), QChar(u'\n'));
    return shown;
}

// The game's texts are broken into lines where they should be; Qt would
// break them again wherever a line is wider than 500 px in the desktop's
// font (under GNOME's fonts the help leaves single words on lines of their
// own). So the text may be as wide as its widest line, which Qt then keeps.
// Only a line too long for any screen (a deep folder's path) still wraps.
void keepLines(QMessageBox& box)
{
    constexpr qsizetype LongestKept = 100;
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (!label)
        return;
    int widest = 0;
    for (const QString& line : box.text().split(u'\n'))
        if (line.size() <= LongestKept)
            widest = std::max(widest, label->fontMetrics().horizontalAdvance(line));
    label->setMinimumWidth(widest + 1);
}

// Qt centres a box over its window by the two windows' inner sizes, before
// the window manager frames the box; the title bars then push it off the
// middle (20 px up under openbox, more under KWin). So the box is placed by
// its outer size: with its own frame once Qt knows it, and until then with
// a frame like the window's, which the same window manager drew. It is
// placed again whenever that outer size changes (the frame becomes known,
// the box settles on its size); a move alone is the player's and is left
// alone. Qt may learn of the frame without telling the box, so for its
// first second the box also looks on its own, a few times, and then puts
// itself back if it is not where it was put: a request of ours that the
// window manager answers late (KWin, now and then) moves the box after it
// was put right, to where an earlier, wrong frame sent it. No player drags
// a box away within its first second.
class CentredOverParent final : public QObject {
public:
    explicit CentredOverParent(QDialog& box) : QObject(&box), box_(box)
    {
        box.installEventFilter(this);
        looks_.setInterval(50);
        connect(&looks_, &QTimer::timeout, this, [this] {
            centre(Held);
            if (++looked_ == 20)
                looks_.stop();
        });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &box_ && event->type() == QEvent::Show && box_.windowHandle()) {
            box_.windowHandle()->installEventFilter(this);
            looks_.start();
        }
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize || event->type() == QEvent::Expose)
            centre();
        return false;
    }

private:
    static QMargins frameOf(const QWidget& window)
    {
        const QRect outer = window.frameGeometry(), inner = window.geometry();
        return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                outer.bottom() - inner.bottom()};
    }

    enum Hold { MovesAllowed, Held };

    void centre(Hold hold = MovesAllowed)
    {
        const QWidget* under = box_.parentWidget() ? box_.parentWidget()->window() : nullptr;
        if (!under || !box_.windowHandle())
            return;
        // Until the box is shown, its frame is taken to be like the window's;
        // after, its own once Qt knows it. Never a mix of the two: Qt may
        // report part of a frame for a moment, and the box would be sent to
        // and fro.
        const bool exposed = box_.windowHandle()->isExposed();
        const QMargins frame = exposed ? frameOf(box_) : frameOf(*under);
        // KWin maps a box in a frame 1 px square and only then grows the
        // frame around it: a frame smaller than the box is no frame yet.
        // Nor is none at all where the window has one: the window manager
        // has not framed the box yet. Where it frames neither, none is the
        // frame.
        if (exposed
            && !(box_.frameGeometry().contains(box_.geometry()) && (!frame.isNull() || frameOf(*under).isNull())))
            return;  // no frame known yet
        const QSize outer = box_.size().grownBy(frame);
        if (exposed && outer == centredSize_ && hold == MovesAllowed)
            return;  // centred at this size already
        // Worked out from the sizes alone, so that it comes out the same
        // however often Qt's idea of the box's place lags behind. Placed by
        // the inner geometry (never by move(), which places the frame), so
        // that Qt asks every window manager for the same thing each time.
        const QRect around = under->frameGeometry();
        const QRect wanted(around.topLeft() + QPoint(frame.left(), frame.top())
                               + QPoint(around.width() - outer.width(), around.height() - outer.height()) / 2,
                           box_.size());
        if (exposed)
            centredSize_ = outer;
        if (wanted != box_.geometry())
            box_.setGeometry(wanted);  // before the box is shown, Qt takes its place from here
    }

    QDialog& box_;
    QSize centredSize_;
    QTimer looks_;
    int looked_ = 0;
};

}  // namespace

QtDialogs::QtDialogs()
{
    static const bool loaded = [] {
        auto* translator = new QTranslator(qApp);
        if (translator->load(QStringLiteral("qtbase_cs"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            return QCoreApplication::installTranslator(translator);
        delete translator;
        return false;
    }();
    Q_UNUSED(loaded);
}

void QtDialogs::inform(QWidget* parent, const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Information, title, shownLines(text), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    keepLines(box);
    new CentredOverParent(box);
    box.exec();
}

bool QtDialogs::confirm(QWidget* parent, const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Question, title, shownLines(text),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);
    keepLines(box);
    new CentredOverParent(box);
    box.setDefaultButton(QMessageBox::Yes);
    // The game's own words for the buttons, with Qt's translations
    // installed or not.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ano"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Ne"));
    return box.exec() == QMessageBox::Yes;
}

QString QtDialogs::askText(QWidget* parent, const QString& prompt, const QString& title)
{
    QInputDialog box(parent);
    box.setWindowTitle(title);
    box.setLabelText(prompt);
    box.setTextValue(QString());
    box.setOkButtonText(QStringLiteral("OK"));
    box.setCancelButtonText(QStringLiteral("Zrušit"));
    new CentredOverParent(box);
    return box.exec() == QDialog::Accepted ? box.textValue() : QString();
}

void QtDialogs::beep()
{
    QApplication::beep();
}

}  // namespace tavlin
