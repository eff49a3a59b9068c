// SPDX-License-Identifier: 0BSD
// The boxes and the beep as Qt shows them: Czech buttons, lines kept as written, centred over the window.
#include "window/dialogs.h"

#include "window/placement.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

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
    keepCentredOverWindow(box);
    box.exec();
}

bool QtDialogs::confirm(QWidget* parent, const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Question, title, shownLines(text),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);
    keepLines(box);
    keepCentredOverWindow(box);
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
    keepCentredOverWindow(box);
    return box.exec() == QDialog::Accepted ? box.textValue() : QString();
}

void QtDialogs::beep()
{
    QApplication::beep();
}

}  // namespace tavlin
