// SPDX-License-Identifier: 0BSD
// The ranking without widgets or a disk: where a finished time goes, and how times are read and written.

#include "bestof/ranking.h"
#include "fixtures/tables.h"

#include <QTest>

using namespace tavlin;
using namespace tavlin::testing;

class TestRanking : public QObject {
    Q_OBJECT
private slots:
    void placeOfATime_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("time");
        QTest::addColumn<int>("row");  // -1: no row
        const QStringList defaults = listOf(scorefile::defaultLines());
        for (auto [time, row] : {std::pair{150, 5}, {100, 0}, {190, 9}, {0, 0}, {191, -1}})
            QTest::addRow("%d s", time) << defaults << QString::number(time) << row;
        // A row without a number is an empty place, slower than any time.
        QTest::newRow("empty table") << QStringList() << QStringLiteral("1000000") << 0;
        QStringList edited = defaults;
        edited[scorefile::timeLine(3)] = "abc";
        QTest::newRow("edited row") << edited << QStringLiteral("500") << 3;
        QStringList numbers = defaults;  // hand-edited times that are numbers all the same
        numbers[scorefile::timeLine(0)] = "+99";
        numbers[scorefile::timeLine(1)] = "105.5";
        QTest::newRow("signed and decimal times") << numbers << QStringLiteral("106") << 2;
    }

    void placeOfATime()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, time);
        QFETCH(int, row);
        const auto after = ranking::withRow(linesOf(before), time.toDouble(), QStringLiteral("Šárka"));
        QCOMPARE(ranking::placeFor(linesOf(before), time.toDouble()).value_or(-1), row);
        QCOMPARE(after.has_value(), row >= 0);
        if (after)
            QCOMPARE(listOf(*after), ranked(before, row, time, QStringLiteral("Šárka")));
    }

    // Of two equal times the later goes above.
    void anEqualTimeGoesAbove()
    {
        const auto once = ranking::withRow(scorefile::defaultLines(), 150, QStringLiteral("první"));
        const auto twice = ranking::withRow(*once, 150, QStringLiteral("druhý"));
        QCOMPARE(listOf(*twice).mid(10, 4), (QStringList{"150", "druhý", "150", "první"}));
    }

    void timesReadAndWritten()
    {
        for (auto [caption, seconds] : {std::pair{"7", 7.0}, {" 42 s", 42.0}, {"0.5", 0.5}, {"", 0.0}, {"x5", 0.0}})
            QCOMPARE(ranking::finishedTime(QString::fromUtf8(caption)), seconds);
        for (const char* number : {"150", "0150", "+150", "-1", "150.5", ".5"})
            QVERIFY2(ranking::rowTime(QString::fromUtf8(number)), number);
        for (const char* notANumber : {"", ".", "1.2.3", " 150", "1e3", "abc"})
            QVERIFY2(!ranking::rowTime(QString::fromUtf8(notANumber)), notANumber);
        QCOMPARE(ranking::timeText(1000000), QStringLiteral("1000000"));
        QCOMPARE(ranking::timeText(0.5), QStringLiteral("0.5"));
    }
};

QTEST_APPLESS_MAIN(TestRanking)
#include "test_ranking.moc"
