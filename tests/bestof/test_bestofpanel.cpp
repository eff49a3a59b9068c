// The best-of panel in the real window on the offscreen platform: showing,
// closing and clearing the table, ranking finished games into it, and what
// the player sees when the score file cannot be written.

#include "bestof/bestofpanel.h"
#include "fakedialogs.h"
#include "window/form1.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <deque>
#include <memory>
#include <sys/resource.h>
#include <utility>
#include <vector>

using tavlin::BestOfPanel;
using tavlin::Form1;
using tavlin::testing::FakeDialogs;

namespace {

using Kind = FakeDialogs::Kind;
using Row = std::pair<QByteArray, QByteArray>;  // time and name, Windows-1250

const QByteArray Unknown("nezn\xE1m\xFD hr\xE1\xE8");
const QString ClearPrompt = QStringLiteral("Opravdu chcete vymazat tabulku s nejvyšším skóre?");
const QString NamePrompt = QStringLiteral("Gratuluji vám k umístění! Zadejte vaše jméno:");

std::vector<Row> defaultRows()
{
    std::vector<Row> rows;
    for (int time = 100; time <= 190; time += 10)
        rows.emplace_back(QByteArray::number(time), Unknown);
    return rows;
}

QByteArray fileOf(std::vector<Row> rows)
{
    rows.resize(10);
    QByteArray bytes;
    for (const Row& row : rows)
        bytes += row.first + "\r\n" + row.second + "\r\n";
    return bytes;
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the panel shows, as Windows-1250 rows, to compare with a file.
std::vector<Row> shownRows(const BestOfPanel& panel)
{
    std::vector<Row> rows;
    for (int i = 0; i < BestOfPanel::Rows; ++i) {
        rows.emplace_back(tavlin::scorefile::encodeLine(panel.scr(i)->caption()),
                          tavlin::scorefile::encodeLine(panel.Jmeno(i)->caption()));
    }
    return rows;
}

QStringList captions(const BestOfPanel& panel)
{
    QStringList texts;
    for (int i = 0; i < BestOfPanel::Rows; ++i)
        texts << panel.scr(i)->caption() << panel.Jmeno(i)->caption();
    return texts;
}

// A moment well in the past, to see whether a file was written again.
const QDateTime Long_ago = QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC);

void backdate(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(Long_ago, QFileDevice::FileModificationTime));
}

bool untouchedSinceBackdated(const QString& path)
{
    return QFileInfo(path).lastModified() == Long_ago;
}

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        ok_ = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }
    bool ok() const { return ok_; }

private:
    rlimit saved_{};
    bool ok_ = false;
};

}  // namespace

class TestBestOfPanel : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString path_;
    std::unique_ptr<FakeDialogs> dialogs_;
    std::unique_ptr<Form1> form_;

    BestOfPanel& panel() { return *form_->Picture2(); }

    // A finished game whose clock shows `time`, ranked the way the solved
    // board ranks it.
    void finishGame(const QString& time, std::deque<QString> names = {})
    {
        dialogs_->textAnswers = std::move(names);
        form_->Label2()->setCaption(time);
        form_->Command3_Click();
    }

    int count(Kind kind) const
    {
        int n = 0;
        for (const FakeDialogs::Box& box : dialogs_->boxes)
            n += box.kind == kind;
        return n;
    }

    void pressKey(Qt::Key key) { QTest::keyClick(form_.get(), key); }

private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        path_ = dir_->filePath(QStringLiteral("tavlin.inf"));
        dialogs_ = std::make_unique<FakeDialogs>();
        form_ = std::make_unique<Form1>(*dialogs_, path_);
        form_->show();
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        QVERIFY(panel().isHidden());
    }

    void cleanup()
    {
        form_.reset();
        dialogs_.reset();
        dir_.reset();
    }

    void f2ShowsTheFileAtTheCorner()
    {
        const std::vector<Row> rows{{"57", "Eva"}, {"0100", ""}, {"abc", "P\xF8\xEDli\x9A"}};
        writeBytes(path_, fileOf(rows));
        panel().move(30, 40);
        pressKey(Qt::Key_F2);
        QVERIFY(panel().isVisible());
        QCOMPARE(panel().pos(), QPoint(0, 0));
        // It covers the whole client area, strip and board.
        QVERIFY(panel().geometry().contains(form_->surface()->rect()));
        QCOMPARE(panel().scr(1)->caption(), QStringLiteral("0100"));
        QCOMPARE(panel().Jmeno(2)->caption(), QStringLiteral("Příliš"));
        QCOMPARE(shownRows(panel()), [&] { auto r = rows; r.resize(10); return r; }());

        // Every show reads the file anew.
        writeBytes(path_, fileOf(defaultRows()));
        pressKey(Qt::Key_F2);
        QCOMPARE(shownRows(panel()), defaultRows());
        QVERIFY(dialogs_->boxes.empty());
    }

    void showWithAMissingFile()
    {
        form_->mnuBestOf_Click();
        QVERIFY(panel().isVisible());
        for (const QString& text : captions(panel()))
            QVERIFY(text.isEmpty());
        QVERIFY(!QFile::exists(path_));
        QVERIFY(dialogs_->boxes.empty());
    }

    void zpetHidesAndWritesNothing()
    {
        pressKey(Qt::Key_F2);
        QTest::mouseClick(panel().Label4(), Qt::LeftButton);
        QVERIFY(panel().isHidden());
        QVERIFY(!QFile::exists(path_));

        writeBytes(path_, fileOf(defaultRows()));
        backdate(path_);
        pressKey(Qt::Key_F2);
        QTest::mouseClick(panel().Label4(), Qt::LeftButton);
        QVERIFY(panel().isHidden());
        QVERIFY(untouchedSinceBackdated(path_));
        QCOMPARE(shownRows(panel()), defaultRows());
        QCOMPARE(panel().Label4()->toolTip(), QStringLiteral("Zavřít okno"));
    }

    void clearAnsweredNoChangesNothing()
    {
        const QByteArray mine = fileOf({{"42", "Adam"}});
        writeBytes(path_, mine);
        pressKey(Qt::Key_F2);
        // Changed behind the panel's back: No neither writes nor reloads.
        const QByteArray changed = fileOf({{"43", "Bára"}});
        writeBytes(path_, changed);
        dialogs_->confirmAnswers = {false};
        QTest::mouseClick(panel().Label5(), Qt::LeftButton);

        QCOMPARE(dialogs_->boxes.size(), size_t(1));
        QCOMPARE(dialogs_->boxes[0].kind, Kind::Confirm);
        QCOMPARE(dialogs_->boxes[0].text, ClearPrompt);
        QCOMPARE(dialogs_->boxes[0].title, QStringLiteral("Vymazat tabulku"));
        QCOMPARE(readBytes(path_), changed);
        QCOMPARE(panel().scr(0)->caption(), QStringLiteral("42"));
        QCOMPARE(panel().Jmeno(0)->caption(), QStringLiteral("Adam"));
        QVERIFY(panel().isVisible());
    }

    void clearAnsweredYesWritesTheDefaultTable()
    {
        // Also when there was no file at all.
        pressKey(Qt::Key_F2);
        dialogs_->confirmAnswers = {true};
        QTest::mouseClick(panel().Label5(), Qt::LeftButton);
        QCOMPARE(readBytes(path_), fileOf(defaultRows()));
        QCOMPARE(readBytes(path_).size(), 190);
        QCOMPARE(shownRows(panel()), defaultRows());
        QCOMPARE(panel().Jmeno(9)->caption(), QStringLiteral("neznámý hráč"));
        QVERIFY(panel().isVisible());
        QCOMPARE(panel().pos(), QPoint(0, 0));

        // And over a table of real names.
        writeBytes(path_, fileOf({{"42", "Adam"}, {"43", "Bára"}}));
        pressKey(Qt::Key_F2);
        dialogs_->confirmAnswers = {true};
        QTest::mouseClick(panel().Label5(), Qt::LeftButton);
        QCOMPARE(readBytes(path_), fileOf(defaultRows()));
        QCOMPARE(shownRows(panel()), defaultRows());
        QCOMPARE(count(Kind::Inform), 0);
    }

    void rankingAgainstTheDefaultTable_data()
    {
        QTest::addColumn<QString>("time");
        QTest::addColumn<int>("place");  // -1: not ranked
        QTest::newRow("150") << "150" << 5;
        QTest::newRow("100") << "100" << 0;
        QTest::newRow("190") << "190" << 9;
        QTest::newRow("191") << "191" << -1;
        QTest::newRow("0") << "0" << 0;
    }

    void rankingAgainstTheDefaultTable()
    {
        QFETCH(QString, time);
        QFETCH(int, place);
        writeBytes(path_, fileOf(defaultRows()));
        backdate(path_);
        panel().move(25, 25);
        finishGame(time, {QStringLiteral("Šárka")});

        QVERIFY(panel().isVisible());
        QCOMPARE(panel().pos(), QPoint(0, 0));
        QCOMPARE(form_->Label2()->caption(), time);

        std::vector<Row> expected = defaultRows();
        if (place < 0) {
            QVERIFY(dialogs_->boxes.empty());
            QVERIFY(untouchedSinceBackdated(path_));
            QCOMPARE(readBytes(path_), fileOf(expected));
        } else {
            expected.insert(expected.begin() + place, Row(time.toLatin1(), "\x8A\xE1rka"));
            expected.resize(10);
            QCOMPARE(dialogs_->boxes.size(), size_t(1));
            QCOMPARE(dialogs_->boxes[0].kind, Kind::AskText);
            QCOMPARE(dialogs_->boxes[0].text, NamePrompt);
            QCOMPARE(dialogs_->boxes[0].title, QStringLiteral("Konec hry"));
            QCOMPARE(readBytes(path_), fileOf(expected));
        }
        QCOMPARE(shownRows(panel()), expected);
    }

    void rankingAt150RowByRow()
    {
        // Rows 0 to 4 stay, the new row is row 5, the old rows 5 to 8 move
        // down one, and the old row 9 is gone.
        writeBytes(path_, fileOf(defaultRows()));
        finishGame(QStringLiteral("150"), {QStringLiteral("Eva")});
        const QStringList shown = captions(panel());
        const QStringList expected{
            "100", "neznámý hráč", "110", "neznámý hráč", "120", "neznámý hráč",
            "130", "neznámý hráč", "140", "neznámý hráč", "150", "Eva",
            "150", "neznámý hráč", "160", "neznámý hráč", "170", "neznámý hráč",
            "180", "neznámý hráč"};
        QCOMPARE(shown, expected);
    }

    void equalTimesTheLaterAbove()
    {
        writeBytes(path_, fileOf(defaultRows()));
        finishGame(QStringLiteral("150"), {QStringLiteral("Anna")});
        finishGame(QStringLiteral("150"), {QStringLiteral("Bohouš")});
        std::vector<Row> expected = defaultRows();
        expected.insert(expected.begin() + 5, {{"150", "Bohou\x9A"}, {"150", "Anna"}});
        expected.resize(10);
        QCOMPARE(readBytes(path_), fileOf(expected));
        QCOMPARE(shownRows(panel()), expected);
    }

    void cancelGivesAnEmptyName()
    {
        writeBytes(path_, fileOf(defaultRows()));
        finishGame(QStringLiteral("125"));  // no answer scripted: cancelled
        QCOMPARE(count(Kind::AskText), 1);
        QCOMPARE(panel().scr(3)->caption(), QStringLiteral("125"));
        QCOMPARE(panel().Jmeno(3)->caption(), QString());
        QVERIFY(readBytes(path_).contains("120\r\n" + Unknown + "\r\n125\r\n\r\n130\r\n"));
    }

    void aFreshInstallFillsTheTableFromTheTop()
    {
        finishGame(QStringLiteral("57"), {QStringLiteral("Eva")});
        QCOMPARE(readBytes(path_), fileOf({{"57", "Eva"}}));
        QCOMPARE(readBytes(path_).count('\n'), 20);
        finishGame(QStringLiteral("80"), {QStringLiteral("Jan")});
        finishGame(QStringLiteral("40"), {QStringLiteral("Iva")});
        QCOMPARE(readBytes(path_), fileOf({{"40", "Iva"}, {"57", "Eva"}, {"80", "Jan"}}));

        // A hand-edited row is an empty place: the next game may take it.
        writeBytes(path_, fileOf({{"40", "Iva"}, {"z\xEDtra", "Ota"}, {"80", "Jan"}}));
        finishGame(QStringLiteral("300"), {QStringLiteral("Ema")});
        QCOMPARE(readBytes(path_),
                 fileOf({{"40", "Iva"}, {"300", "Ema"}, {"z\xEDtra", "Ota"}, {"80", "Jan"}}));
    }

    void oddNamesStillGiveTwentyLines()
    {
        writeBytes(path_, fileOf(defaultRows()));
        const QString typed = QString::fromUtf16(u"Jan\r\nNovák\0李", 12);
        finishGame(QStringLiteral("105"), {typed});
        // The label shows what was typed; the file gets one line for it.
        QCOMPARE(panel().Jmeno(1)->caption(), typed);
        const QByteArray bytes = readBytes(path_);
        QCOMPARE(bytes.count('\n'), 20);
        QVERIFY(bytes.contains("105\r\nJan  Nov\xE1k ?\r\n110\r\n"));
        form_->mnuBestOf_Click();
        QCOMPARE(panel().Jmeno(1)->caption(), QStringLiteral("Jan  Novák ?"));
        QCOMPARE(panel().scr(2)->caption(), QStringLiteral("110"));
    }

    void aFolderInTheFilesPlace()
    {
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("tavlin.inf")));
        QStringList shownDuringMessage;
        dialogs_->onInform = [&](const QString&, const QString&) {
            shownDuringMessage = captions(panel());
        };
        finishGame(QStringLiteral("150"), {QStringLiteral("Pepa")});

        QCOMPARE(count(Kind::Inform), 1);
        const FakeDialogs::Box& box = dialogs_->boxes.back();
        QCOMPARE(box.kind, Kind::Inform);
        QCOMPARE(box.title, QStringLiteral("Nejlepší hráči"));
        QVERIFY(box.text.startsWith(QStringLiteral("Tabulku nejlepších hráčů se nepodařilo uložit.")));
        QVERIFY(box.text.contains(QStringLiteral("složka")));
        // The labels keep the new table, while the box is open and after.
        QStringList expected;
        for (int i = 0; i < 20; ++i)
            expected << QString();
        expected[0] = QStringLiteral("150");
        expected[1] = QStringLiteral("Pepa");
        QCOMPARE(shownDuringMessage, expected);
        QCOMPARE(captions(panel()), expected);
        QVERIFY(panel().isVisible());
        QVERIFY(QFileInfo(path_).isDir());

        // The game goes on: a new game, the table again, and a clear that
        // fails the same way and shows the default table it could not save.
        pressKey(Qt::Key_F1);
        QVERIFY(form_->isVisible());
        dialogs_->confirmAnswers = {true};
        QTest::mouseClick(panel().Label5(), Qt::LeftButton);
        QCOMPARE(count(Kind::Inform), 2);
        QCOMPARE(shownRows(panel()), defaultRows());
        QVERIFY(QFileInfo(path_).isDir());
        pressKey(Qt::Key_F2);
        QVERIFY(panel().isVisible());
    }

    void aWriteThatFailsMidwayKeepsTheOldFile()
    {
        const QByteArray old = fileOf(defaultRows());
        writeBytes(path_, old);
        {
            // The new file gets its first 100 bytes, then the disk is "full".
            FileSizeLimit limit(100);
            QVERIFY(limit.ok());
            finishGame(QStringLiteral("150"), {QStringLiteral("Pepa")});
        }
        QCOMPARE(count(Kind::Inform), 1);
        QVERIFY(dialogs_->boxes.back().text.contains(QStringLiteral("Disk je možná plný.")));
        QCOMPARE(readBytes(path_), old);
        QCOMPARE(QDir(dir_->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
                 QStringList{QStringLiteral("tavlin.inf")});
        QCOMPARE(panel().Jmeno(5)->caption(), QStringLiteral("Pepa"));
    }

    void hugeAndOddFilesLoad()
    {
        QByteArray every;
        for (int b = 0; b < 256; ++b)
            every.append(static_cast<char>(b));
        writeBytes(path_, every);
        pressKey(Qt::Key_F2);
        QCOMPARE(panel().scr(0)->caption().size(), 10);
        QCOMPARE(panel().Jmeno(0)->caption().size(), 245);

        writeBytes(path_, "1\r\n" + QByteArray(1024 * 1024, 'w') + "\r\n2\r\nAl\r\n");
        pressKey(Qt::Key_F2);
        QCOMPARE(panel().scr(1)->caption(), QStringLiteral("2"));
        QCOMPARE(panel().Jmeno(1)->caption(), QStringLiteral("Al"));
        // A game ranked against it writes a file that loads the same again.
        finishGame(QStringLiteral("1"), {QStringLiteral("Ola")});
        const QStringList after = captions(panel());
        form_->mnuBestOf_Click();
        QCOMPARE(captions(panel()), after);
    }

    void menuKeysWorkWhileThePanelIsShown()
    {
        writeBytes(path_, fileOf(defaultRows()));
        pressKey(Qt::Key_F2);
        QVERIFY(panel().isVisible());
        // A new game leaves the panel open.
        form_->Label1()->setCaption(QStringLiteral("Počet tahů: 99"));
        pressKey(Qt::Key_F1);
        QCOMPARE(form_->Label1()->caption(), QStringLiteral("Počet tahů: 0"));
        QVERIFY(panel().isVisible());
        pressKey(Qt::Key_F2);
        QVERIFY(panel().isVisible());
        pressKey(Qt::Key_F3);
        QVERIFY(!form_->isVisible());
        QCOMPARE(readBytes(path_), fileOf(defaultRows()));
    }

    void hiddenButtonsNameTheOperations()
    {
        writeBytes(path_, fileOf(defaultRows()));
        QVERIFY(panel().Command2()->isHidden());
        QVERIFY(panel().Command3()->isHidden());
        panel().Command2_Click();
        // The load fills the labels and nothing else: the panel stays hidden.
        QVERIFY(panel().isHidden());
        QCOMPARE(shownRows(panel()), defaultRows());
    }
};

QTEST_MAIN(TestBestOfPanel)
#include "test_bestofpanel.moc"
