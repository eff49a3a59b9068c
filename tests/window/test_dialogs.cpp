// SPDX-License-Identifier: 0BSD
// The real boxes on the offscreen platform: lines broken where the game breaks them, Czech buttons and texts, answers.

#include "window/dialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace tavlin;

namespace {

// Runs `answer` on the modal box that opens next, inside the box's own loop;
// a box that a failed check left open is closed, so that the test goes on.
void whenBoxOpens(std::function<void(QWidget*)> answer)
{
    QTimer::singleShot(0, qApp, [answer] {
        const QPointer<QWidget> box = QApplication::activeModalWidget();
        answer(box);
        if (box && box->isVisible())
            box->close();
    });
}

}  // namespace

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void theRealBoxes()
    {
        QtDialogs dialogs;
        const QString line = QStringLiteral("čísla šla ").repeated(9);  // wider than the 500 px where Qt wraps
        whenBoxOpens([line](QWidget* box) {
            auto* message = qobject_cast<QMessageBox*>(box);
            QCOMPARE(message->text(), "a\n\n" + line);  // lone CRs break the lines, and only they
            const auto* label = message->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(line));
            QCOMPARE(message->icon(), QMessageBox::Information);
            message->button(QMessageBox::Ok)->click();
        });
        dialogs.inform(nullptr, "a\r\r" + line, QStringLiteral("Titulek"));

        whenBoxOpens([](QWidget* box) {
            auto* question = qobject_cast<QMessageBox*>(box);
            QCOMPARE(question->icon(), QMessageBox::Question);
            QCOMPARE(question->button(QMessageBox::Yes)->text(), QStringLiteral("&Ano"));
            QCOMPARE(question->button(QMessageBox::No)->text(), QStringLiteral("&Ne"));
            QTest::keyClick(question, Qt::Key_Return);  // the default answers Yes
        });
        QVERIFY(dialogs.confirm(nullptr, QStringLiteral("Opravdu?"), QStringLiteral("Otázka")));

        if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_cs.qm"))
            QSKIP("Qt's Czech texts are missing (Debian's qt6-translations-l10n; scripts/setup installs it)");
        for (bool accept : {false, true}) {
            whenBoxOpens([accept](QWidget* box) {
                auto* input = qobject_cast<QInputDialog*>(box);
                QCOMPARE(input->textValue(), QString());
                const auto menu = std::unique_ptr<QMenu>(input->findChild<QLineEdit*>()->createStandardContextMenu());
                QCOMPARE(menu->actions().first()->text().remove(u'&').section(u'\t', 0, 0), QStringLiteral("Zpět"));
                QCOMPARE(input->cancelButtonText(), QStringLiteral("Zrušit"));
                input->setTextValue(QStringLiteral("Pepa"));
                accept ? input->accept() : input->reject();
            });
            QCOMPARE(dialogs.askText(nullptr, QStringLiteral("Jméno:"), QStringLiteral("Konec hry")),
                     accept ? QStringLiteral("Pepa") : QString());
        }
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
