// The score file on its own: the default table byte for byte, Czech names
// through Windows-1250 and back, what loading makes of odd and huge files,
// and a write that fails midway.

#include "scorefiles.h"

#include <QDir>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace sf = tavlin::scorefile;
using namespace tavlin::testing;

class TestScoreFile : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString path() const { return dir_.filePath(QStringLiteral("tavlin.inf")); }

private slots:
    void cleanup() { QFile::remove(path()); }

    void defaultFileByteForByte()
    {
        QVERIFY(QStringDecoder("windows-1250").isValid());
        // Row 0 as bytes; the rest of the file is compared in namesRoundTrip.
        QCOMPARE(defaultBytes().size(), 190);
        QCOMPARE(defaultBytes().left(19).toHex(' '),
                 QByteArray("31 30 30 0d 0a 6e 65 7a 6e e1 6d fd 20 68 72 e1 e8 0d 0a"));
    }

    void namesRoundTrip_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("neznámý hráč") << "neznámý hráč" << QByteArray("nezn\xE1m\xFD hr\xE1\xE8");
        QTest::newRow("every Czech letter")
            << "áčďéěíňóřšťúůýž ÁČĎÉĚÍŇÓŘŠŤÚŮÝŽ"
            << QByteArray::fromHex("e1e8efe9ecedf2f3f89a9dfaf9fd9e20c1c8cfc9cccdd2d3d88a8ddad9dd8e");
        // Line breaks and NUL would split the file's lines. A character
        // beyond the code page is one "?", whatever its size in UTF-16; the
        // converter marks such with 0x1A, which is a real character too.
        QTest::newRow("odd") << QStringLiteral("Jan\r\nNovák") + QChar(0) + QStringLiteral("李😀\x1A€")
                             << QByteArray("Jan  Nov\xE1k ??\x1A\x80");
    }

    void namesRoundTrip()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        sf::Lines lines = sf::defaultLines();
        lines[1] = name;
        QVERIFY(!sf::save(path(), lines));
        QCOMPARE(readBytes(path()), "100\r\n" + bytes + "\r\n" + defaultBytes().mid(19));
        lines[1] = QStringDecoder("windows-1250").decode(bytes);
        QCOMPARE(listOf(sf::load(path())), listOf(lines));
    }

    void loading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        const QStringList defaults = listOf(sf::defaultLines());
        QTest::newRow("25 lines") << defaultBytes() + "200\r\nnavíc\r\n300\r\nx\r\n400\r\n" << defaults;
        QTest::newRow("LF only") << QByteArray(defaultBytes()).replace("\r\n", "\n") << defaults;
        // The captions after the last line are empty, not copies of it.
        QTest::newRow("fewer than 20") << QByteArray("57\r\nEva\r\n80") << table({"57", "Eva", "80"});
        QByteArray every;
        for (int b = 0; b < 256; ++b)
            every.append(static_cast<char>(b));
        QStringDecoder decode("windows-1250");
        // Only 0x0A ends a line; 0x0D in the middle of one is text.
        QTest::newRow("every byte") << every << table({decode(every.left(10)), decode(every.mid(11))});
        // The rest of an overlong line is skipped, not taken for lines.
        QTest::newRow("1 MiB line") << "100\r\n" + QByteArray(1 << 20, 'x') + "\r\n110\r\nEva\r\n"
                                    << table({"100", QString(sf::ReadLimits{}.maxLineBytes, u'x'), "110", "Eva"});
    }

    void loading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        writeBytes(path(), bytes);
        QCOMPARE(listOf(sf::load(path())), lines);
    }

    void aPipeLoadsEmptyWithoutWaitingForAWriter()
    {
        QCOMPARE(::mkfifo(QFile::encodeName(path()).constData(), 0600), 0);
        QCOMPARE(listOf(sf::load(path())), table({}));
    }

    void aWriteThatFailsMidwayKeepsTheOldFile()
    {
        writeBytes(path(), defaultBytes());
        // The new file gets its first kilobyte, then the disk is "full": a
        // write past RLIMIT_FSIZE fails with EFBIG, root's too.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit lowered{1024, saved.rlim_max};
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &lowered), 0);
        const std::optional<sf::WriteFailure> failure = sf::writeFile(path(), QByteArray(4096, 'x'));
        setrlimit(RLIMIT_FSIZE, &saved);

        QVERIFY(failure);
        QCOMPARE(readBytes(path()), defaultBytes());
        QCOMPARE(QDir(dir_.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
                 QStringList{QStringLiteral("tavlin.inf")});
        QVERIFY(sf::failureText(path(), *failure).contains(QStringLiteral("Disk je možná plný.")));
    }
};

QTEST_GUILESS_MAIN(TestScoreFile)
#include "test_scorefile.moc"
