// SPDX-License-Identifier: 0BSD
#include "scorefile.h"

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

#include <algorithm>
#include <iterator>
#include <utility>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <ctime>
#include <thread>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavlin::scorefile {

namespace {

constexpr const char* CodecName = "windows-1250";

// How much of an overlong line is skipped per read while looking for its end.
constexpr qint64 SkipChunk = 64 * 1024;

// The next line, without its line end; empty when nothing could be read:
// the end of the input, an error, or the scan budget spent.
QByteArray nextLine(QIODevice& in, const ReadLimits& limits, qint64& budget)
{
    if (budget <= 0)
        return {};
    // readLine(n) gives at most n - 1 bytes: room for the kept part and CR LF.
    const qint64 want = std::min(std::max<qint64>(limits.maxLineBytes, 1) + 2, budget);
    QByteArray chunk = in.readLine(want + 1);
    if (chunk.isEmpty())
        return {};
    budget -= chunk.size();

    const bool ended = chunk.endsWith('\n');
    if (!ended && !in.atEnd()) {
        // An overlong line: keep its beginning, pass over the rest unkept.
        while (budget > 0) {
            const QByteArray rest = in.readLine(std::min(SkipChunk, budget) + 1);
            if (rest.isEmpty())
                break;
            budget -= rest.size();
            if (rest.endsWith('\n'))
                break;
        }
    }
    if (ended)
        chunk.chop(1);
    if (chunk.endsWith('\r'))
        chunk.chop(1);
    if (chunk.size() > limits.maxLineBytes)
        chunk.truncate(std::max<qint64>(limits.maxLineBytes, 0));
    return chunk;
}

using Cause = WriteFailure::Cause;

// Why a save failed, in the player's words: the one place for these texts.
constexpr std::pair<Cause, const char16_t*> CauseTexts[] = {
    {Cause::FilePermission, u"Nemáte oprávnění zapisovat do souboru s tabulkou."},
    {Cause::FolderPermission, u"Nemáte oprávnění zapisovat do složky, ve které má soubor být."},
    {Cause::DiskFull, u"Na disku není dost volného místa."},
    {Cause::SizeLimit, u"Soubor by přesáhl největší velikost souboru, kterou systém dovoluje."},
    {Cause::Busy, u"Tabulku drží jiná spuštěná hra déle, než je obvyklé."},
    {Cause::ReadOnly, u"Souborový systém je připojen jen pro čtení."},
    {Cause::NotAFile, u"Na místě souboru je složka nebo něco jiného než obyčejný soubor."},
    {Cause::Unreadable, u"Dosavadní tabulku se nepodařilo přečíst, a proto se nepřepíše. "
                        u"Výsledek hry není uložen."},
    {Cause::InputOutput, u"Při zápisu na disk došlo k chybě vstupu/výstupu."},
    {Cause::NoFolder, u"Složku programu se nepodařilo najít."},
    {Cause::Other, u"Při ukládání došlo k neočekávané chybě."},
};

// The cause that a failed call's errno names; `denied` is what a refused
// permission means at that step (the file's or the folder's).
Cause causeOf(int error, Cause denied)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return denied;
    case EROFS:
        return Cause::ReadOnly;
    case ENOSPC:
    case EDQUOT:
        return Cause::DiskFull;
    case EFBIG:  // over the size limit the system sets for this user (ulimit -f)
        return Cause::SizeLimit;
    case EIO:
        return Cause::InputOutput;
    case ENOENT:
    case ENOTDIR:
        return Cause::NoFolder;
    case EISDIR:
    case ELOOP:
        return Cause::NotAFile;
    default:
        return Cause::Other;
    }
}

std::optional<WriteFailure> failure(Cause cause)
{
    return WriteFailure{cause};
}

std::optional<WriteFailure> failureFromErrno(Cause denied)
{
    return failure(causeOf(errno, denied));
}

struct Descriptor {
    int fd = -1;
    Descriptor() = default;
    explicit Descriptor(int descriptor) : fd(descriptor) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

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
        const qsizetype slash = path.lastIndexOf('/');
        const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
        struct stat holder {};
        if (links == 40 || ::stat(folder.constData(), &holder) != 0
            || (info.st_uid != ::geteuid() && info.st_uid != holder.st_uid))
            return Cause::NotAFile;
        QByteArray target(PATH_MAX, '\0');
        const ssize_t size = ::readlink(path.constData(), target.data(), target.size());
        if (size <= 0 || size == target.size())
            return Cause::NotAFile;
        target.truncate(size);
        path = target.startsWith('/') ? target : folder + '/' + target;
    }
}

// The regular file a save writes: the folder it stands in, held open so that
// any bytes in the folder's name are no matter, and its name there.
struct Target {
    Descriptor folder;
    QByteArray name;
    QByteArray path;  // the file's path with every link followed
    bool exists = false;
};

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
    const qsizetype slash = file.lastIndexOf('/');
    target.name = file.mid(slash + 1);
    if (target.name.isEmpty() || target.name == "." || target.name == "..")
        return Cause::NotAFile;
    const QByteArray folder = slash < 0 ? QByteArray(".") : file.left(slash + 1);
    target.folder.fd = ::open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
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

    FolderLock(int folder, int operation) : dir_(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        const auto deadline = std::chrono::steady_clock::now() + Patience;
        while (dir_.fd >= 0 && ::flock(dir_.fd, operation | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR)
                return;  // no locks here: held is true, as for an unreadable folder
            if (std::chrono::steady_clock::now() >= deadline) {
                held_ = false;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    // False only when another copy of the game kept the lock past the wait.
    bool held() const { return held_; }

private:
    Descriptor dir_;  // closing it releases the lock
    bool held_ = true;
};

// Ignores the signal that the system sends a process that writes past its
// file size limit, which would end the game in the middle of a save; the
// write then fails with EFBIG and the player reads why.
class SizeLimitSignalIgnored {
public:
    SizeLimitSignalIgnored() { ::sigaction(SIGXFSZ, &ignore_, &previous_); }
    ~SizeLimitSignalIgnored() { ::sigaction(SIGXFSZ, &previous_, nullptr); }
    SizeLimitSignalIgnored(const SizeLimitSignalIgnored&) = delete;
    SizeLimitSignalIgnored& operator=(const SizeLimitSignalIgnored&) = delete;

private:
    struct sigaction ignore_ = [] {
        struct sigaction action {};
        action.sa_handler = SIG_IGN;
        return action;
    }();
    struct sigaction previous_ {};
};

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
    const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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
    const Descriptor dir(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
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

// Writes `bytes` as the whole table at `target`, the folder's lock held.
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

}  // namespace

Lines read(QIODevice& in, const ReadLimits& limits)
{
    Lines lines;
    QStringDecoder decoder(CodecName);
    qint64 budget = limits.maxScanBytes;
    for (QString& line : lines)
        line = decoder.decode(nextLine(in, limits, budget));
    return lines;
}

namespace {

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
        const qsizetype slash = name.lastIndexOf('/');
        const Descriptor folder(::open(slash < 0 ? "." : name.left(slash + 1).constData(),
                                       O_PATH | O_DIRECTORY | O_CLOEXEC));
        // A copy of the game that is rewriting a shared table in place
        // finishes first; one that is stuck is not waited for.
        const FolderLock lock(folder.fd, LOCK_SH);
        lines = loadFile(name, found, limits);
    }
    if (source)
        *source = found;
    return lines;
}

const Lines& defaultLines()
{
    static const Lines lines = [] {
        Lines table;
        for (int row = 0; row < RowCount; ++row) {
            table[2 * row] = QString::number(100 + 10 * row);
            table[2 * row + 1] = QStringLiteral("neznámý hráč");
        }
        return table;
    }();
    return lines;
}

QByteArray encodeLine(QStringView line)
{
    // CR, LF and NUL each become a blank, so the text stays one line.
    QString text = line.toString();
    for (QChar& c : text) {
        if (c == u'\r' || c == u'\n' || c == u'\0')
            c = u' ';
    }
    QStringEncoder encoder(CodecName);
    QByteArray bytes = encoder.encode(text);
    if (!encoder.hasError())
        return bytes;

    // Some character has no place in Windows-1250. The converter marks it
    // with the control byte 1A, which a real character can also be; so go
    // through the text one character at a time and write "?" for each that
    // does not convert. A pair of surrogates is one character beyond the
    // code page, and a lone surrogate is no character at all.
    bytes.clear();
    bytes.reserve(text.size());
    QStringEncoder single(CodecName);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        if (text.at(i).isSurrogate()) {
            if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                ++i;
            bytes.append('?');
            continue;
        }
        const QByteArray one = single.encode(QStringView(&unit, 1));
        const bool converted = one.size() == 1 && (one.at(0) != '\x1A' || unit == 0x1A);
        bytes.append(converted ? one.at(0) : '?');
    }
    return bytes;
}

QByteArray encode(const Lines& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += encodeLine(line) + "\r\n";
    return bytes;
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

QString failureText(const QString& shownPath, const WriteFailure& failure)
{
    const auto* entry = std::find_if(std::begin(CauseTexts), std::end(CauseTexts),
                                     [&](const auto& e) { return e.first == failure.cause; });
    if (entry == std::end(CauseTexts))
        entry = std::end(CauseTexts) - 1;  // Cause::Other
    const QString reason = QString::fromUtf16(entry->second);
    const QStringList lines{
        QStringLiteral("Tabulku nejlepších hráčů se nepodařilo uložit."),
        QString(),
        QStringLiteral("Soubor: %1").arg(QDir::toNativeSeparators(shownPath)),
        QStringLiteral("Důvod: %1").arg(reason),
    };
    return lines.join(QChar(u'\r'));
}

}  // namespace tavlin::scorefile
