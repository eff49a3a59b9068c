// SPDX-License-Identifier: 0BSD
// The table on disk: following links, the folder's lock, loading, and the locked update.
#include "storage/tablefile.h"

#include "storage/tablewrite.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavlin::scorefile {

namespace {

// Follows `path` through links to what it names, and leaves that in `path`.
// A link is followed only when it belongs to the player or to the owner of
// the folder that holds it, as the kernel does in sticky folders: a link
// that another user planted in a shared folder would make the player's own
// game read or overwrite a file of the player's. A link to nothing is
// refused too: a save would make a file wherever it happens to point.
std::optional<Cause> followLinks(QByteArray& path)
{
    for (int links = 0;; ++links) {
        struct stat info {};
        if (::lstat(path.constData(), &info) != 0) {
            if (errno == ENOENT && links > 0)
                return Cause::NotAFile;
            return errno == ENOENT ? std::nullopt : std::optional(causeOf(errno, Cause::FolderPermission));
        }
        if (!S_ISLNK(info.st_mode))
            return std::nullopt;
        const QByteArray folder = folderOf(path);
        struct stat holder {};
        // 40 is the most links Linux follows in one lookup; a longer chain
        // is a loop or a trap, and is refused as the kernel would.
        if (links == 40 || ::stat(folder.constData(), &holder) != 0
            || (info.st_uid != ::geteuid() && info.st_uid != holder.st_uid))
            return Cause::NotAFile;
        QByteArray target(PATH_MAX, '\0');
        const ssize_t size = ::readlink(path.constData(), target.data(), target.size());
        if (size <= 0 || size == target.size())
            return Cause::NotAFile;
        target.truncate(size);
        path = target.startsWith('/') ? target : folder + target;
    }
}

std::optional<Cause> findTarget(const QByteArray& path, Target& target)
{
    QByteArray file = path;
    if (const std::optional<Cause> refused = followLinks(file))
        return refused;
    struct stat info {};
    if (::stat(file.constData(), &info) == 0) {
        // Never into or over a device, a pipe, a socket or a folder.
        if (!S_ISREG(info.st_mode))
            return Cause::NotAFile;
        target.exists = true;
    } else if (errno != ENOENT) {
        return causeOf(errno, Cause::FolderPermission);
    }
    target.path = file;
    target.name = file.mid(file.lastIndexOf('/') + 1);
    if (target.name.isEmpty() || target.name == "." || target.name == "..")
        return Cause::NotAFile;
    target.folder.fd = ::open(folderOf(file).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (target.folder.fd < 0)
        return causeOf(errno, Cause::FolderPermission);
    return std::nullopt;
}

// Every copy of the game saves under an exclusive lock on the folder that
// holds the real table, and loads under a shared one. The folder, not the
// table, because a save puts a new file in the table's place, and because
// the folder is there already: the lock writes nothing. The lock is held
// only for the moment of a load or a save, never while a box waits for the
// player, so a wait of seconds means a copy of the game that is stuck (a
// stopped process): then a load goes on without the lock, and a save gives
// up and says so. Where the folder cannot be opened for reading, or its file
// system has no locks, the game goes on without one.
class FolderLock {
public:
    static constexpr auto Patience = std::chrono::seconds(5);

    FolderLock(int folder, int operation) : dir_(openForReading(folder))
    {
        const auto deadline = std::chrono::steady_clock::now() + Patience;
        while (dir_.fd >= 0 && ::flock(dir_.fd, operation | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR)
                return;  // no locks here: held is true, as for an unreadable folder
            if (std::chrono::steady_clock::now() >= deadline) {
                held_ = false;
                return;
            }
            // Short against a save, which holds the lock for a few hundred
            // bytes written and synced; long enough not to spin the processor.
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    // False only when another copy of the game kept the lock past the wait.
    bool held() const { return held_; }

private:
    Descriptor dir_;  // closing it releases the lock
    bool held_ = true;
};

// Reads the table at `name`, a path that names no link (followLinks has
// been through it).
Lines loadFile(const QByteArray& name, Source& source, const ReadLimits& limits)
{
    // Look before opening: opening a pipe would wait for a writer, a device
    // such as /dev/zero never ends, and some devices act when opened.
    struct stat info {};
    if (::stat(name.constData(), &info) != 0) {
        if (errno != ENOENT && errno != ENOTDIR)
            source = Source::Unreadable;  // no permission to look, an I/O error
        return {};
    }
    if (!S_ISREG(info.st_mode)) {
        source = Source::NotAFile;
        return {};
    }
    source = Source::Unreadable;
    // O_NOFOLLOW and O_NONBLOCK: should a link or a pipe take the file's
    // place meanwhile, the open neither follows it nor waits.
    const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {};
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        source = Source::NotAFile;
        return {};
    }
    const Lines lines = read(file, limits);
    // A read that failed on the way (an I/O error) leaves the rest of the
    // lines empty, and the table counts as not read.
    if (file.error() == QFileDevice::NoError)
        source = Source::File;
    return lines;
}

// Runs `write` on the table's place with the folder's lock held; what it
// gives back, or why it could not run.
template <typename Write>
Update underLock(const QString& path, Write write)
{
    if (path.isEmpty())
        return {failure(Cause::NoFolder), {}};
    Target target;
    if (const std::optional<Cause> cause = findTarget(QFile::encodeName(path), target))
        return {failure(*cause), {}};
    const FolderLock lock(target.folder.fd, LOCK_EX);
    if (!lock.held())
        return {failure(Cause::Busy), {}};
    const SizeLimitSignalIgnored sizeLimit;
    return write(target);
}

}  // namespace

Lines load(const QString& path, Source* source, const ReadLimits& limits)
{
    Source found = Source::Missing;
    Lines lines;
    QByteArray name = QFile::encodeName(path);
    if (const std::optional<Cause> refused = name.isEmpty() ? std::nullopt : followLinks(name)) {
        found = *refused == Cause::NotAFile ? Source::NotAFile : Source::Unreadable;
    } else if (!name.isEmpty()) {
        const Descriptor folder(::open(folderOf(name).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        // A copy of the game that is rewriting a shared table in place
        // finishes first; one that is stuck is not waited for.
        const FolderLock lock(folder.fd, LOCK_SH);
        lines = loadFile(name, found, limits);
    }
    if (source)
        *source = found;
    return lines;
}

std::optional<WriteFailure> writeFile(const QString& path, const QByteArray& bytes)
{
    return underLock(path, [&](const Target& target) { return Update{writeTarget(target, bytes), {}}; }).failure;
}

Update update(const QString& path, const Change& change)
{
    return underLock(path, [&](const Target& target) {
        Source found = Source::Missing;
        const Lines now = target.exists ? loadFile(target.path, found, {}) : Lines{};
        const std::optional<Lines> changed = change(now, found);
        if (!changed)
            return Update{std::nullopt, now};
        // The old table is kept when it could not be read: the change saw
        // nothing of it and would drop its rows.
        return Update{found == Source::Unreadable ? failure(Cause::Unreadable) : writeTarget(target, encode(*changed)),
                      changed};
    });
}

}  // namespace tavlin::scorefile
