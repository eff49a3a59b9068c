// SPDX-License-Identifier: 0BSD
#include "dialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

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
    // Qt's own buttons speak English unless its translations are installed;
    // the game's player reads Czech everywhere.
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
    return box.exec() == QDialog::Accepted ? box.textValue() : QString();
}

void QtDialogs::beep()
{
    QApplication::beep();
}

}  // namespace tavlin
