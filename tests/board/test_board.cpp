// The board without widgets: layout, the move primitive, the neighbour search
// and the solved check.

#include "board/board.h"

#include <QTest>

using tavlin::Board;
using tavlin::Cell;
using tavlin::TilePlace;

namespace {

Board designBoard()
{
    Board board;
    board.layOut(3360, 4095, 306);
    return board;
}

// Every tile stands on the cell where the table holds it, at the cell's
// exact position, and the blank is in the free cell.
void checkInvariants(const Board& board)
{
    QList<int> seen;
    for (int r = 1; r <= 4; ++r) {
        for (int s = 1; s <= 4; ++s) {
            const int tile = board.tileAt(r, s);
            seen << tile;
            QCOMPARE(board.place(tile), (TilePlace{board.cellLeft(s), board.cellTop(r)}));
        }
    }
    std::sort(seen.begin(), seen.end());
    for (int n = 1; n <= 16; ++n)
        QCOMPARE(seen[n - 1], n);
    const Cell free = board.freeCell();
    QCOMPARE(board.tileAt(free.r, free.s), Board::Blank);
}

Cell cell(int r, int s)
{
    return {static_cast<std::int16_t>(r), static_cast<std::int16_t>(s)};
}

}  // namespace

class TestBoard : public QObject {
    Q_OBJECT
private slots:
    void layoutIsTheSolvedArrangement()
    {
        const Board board = designBoard();
        for (int r = 1; r <= 4; ++r)
            for (int s = 1; s <= 4; ++s) {
                QCOMPARE(board.tileAt(r, s), s + (r - 1) * 4);
                QCOMPARE(board.caption(s + (r - 1) * 4), QString::number(s + (r - 1) * 4));
            }
        QCOMPARE(board.freeCell(), cell(4, 4));
        QVERIFY(board.isSolved());
        checkInvariants(board);
    }

    void cellGeometryOfTheDesignWindow()
    {
        const Board board = designBoard();
        QCOMPARE(board.cellWidth(), 840.0f);
        QCOMPARE(board.cellHeight(), 947.25f);
        for (int k = 1; k <= 4; ++k) {
            QCOMPARE(board.cellLeft(k), static_cast<float>((k - 1) * 840));
            QCOMPARE(board.cellTop(k), static_cast<float>(306 + (k - 1) * 947.25));
        }
        // The bottom row ends exactly at the inner height.
        QCOMPARE(board.cellTop(4) + board.cellHeight(), 4095.0f);
        QCOMPARE(board.place(16), (TilePlace{2520, 306 + 3 * 947.25f}));
    }

    void presunSwapsTheTileWithTheBlank()
    {
        Board board = designBoard();
        const TilePlace twelve = board.place(12);
        const TilePlace blank = board.place(16);
        board.Presun(3, 4);
        QCOMPARE(board.freeCell(), cell(3, 4));
        QCOMPARE(board.tileAt(4, 4), 12);
        QCOMPARE(board.tileAt(3, 4), 16);
        QCOMPARE(board.place(12), blank);
        QCOMPARE(board.place(16), twelve);
        checkInvariants(board);
    }

    void presunBackRestoresTheBoardExactly()
    {
        Board board = designBoard();
        board.Presun(4, 3);
        board.Presun(3, 3);
        const Board before = board;
        board.Presun(3, 2);
        board.Presun(3, 3);  // the cell that was free before the previous move
        for (int n = 1; n <= 16; ++n)
            QCOMPARE(board.place(n), before.place(n));
        for (int r = 1; r <= 4; ++r)
            for (int s = 1; s <= 4; ++s)
                QCOMPARE(board.tileAt(r, s), before.tileAt(r, s));
        QCOMPARE(board.freeCell(), before.freeCell());
    }

    void presunOnTheFreeCellChangesNothing()
    {
        Board board = designBoard();
        board.Presun(4, 4);
        QVERIFY(board.isSolved());
        checkInvariants(board);
    }

    void blankKeepsTheFreeCellsPositionOverManyMoves()
    {
        Board board = designBoard();
        // A walk of the free cell around the whole board, several times.
        const Cell walk[] = {cell(3, 4), cell(2, 4), cell(1, 4), cell(1, 3), cell(2, 3), cell(2, 2),
                             cell(1, 2), cell(1, 1), cell(2, 1), cell(3, 1), cell(4, 1), cell(4, 2),
                             cell(3, 2), cell(3, 3), cell(4, 3), cell(4, 4)};
        for (int round = 0; round < 5; ++round)
            for (const Cell& c : walk) {
                board.Presun(c.r, c.s);
                const Cell free = board.freeCell();
                QCOMPARE(board.place(16), (TilePlace{board.cellLeft(free.s), board.cellTop(free.r)}));
                checkInvariants(board);
            }
        QVERIFY(!board.isSolved());
    }

    void neighbourSearchFindsOnlyTheFourNeighbours()
    {
        Board board = designBoard();
        board.Presun(3, 4);
        board.Presun(3, 3);  // free cell (3, 3): 15 below, 7 above, 11 right, 10 left
        QCOMPARE(board.neighbourWithCaption(QStringLiteral("15")), std::optional(cell(4, 3)));
        QCOMPARE(board.neighbourWithCaption(QStringLiteral("7")), std::optional(cell(2, 3)));
        QCOMPARE(board.neighbourWithCaption(QStringLiteral("11")), std::optional(cell(3, 4)));
        QCOMPARE(board.neighbourWithCaption(QStringLiteral("10")), std::optional(cell(3, 2)));
        // Diagonal and far tiles are not neighbours.
        for (const char* far : {"6", "8", "12", "14", "16", "1", "13"})
            QVERIFY2(!board.neighbourWithCaption(QString::fromLatin1(far)), far);
    }

    void neighbourSearchStaysInsideTheBoardAtACorner()
    {
        Board board = designBoard();
        for (const Cell& c : {cell(3, 4), cell(2, 4), cell(1, 4), cell(1, 3), cell(1, 2), cell(1, 1)})
            board.Presun(c.r, c.s);
        QCOMPARE(board.freeCell(), cell(1, 1));
        QCOMPARE(board.neighbourWithCaption(board.caption(board.tileAt(2, 1))), std::optional(cell(2, 1)));
        QCOMPARE(board.neighbourWithCaption(board.caption(board.tileAt(1, 2))), std::optional(cell(1, 2)));
        QVERIFY(!board.neighbourWithCaption(board.caption(board.tileAt(2, 2))));
    }

    void solvedCheckComparesEveryCellTheBlankIncluded()
    {
        Board board = designBoard();
        board.Presun(4, 3);  // 15 and the blank change places: all else in order
        QVERIFY(!board.isSolved());
        board.Presun(4, 4);
        QVERIFY(board.isSolved());
        // Round the 2 × 2 block at the bottom right and back: solved again.
        for (const Cell& c : {cell(3, 4), cell(3, 3), cell(4, 3), cell(4, 4)})
            board.Presun(c.r, c.s);
        QVERIFY(!board.isSolved());
    }
};

QTEST_APPLESS_MAIN(TestBoard)
#include "test_board.moc"
