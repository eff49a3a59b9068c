// The score file on its own: the default table byte for byte, Czech names
// through Windows-1250 and back, what loading makes of odd and huge files,
// and writes that fail without harming the old file.

#include "bestof/scorefile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace sf = tavlin::scorefile;

namespace {

// "neznámý hráč" as Windows-1250 bytes.
const QByteArray UnknownPlayer("nezn\xE1m\xFD hr\xE1\xE8");

QByteArray defaultBytes()
{
    QByteArray bytes;
    for (int time = 100; time <= 190; time += 10)
        bytes += QByteArray::number(time) + "\r\n" + UnknownPlayer + "\r\n";
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

sf::Lines loadBytes(const QByteArray& bytes, const sf::ReadLimits& limits = {})
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return sf::read(buffer, limits);
}

sf::Lines linesOf(const QStringList& first)
{
    sf::Lines lines;
    for (int i = 0; i < first.size() && i < sf::LineCount; ++i)
        lines[i] = first[i];
    return lines;
}

// Lowers the largest file size this process may write, for the length of a
// scope: a write past it fails with EFBIG, part of the way through, just as
// a disk that fills up mid-write does. Root is bound by it too.
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

class TestScoreFile : public QObject {
    Q_OBJECT

private slots:
    void windows1250IsAvailable()
    {
        QVERIFY(QStringDecoder("windows-1250").isValid());
        QVERIFY(QStringEncoder("windows-1250").isValid());
        QVERIFY(sf::codecAvailable());
    }

    void defaultFileByteForByte()
    {
        const QByteArray bytes = sf::encode(sf::defaultLines());
        QCOMPARE(bytes.size(), 190);
        QCOMPARE(bytes.left(19).toHex(' '),
                 QByteArray("31 30 30 0d 0a 6e 65 7a 6e e1 6d fd 20 68 72 e1 e8 0d 0a"));
        QCOMPARE(bytes, defaultBytes());

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tavlin.inf"));
        QVERIFY(!sf::save(path, sf::defaultLines()));
        QCOMPARE(readBytes(path), defaultBytes());
        const sf::Lines loaded = sf::load(path);
        QCOMPARE(loaded[0], QStringLiteral("100"));
        QCOMPARE(loaded[1], QStringLiteral("neznámý hráč"));
        QCOMPARE(loaded[18], QStringLiteral("190"));
        QVERIFY(loaded == sf::defaultLines());
    }

    void czechNamesRoundTrip_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("neznámý hráč") << QStringLiteral("neznámý hráč") << UnknownPlayer;
        QTest::newRow("lower case") << QStringLiteral("áčďéěíňóřšťúůýž")
                                    << QByteArray::fromHex("e1e8efe9ecedf2f3f89a9dfaf9fd9e");
        QTest::newRow("upper case") << QStringLiteral("ÁČĎÉĚÍŇÓŘŠŤÚŮÝŽ")
                                    << QByteArray::fromHex("c1c8cfc9cccdd2d3d88a8ddad9dd8e");
        QTest::newRow("sentence") << QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy")
                                  << QByteArray("P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD k\xF9\xF2 "
                                                "\xFAp\xECl \xEF\xE1\x62\x65lsk\xE9 \xF3\x64y");
    }

    void czechNamesRoundTrip()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QCOMPARE(sf::encodeLine(name), bytes);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tavlin.inf"));
        sf::Lines lines = sf::defaultLines();
        lines[1] = name;
        lines[19] = name;
        QVERIFY(!sf::save(path, lines));
        const QByteArray file = readBytes(path);
        QVERIFY(file.startsWith("100\r\n" + bytes + "\r\n"));
        QVERIFY(file.endsWith("190\r\n" + bytes + "\r\n"));
        QVERIFY(sf::load(path) == lines);
    }

    void namesThatDoNotFitOneLineOrTheCodePage()
    {
        // Line breaks and NUL would split the file's lines or end a C reader.
        QCOMPARE(sf::encodeLine(QStringLiteral("Jan\r\nNovák")), QByteArray("Jan  Nov\xE1k"));
        QCOMPARE(sf::encodeLine(QString::fromUtf16(u"a\0b\rc\nd", 7)), QByteArray("a b c d"));
        // Characters beyond Windows-1250, one "?" each, whatever their size
        // in UTF-16; characters that are in it stay, U+001A included.
        QCOMPARE(sf::encodeLine(QStringLiteral("李小龍")), QByteArray("???"));
        QCOMPARE(sf::encodeLine(QStringLiteral("Eva 😀!")), QByteArray("Eva ?!"));
        QCOMPARE(sf::encodeLine(QString::fromUtf16(u"x\xD800y", 3)), QByteArray("x?y"));
        QCOMPARE(sf::encodeLine(QString::fromUtf16(u"\x1A\x00E0\x20AC\x0142", 4)),
                 QByteArray("\x1A?\x80\xB3"));

        sf::Lines lines = sf::defaultLines();
        lines[3] = QStringLiteral("první\r\ndruhý\n");
        const sf::Lines back = loadBytes(sf::encode(lines));
        QCOMPARE(back[3], QStringLiteral("první  druhý "));
        QCOMPARE(back[4], QStringLiteral("120"));
        QCOMPARE(back[19], QStringLiteral("neznámý hráč"));
        QCOMPARE(sf::encode(lines).count('\n'), 20);
    }

    void missingFileGivesEmptyLinesAndCreatesNothing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tavlin.inf"));
        QVERIFY(sf::load(path) == sf::Lines{});
        QVERIFY(!QFile::exists(path));
        // A folder in the file's place reads like a missing file.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("tavlin.inf")));
        QVERIFY(sf::load(path) == sf::Lines{});

        // So do a pipe, which would wait for a writer, and an endless
        // device: neither may hang the game.
        const QString pipe = dir.filePath(QStringLiteral("pipe.inf"));
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QVERIFY(sf::load(pipe) == sf::Lines{});
        const QString zero = dir.filePath(QStringLiteral("zero.inf"));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), zero));
        QVERIFY(sf::load(zero) == sf::Lines{});
    }

    void linesAfterTheTwentiethAreIgnored()
    {
        QByteArray bytes = defaultBytes();
        bytes += "200\r\nnavíc\r\n300\r\n";
        QVERIFY(loadBytes(bytes) == sf::defaultLines());
    }

    void lineEndings()
    {
        // LF alone ends a line as CR LF does.
        QByteArray lfOnly = defaultBytes();
        lfOnly.replace("\r\n", "\n");
        QVERIFY(loadBytes(lfOnly) == sf::defaultLines());

        // One CR before the end is dropped; any other CR is text. The last
        // line needs no line end.
        const sf::Lines odd = loadBytes("100\r\r\na\rb\n\r\n0100\r\nPepa");
        QCOMPARE(odd[0], QStringLiteral("100\r"));
        QCOMPARE(odd[1], QStringLiteral("a\rb"));
        QCOMPARE(odd[2], QString());
        QCOMPARE(odd[3], QStringLiteral("0100"));
        QCOMPARE(odd[4], QStringLiteral("Pepa"));
        QCOMPARE(loadBytes("57\r\nEva\r")[1], QStringLiteral("Eva"));
    }

    void fewerThanTwentyLines()
    {
        // The lines there are fill the first captions; every one after them
        // is empty rather than a copy of the last line read.
        const sf::Lines lines = loadBytes("57\r\nEva\r\n80\r\n");
        QVERIFY(lines == linesOf({"57", "Eva", "80"}));
        QVERIFY(loadBytes(QByteArray()) == sf::Lines{});
    }

    void loadingTwiceGivesTheSame()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tavlin.inf"));
        writeBytes(path, "0100\r\n\r\n110\r\nEva\r\n");
        const sf::Lines first = sf::load(path);
        QVERIFY(first == linesOf({"0100", "", "110", "Eva"}));
        QVERIFY(sf::load(path) == first);
    }

    void everyByteValue()
    {
        QByteArray bytes;
        for (int b = 0; b < 256; ++b)
            bytes.append(static_cast<char>(b));
        const sf::Lines lines = loadBytes(bytes);
        // 0x0A ends the first line; 0x0D is then in the middle of the second.
        QCOMPARE(lines[0].size(), 10);
        QCOMPARE(lines[0].at(0), QChar(0));
        QCOMPARE(lines[1].size(), 256 - 11);
        QCOMPARE(lines[1].at(0x0D - 11), QChar(u'\r'));
        QCOMPARE(lines[1].at(0xE8 - 11), QChar(u'č'));
        QCOMPARE(lines[1].at(0x9A - 11), QChar(u'š'));
        for (int i = 2; i < sf::LineCount; ++i)
            QVERIFY(lines[i].isEmpty());
        // Written back, the file keeps twenty lines.
        QCOMPARE(loadBytes(sf::encode(lines))[1].size(), 256 - 11);
        QCOMPARE(sf::encode(lines).count('\n'), 20);
    }

    void megabyteLine()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tavlin.inf"));
        QByteArray bytes = "100\r\n" + QByteArray(1024 * 1024, 'x') + "\r\n110\r\nEva\r\n";
        writeBytes(path, bytes);
        const sf::Lines lines = sf::load(path);
        QCOMPARE(lines[0], QStringLiteral("100"));
        QCOMPARE(lines[1].size(), sf::ReadLimits{}.maxLineBytes);
        QVERIFY(lines[1].count(QChar(u'x')) == lines[1].size());
        // The rest of the long line is skipped, not taken for lines.
        QCOMPARE(lines[2], QStringLiteral("110"));
        QCOMPARE(lines[3], QStringLiteral("Eva"));
        QVERIFY(lines[4].isEmpty());
    }

    void readLimits()
    {
        sf::ReadLimits small;
        small.maxLineBytes = 5;
        const sf::Lines cut = loadBytes("abcdef\r\nabcde\r\nabcd\r\nabcdefghij\nz", small);
        QVERIFY(cut == linesOf({"abcde", "abcde", "abcd", "abcde", "z"}));

        // Past the scan budget every read fails as at the end of the file.
        small.maxLineBytes = 100;
        small.maxScanBytes = 12;
        QVERIFY(loadBytes("100\r\nEva\r\n110\r\nAdam\r\n", small)
                == linesOf({"100", "Eva", "11"}));
    }

    void writeReplacesTheWholeFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tavlin.inf"));
        writeBytes(path, QByteArray(5000, 'y'));
        QVERIFY(!sf::save(path, sf::defaultLines()));
        QCOMPARE(readBytes(path), defaultBytes());
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList{QStringLiteral("tavlin.inf")});
    }

    void writeIntoAFolderInTheFilesPlace()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tavlin.inf"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("tavlin.inf")));
        const std::optional<sf::WriteFailure> failure = sf::save(path, sf::defaultLines());
        QVERIFY(failure);
        QCOMPARE(failure->cause, sf::WriteFailure::Cause::FolderInPlace);
        QVERIFY(QFileInfo(path).isDir());
        QVERIFY(QDir(path).isEmpty());

        const QString text = sf::failureText(path, *failure);
        QVERIFY(text.startsWith(QStringLiteral("Tabulku nejlepších hráčů se nepodařilo uložit.\r")));
        QVERIFY(text.contains(QStringLiteral("Důvod: Na místě souboru je složka se stejným jménem.")));
        QVERIFY(text.contains(QDir::toNativeSeparators(path)));
        QVERIFY(!text.contains(QChar(u'\n')));
    }

    void writeIntoAMissingFolder()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("chybí/tavlin.inf"));
        const std::optional<sf::WriteFailure> failure = sf::save(path, sf::defaultLines());
        QVERIFY(failure);
        QCOMPARE(failure->cause, sf::WriteFailure::Cause::FolderMissing);
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("chybí"))));
        QVERIFY(sf::failureText(path, *failure).contains(QStringLiteral("neexistuje")));
    }

    void writeThatFailsMidwayKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tavlin.inf"));
        writeBytes(path, defaultBytes());

        sf::Lines lines = sf::defaultLines();
        for (int row = 0; row < sf::RowCount; ++row)
            lines[2 * row + 1] = QString(300, QChar(u'ž'));
        const QByteArray newBytes = sf::encode(lines);
        QVERIFY(newBytes.size() > 3000);

        std::optional<sf::WriteFailure> failure;
        {
            // The new file gets its first kilobyte, then the disk is "full".
            FileSizeLimit limit(1024);
            QVERIFY(limit.ok());
            failure = sf::writeFile(path, newBytes);
        }
        QVERIFY(failure);
        QCOMPARE(failure->cause, sf::WriteFailure::Cause::WriteFailed);
        QCOMPARE(readBytes(path), defaultBytes());
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
                 QStringList{QStringLiteral("tavlin.inf")});
        QVERIFY(sf::failureText(path, *failure).contains(QStringLiteral("Disk je možná plný.")));

        // With room again the same write goes through whole.
        QVERIFY(!sf::writeFile(path, newBytes));
        QCOMPARE(readBytes(path), newBytes);
    }
};

QTEST_GUILESS_MAIN(TestScoreFile)
#include "test_scorefile.moc"
