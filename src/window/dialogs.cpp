#include "dialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

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

}  // namespace

void QtDialogs::inform(QWidget* parent, const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Information, title, shownLines(text), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool QtDialogs::confirm(QWidget* parent, const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Question, title, shownLines(text),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

QString QtDialogs::askText(QWidget* parent, const QString& prompt, const QString& title)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, QString(), &ok);
    return ok ? text : QString();
}

void QtDialogs::beep()
{
    QApplication::beep();
}

}  // namespace tavlin
