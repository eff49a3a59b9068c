// SPDX-License-Identifier: 0BSD
// The board alone: where the tiles stand in twips, which cell holds which tile, slides, neighbours, the solved board.

#include "board/board.h"

#include <QTest>

using namespace tavlin;

class TestBoard : public QObject {
    Q_OBJECT
private slots:
    void layOutAndSlide()
    {
        Board board;
        board.layOut(3360, 4095, 306);
        QCOMPARE(board.place(1), (TilePlace{0, 306}));
        QCOMPARE(board.place(7), (TilePlace{1680, 1253.25f}));
        QCOMPARE(board.cellTop(4) + board.cellHeight(), 4095.f);  // the bottom row ends at the inner height
        QVERIFY(board.isSolved());
        QCOMPARE(board.freeCell(), (Cell{4, 4}));

        // Only the tiles above and left of the free cell in the corner are its neighbours.
        QCOMPARE(board.neighbourWithCaption(QStringLiteral("12")), (Cell{3, 4}));
        QCOMPARE(board.neighbourWithCaption(QStringLiteral("15")), (Cell{4, 3}));
        for (const char* far : {"11", "16", "1", ""})
            QVERIFY2(!board.neighbourWithCaption(QString::fromLatin1(far)), far);

        // 12 slides down: it and the free cell swap places and cells.
        const TilePlace corner = board.place(Board::Blank), above = board.place(12);
        board.slide(3, 4);
        QCOMPARE(board.place(12), corner);
        QCOMPARE(board.place(Board::Blank), above);
        QCOMPARE(board.tileAt(4, 4), 12);
        QCOMPARE(board.cellOf(Board::Blank), (Cell{3, 4}));
        QVERIFY(!board.isSolved());
        // At the right edge the next row's first tile is no neighbour.
        QVERIFY(!board.neighbourWithCaption(QStringLiteral("13")));
        board.slide(4, 4);
        QVERIFY(board.isSolved());
    }

    void stepsAndBounds()
    {
        const Cell from{2, 3};
        QCOMPARE(Board::step(from, 0), (Cell{3, 3}));  // below
        QCOMPARE(Board::step(from, 1), (Cell{1, 3}));  // above
        QCOMPARE(Board::step(from, 2), (Cell{2, 4}));  // right
        QCOMPARE(Board::step(from, 3), (Cell{2, 2}));  // left
        for (Cell off : {Cell{0, 1}, Cell{5, 1}, Cell{1, 0}, Cell{1, 5}})
            QVERIFY(!Board::onBoard(off));
        QVERIFY(Board::onBoard({1, 1}) && Board::onBoard({4, 4}));
    }
};

QTEST_APPLESS_MAIN(TestBoard)
#include "test_board.moc"
