// SPDX-License-Identifier: 0BSD
// Writing the table's bytes into its folder: atomically through a temporary file, or in place.
#include "storage/tablewrite.h"

#include <QRandomGenerator>

#include <cerrno>
#include <chrono>
#include <ctime>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavlin::scorefile {

int openForReading(int folder)
{
    return ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

namespace {

// How old a leftover temporary file must be before a save removes it. A save
// holds its temporary file only while it writes and syncs a few hundred
// bytes; ten minutes are far more than that on the slowest disk, so a
// temporary file of a copy of the game that is saving right now without the
// lock (see FolderLock) is never taken for a leftover.
constexpr time_t StaleAfterSeconds = 10 * 60;

// A save's temporary file is named ".tavlin-ukladani-" and six letters or
// digits: hidden, and saying what it is, so that no player takes it for a
// copy of the table, and no player's file (tavlin.inf.zaloha, say) is ever
// taken for one of the game's.
constexpr QByteArrayView TemporaryPrefix = ".tavlin-ukladani-";
constexpr int TemporaryLetters = 6;

bool isTemporary(QByteArrayView entry)
{
    if (entry.size() != TemporaryPrefix.size() + TemporaryLetters || !entry.startsWith(TemporaryPrefix))
        return false;
    return std::all_of(entry.end() - TemporaryLetters, entry.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
}

// A save cut short leaves its temporary file behind; the next save clears
// such leftovers (regular files only).
void removeStaleTemporaries(int folder)
{
    const int fd = openForReading(folder);
    if (fd < 0)
        return;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    const time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        struct stat info {};
        if (isTemporary(entry->d_name) && ::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0
            && S_ISREG(info.st_mode) && info.st_mtime <= now - StaleAfterSeconds)
            ::unlinkat(fd, entry->d_name, 0);
    }
    ::closedir(dir);
}

// After the rename, so that a power cut right after a save keeps the new
// table. A failure here is not reported: the new table is in place.
void syncFolder(int folder)
{
    const Descriptor dir(openForReading(folder));
    if (dir.fd >= 0)
        ::fsync(dir.fd);
}

// Writes all of `bytes` at `offset`; false with errno set when it cannot.
bool writeAll(int fd, const QByteArray& bytes, off_t offset)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::pwrite(fd, bytes.constData() + done, bytes.size() - done, offset + done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            errno = written == 0 ? ENOSPC : errno;
            return false;
        }
        done += written;
    }
    return true;
}

// A shared table in a folder where the player may not replace it (a
// read-only folder, another user's file in a sticky folder): the file is
// rewritten where it stands. The new bytes go first after the old ones, so
// that a full disk or a size limit shows itself before a byte of the old
// table changes (file systems such as ext2 cannot reserve room ahead); a
// load meanwhile still reads the old twenty lines at the front. Only then
// is the front rewritten, within blocks the file already has, and the file
// cut to its new length.
std::optional<WriteFailure> rewriteInPlace(int folder, const QByteArray& name, const QByteArray& bytes)
{
    const Descriptor file(::openat(folder, name.constData(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (file.fd < 0 || ::fstat(file.fd, &info) != 0)
        return failureFromErrno(Cause::FilePermission);
    if (!S_ISREG(info.st_mode))
        return failure(Cause::NotAFile);
    if (!writeAll(file.fd, bytes, info.st_size) || ::fdatasync(file.fd) != 0) {
        const int error = errno;
        struct stat now {};
        if (::fstat(file.fd, &now) == 0 && now.st_size != info.st_size)
            (void)!::ftruncate(file.fd, info.st_size);  // the old table alone again
        return failure(causeOf(error, Cause::FilePermission));
    }
    if (!writeAll(file.fd, bytes, 0) || ::ftruncate(file.fd, bytes.size()) != 0 || ::fsync(file.fd) != 0)
        return failureFromErrno(Cause::FilePermission);
    return std::nullopt;
}

// A new file beside the table under a name of the game's own, holding
// `bytes` and synced, with the old table's permissions; or why not.
std::optional<WriteFailure> writeTemporary(const Target& target, const QByteArray& bytes, QByteArray& temporary)
{
    static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    struct stat old {};
    const bool keepMode = target.exists && ::fstatat(target.folder.fd, target.name.constData(), &old, 0) == 0;
    Descriptor file;
    while (file.fd < 0) {
        temporary = TemporaryPrefix.toByteArray();
        for (int i = 0; i < TemporaryLetters; ++i)
            temporary += Letters[QRandomGenerator::global()->bounded(int(sizeof Letters) - 1)];
        file.fd = ::openat(target.folder.fd, temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file.fd < 0 && errno != EEXIST)
            return failureFromErrno(Cause::FolderPermission);
    }
    if (!writeAll(file.fd, bytes, 0) || (keepMode && ::fchmod(file.fd, old.st_mode & 07777) != 0)
        || ::fsync(file.fd) != 0) {
        const int error = errno;
        ::unlinkat(target.folder.fd, temporary.constData(), 0);
        return failure(causeOf(error, Cause::FilePermission));
    }
    return std::nullopt;
}

}  // namespace

std::optional<WriteFailure> writeTarget(const Target& target, const QByteArray& bytes)
{
    const int folder = target.folder.fd;
    if (target.exists && ::faccessat(folder, target.name.constData(), W_OK, AT_EACCESS) != 0)
        return failureFromErrno(Cause::FilePermission);
    removeStaleTemporaries(folder);

    QByteArray temporary;
    if (std::optional<WriteFailure> failed = writeTemporary(target, bytes, temporary)) {
        // No new file could be made here, but the table itself may be
        // written; should that fail too, it fails before the table changes.
        return target.exists ? rewriteInPlace(folder, target.name, bytes) : failed;
    }
    if (::renameat(folder, temporary.constData(), folder, target.name.constData()) != 0) {
        const int error = errno;
        ::unlinkat(folder, temporary.constData(), 0);
        // Another user's table in a sticky folder may be written, not replaced.
        if (target.exists && (error == EPERM || error == EACCES))
            return rewriteInPlace(folder, target.name, bytes);
        return failure(causeOf(error, Cause::FolderPermission));
    }
    syncFolder(folder);
    return std::nullopt;
}

}  // namespace tavlin::scorefile
