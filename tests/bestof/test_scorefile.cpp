// SPDX-License-Identifier: 0BSD
// The score file's format without a disk: twenty lines read within bounds, and written in Windows-1250 with CR LF.

#include "bestof/scorefile.h"
#include "fixtures/tables.h"

#include <QBuffer>
#include <QTest>

using namespace tavlin;
using namespace tavlin::testing;

namespace {

scorefile::Lines readFrom(QByteArray bytes, const scorefile::ReadLimits& limits = {})
{
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    return scorefile::read(in, limits);
}

}  // namespace

class TestScoreFile : public QObject {
    Q_OBJECT
private slots:
    // A line ends at LF with one CR before it dropped; an overlong line keeps
    // its beginning; what a file lacks reads as empty lines, what it has past
    // the bytes looked at too.
    void reading()
    {
        const QByteArray overlong(1 << 20, 'x');
        QCOMPARE(listOf(readFrom("100\r\n" + overlong + "\r\nEva\r\r\n1\r2\nP\xF8\xEDli\x9A \x8E\r\n0100")),
                 table({"100", QString(scorefile::ReadLimits{}.maxLineBytes, u'x'), "Eva\r", "1\r2", "Příliš Ž", "0100"}));
        QCOMPARE(listOf(readFrom("1\n2\n3\n4\n", {10, 4})), table({"1", "2"}));
        QCOMPARE(listOf(readFrom(QByteArray("a\r\n").repeated(25))), QStringList(scorefile::LineCount, "a"));
    }

    // Each line stays one line; what Windows-1250 lacks becomes "?".
    void writing()
    {
        scorefile::Lines lines = scorefile::defaultLines();
        lines[1] = QStringLiteral("Jan\r\nNovák") + QChar(0) + QStringLiteral("李😀\x1A€");
        const QByteArray unknown = "nezn\xE1m\xFD hr\xE1\xE8\r\n";
        QByteArray expected = "100\r\nJan  Nov\xE1k ??\x1A\x80\r\n";
        for (int time = 110; time <= 190; time += 10)
            expected += QByteArray::number(time) + "\r\n" + unknown;
        QCOMPARE(scorefile::encode(lines), expected);
        QCOMPARE(readFrom(scorefile::encode(scorefile::defaultLines())), scorefile::defaultLines());
    }
};

QTEST_APPLESS_MAIN(TestScoreFile)
#include "test_scorefile.moc"
