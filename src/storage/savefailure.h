// SPDX-License-Identifier: 0BSD
#pragma once
// Why a save of the table failed, and the text that tells the player.

#include <QString>

#include <optional>

namespace tavlin::scorefile {

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

using Cause = WriteFailure::Cause;

// The cause that a failed call's errno names; `denied` is what a refused
// permission means at that step (the file's or the folder's).
Cause causeOf(int error, Cause denied);
std::optional<WriteFailure> failure(Cause cause);
// The cause that errno names now.
std::optional<WriteFailure> failureFromErrno(Cause denied);

// The message a player reads when the table could not be saved, in Czech,
// its lines joined by a lone CR. `shownPath` names the file as the player
// knows it.
QString failureText(const QString& shownPath, const WriteFailure& failure);

}  // namespace tavlin::scorefile
