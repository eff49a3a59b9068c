// SPDX-License-Identifier: 0BSD
#pragma once
// The score file tavlin.inf on disk. Writing replaces the file whole and
// atomically, and only ever a regular file. Every load and every save takes a
// lock that all copies of the game honour, so that players who finish at once
// lose no row.

#include "bestof/scorefile.h"
#include "storage/savefailure.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace tavlin::scorefile {

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

}  // namespace tavlin::scorefile
