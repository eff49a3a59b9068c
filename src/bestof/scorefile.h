// SPDX-License-Identifier: 0BSD
#pragma once
// The score file tavlin.inf: twenty lines of Windows-1250 text, a time line
// and a name line for each of the ten best-of rows, best first, every line
// ended by CR LF. Reading is bounded (twenty lines, a capped line length, a
// capped number of bytes looked at), so no file, however large or strange,
// is read whole. Writing replaces the file whole and atomically, and only ever
// a regular file. Every load and every save takes a lock that all copies of
// the game honour, so that players who finish at once lose no row.

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <array>
#include <functional>
#include <optional>

class QIODevice;

namespace tavlin::scorefile {

inline constexpr int RowCount = 10;
inline constexpr int LineCount = 2 * RowCount;

// Line 2i is the time of row i, line 2i+1 its name.
using Lines = std::array<QString, LineCount>;

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

// What a load found at the score file's place.
enum class Source {
    File,        // a regular file, read
    Missing,     // nothing there: a save may create the file
    NotAFile,    // a folder, a pipe, a device, a link to nothing: never read
    Unreadable,  // a file that could not be read (no permission, an I/O error)
};

// Reads the score file at `path`. Anything but a readable regular file gives
// twenty empty lines; nothing is created and nothing is reported, but
// `source`, when given, tells a missing file from one that is there and was
// not read. A link is followed only when it belongs to the player or to the
// owner of the folder that holds it; any other counts as not a file.
Lines load(const QString& path, Source* source = nullptr, const ReadLimits& limits = {});

// The table the clear command writes: times 100 to 190, each with the name
// "neznámý hráč".
const Lines& defaultLines();

// One line as it is stored, without its line end: CR, LF and NUL become a
// blank each, so the line stays one line, and a character Windows-1250 lacks
// becomes "?".
QByteArray encodeLine(QStringView line);

// The whole file: every line encoded and followed by CR LF.
QByteArray encode(const Lines& lines);

struct WriteFailure {
    enum class Cause {
        FilePermission,    // the player may not write the file
        FolderPermission,  // the player may not create a file in its folder
        DiskFull,          // no room left (or over a quota)
        SizeLimit,         // over the file size limit the system sets (ulimit -f)
        Busy,              // another copy of the game held the table's lock too long
        ReadOnly,          // the file system is mounted read-only
        NotAFile,          // a folder, a device, a pipe... in the file's place
        Unreadable,        // the old table could not be read, so it is kept
        InputOutput,       // the disk reported an input/output error
        NoFolder,          // the program's folder cannot be found
        Other,
    };
    Cause cause = Cause::Other;
};

// Writes `bytes` as the whole new content of the regular file `path`, or of
// the regular file that the link `path` leads to (the link stays a link; the
// rule for links is load's). Anything else in that place is refused and left
// as it is. The write happens under the exclusive lock of the folder that
// holds the real file, taken for this moment only. The new file replaces the
// old one atomically, and the folder is synced after; where the player may
// write the file but not replace it (a shared table in a read-only folder,
// another user's table in a sticky folder), the file is rewritten in place,
// and never changed at all unless all the new bytes fit. On failure no
// temporary file is left behind. Stale temporary files of earlier saves that
// were cut short are removed on the way, and only those.
std::optional<WriteFailure> writeFile(const QString& path, const QByteArray& bytes);

inline std::optional<WriteFailure> save(const QString& path, const Lines& lines)
{
    return writeFile(path, encode(lines));
}

// What the table becomes, given the table as it now stands in the file and
// what the load found there; nothing to leave the file as it is.
using Change = std::function<std::optional<Lines>(const Lines& now, Source found)>;

struct Update {
    std::optional<WriteFailure> failure;
    // The table as it now stands: the lines written, or those found when the
    // change wrote nothing; on failure the lines the change made, or nothing
    // when the table's place could not be reached at all.
    std::optional<Lines> lines;
};

// Reads the table and writes what `change` makes of it, both under the
// folder's exclusive lock, so that a save of another copy of the game can
// come before or after, never in between. A table that is there but could
// not be read is not replaced (Cause::Unreadable).
Update update(const QString& path, const Change& change);

// The message a player reads when the table could not be saved, in Czech,
// its lines joined by a lone CR. `shownPath` names the file as the player
// knows it.
QString failureText(const QString& shownPath, const WriteFailure& failure);

}  // namespace tavlin::scorefile
