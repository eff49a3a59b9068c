// SPDX-License-Identifier: 0BSD
#pragma once
// The score file's format: twenty lines of Windows-1250 text, a time line
// and a name line for each of the ten best-of rows, best first, every line
// ended by CR LF. Reading is bounded (twenty lines, a capped line length, a
// capped number of bytes looked at), so no file, however large or strange,
// is read whole. Nothing here touches the disk (see storage/tablefile.h).

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <array>

class QIODevice;

namespace tavlin::scorefile {

inline constexpr int RowCount = 10;
inline constexpr int LineCount = 2 * RowCount;

// The rows stand as pairs of lines, the time first, then the name.
using Lines = std::array<QString, LineCount>;
constexpr int timeLine(int row) { return 2 * row; }
constexpr int nameLine(int row) { return 2 * row + 1; }

struct ReadLimits {
    // The longest line kept, in bytes; the rest of a longer line is skipped.
    // It is the most the name box lets a player type, so every name the game
    // writes comes back whole.
    qint64 maxLineBytes = 32767;
    // The most bytes looked at in all, skipped ones included; past it every
    // read fails as at the end of the file. A file the game wrote is far
    // smaller.
    qint64 maxScanBytes = 16 * 1024 * 1024;
};

// The first twenty lines of `in`. A line ends at LF; one CR right before it
// (or before the end of the input) is dropped. A read that fails, past the
// end of the input or after an error, gives an empty line: so a file with
// fewer than twenty lines shows its lines in the first rows and empty text
// in all the captions after them, and a missing file shows twenty empty ones.
Lines read(QIODevice& in, const ReadLimits& limits = {});

// The table the clear command writes: times 100 to 190, each with the name
// "neznámý hráč".
const Lines& defaultLines();

// One line as it is stored, without its line end: CR, LF and NUL become a
// blank each, so the line stays one line, and a character Windows-1250 lacks
// becomes "?".
QByteArray encodeLine(QStringView line);

// The whole file: every line encoded and followed by CR LF.
QByteArray encode(const Lines& lines);

}  // namespace tavlin::scorefile
