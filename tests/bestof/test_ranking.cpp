// Reading times from captions and finding a finished game's row.

#include "bestof/ranking.h"

#include <QTest>

namespace rk = tavlin::ranking;

namespace {

std::array<QString, rk::RowCount> defaultTimes()
{
    std::array<QString, rk::RowCount> times;
    for (int i = 0; i < rk::RowCount; ++i)
        times[i] = QString::number(100 + 10 * i);
    return times;
}

}  // namespace

class TestRanking : public QObject {
    Q_OBJECT

private slots:
    void finishedTimeIsTheLeadingNumber_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<double>("time");
        QTest::newRow("digits") << "57" << 57.0;
        QTest::newRow("zero") << "0" << 0.0;
        QTest::newRow("leading zeros") << "007" << 7.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("no number") << "abc" << 0.0;
        QTest::newRow("text after") << "  12 s" << 12.0;
        QTest::newRow("fraction") << "12.5" << 12.5;
        QTest::newRow("point, no fraction") << "12.x" << 12.0;
        QTest::newRow("sign") << "-3" << -3.0;
        QTest::newRow("sign alone") << "-" << 0.0;
    }

    void finishedTimeIsTheLeadingNumber()
    {
        QFETCH(QString, caption);
        QFETCH(double, time);
        QCOMPARE(rk::finishedTime(caption), time);
    }

    void rowTimeNeedsAWholeDecimalNumber()
    {
        QCOMPARE(rk::rowTime(u"100"), std::optional<double>(100));
        QCOMPARE(rk::rowTime(u"0100"), std::optional<double>(100));
        QCOMPARE(rk::rowTime(u"0"), std::optional<double>(0));
        for (const char16_t* text : {u"", u"abc", u"10a", u" 100", u"100 ", u"-5", u"1.5", u"+7"})
            QVERIFY2(!rk::rowTime(text), qPrintable(QString::fromUtf16(text)));
    }

    void placeInTheDefaultTable_data()
    {
        QTest::addColumn<double>("time");
        QTest::addColumn<int>("place");  // -1: no row
        QTest::newRow("150 ties row 5 and goes above it") << 150.0 << 5;
        QTest::newRow("100 ties row 0") << 100.0 << 0;
        QTest::newRow("190 ties the last row") << 190.0 << 9;
        QTest::newRow("191 is too slow") << 191.0 << -1;
        QTest::newRow("0") << 0.0 << 0;
        QTest::newRow("between rows") << 105.0 << 1;
    }

    void placeInTheDefaultTable()
    {
        QFETCH(double, time);
        QFETCH(int, place);
        const std::optional<int> found = rk::findPlace(defaultTimes(), time);
        QCOMPARE(found.value_or(-1), place);
    }

    void rowsWithoutANumberAreEmptyPlaces()
    {
        // A fresh install: every row empty, the first game takes row 0.
        QCOMPARE(rk::findPlace({}, 5000), std::optional<int>(0));

        // The table fills from the top: the first empty row after the
        // faster ones.
        std::array<QString, rk::RowCount> partly{"10", "20", "30"};
        QCOMPARE(rk::findPlace(partly, 25), std::optional<int>(2));
        QCOMPARE(rk::findPlace(partly, 31), std::optional<int>(3));

        // A hand-edited row is an empty place too, above slower numbers.
        std::array<QString, rk::RowCount> edited = defaultTimes();
        edited[3] = QStringLiteral("abc");
        QCOMPARE(rk::findPlace(edited, 500), std::optional<int>(3));
        QCOMPARE(rk::findPlace(edited, 115), std::optional<int>(2));
        edited[3] = QStringLiteral("0130");
        QCOMPARE(rk::findPlace(edited, 125), std::optional<int>(3));
    }

    void timeText()
    {
        QCOMPARE(rk::timeText(57), QStringLiteral("57"));
        QCOMPARE(rk::timeText(0), QStringLiteral("0"));
        QCOMPARE(rk::timeText(1000000), QStringLiteral("1000000"));
        QCOMPARE(rk::timeText(rk::finishedTime(u"0100")), QStringLiteral("100"));
    }
};

QTEST_GUILESS_MAIN(TestRanking)
#include "test_ranking.moc"
