#include "scorefile.h"

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

#include <algorithm>
#include <iterator>
#include <utility>

#include <cerrno>
#include <cstdlib>
#include <ctime>

#include <dirent.h>
#include <fcntl.h>
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
    case EFBIG:  // over the size limit the system sets for this user
        return Cause::DiskFull;
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

// The regular file a save writes: the folder it stands in, held open so that
// any bytes in the folder's name are no matter, and its name there.
struct Target {
    Descriptor folder;
    QByteArray name;
    bool exists = false;
};

std::optional<Cause> findTarget(const QByteArray& path, Target& target)
{
    QByteArray file = path;
    struct stat info {};
    if (::lstat(path.constData(), &info) == 0) {
        if (S_ISLNK(info.st_mode)) {
            // A link is followed to the file it ends in, which is written and
            // the link kept. A link to nothing is refused: the save would
            // make a file wherever the link happens to point.
            char* real = ::realpath(path.constData(), nullptr);
            if (!real)
                return Cause::NotAFile;
            file = real;
            std::free(real);
            if (::stat(file.constData(), &info) != 0)
                return causeOf(errno, Cause::FolderPermission);
        }
        // Never into or over a device, a pipe, a socket or a folder.
        if (!S_ISREG(info.st_mode))
            return Cause::NotAFile;
        target.exists = true;
    } else if (errno != ENOENT) {
        return causeOf(errno, Cause::FolderPermission);
    }
    const qsizetype slash = file.lastIndexOf('/');
    target.name = file.mid(slash + 1);
    if (target.name.isEmpty())
        return Cause::NotAFile;
    const QByteArray folder = slash < 0 ? QByteArray(".") : file.left(slash + 1);
    target.folder.fd = ::open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (target.folder.fd < 0)
        return causeOf(errno, Cause::FolderPermission);
    return std::nullopt;
}

// How old a leftover temporary file must be before a save removes it. A save
// holds its temporary file only while it writes and syncs a few hundred
// bytes; ten minutes are far more than that on the slowest disk, so a
// temporary file of another copy of the game that is saving right now is
// never taken for a leftover.
constexpr time_t StaleAfterSeconds = 10 * 60;

// The name QSaveFile gives its temporary file: the file's name, a dot and
// six letters or digits.
bool isTemporaryOf(QByteArrayView entry, QByteArrayView name)
{
    if (entry.size() != name.size() + 7 || !entry.startsWith(name) || entry[name.size()] != '.')
        return false;
    return std::all_of(entry.end() - 6, entry.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
}

// A save cut short between the link and the rename, or on a file system
// without unnamed temporary files, leaves its temporary file behind; the
// next save clears such leftovers of its own file (regular files only).
void removeStaleTemporaries(int folder, const QByteArray& name)
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
        if (isTemporaryOf(entry->d_name, name)
            && ::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0
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

// A shared table in a folder that lets no new file be made: the file is
// rewritten where it stands. Room for the new bytes is reserved first, and
// the file is cut to its new length only after they are all written, so a
// full disk fails before the old table is touched and never empties it.
std::optional<WriteFailure> rewriteInPlace(int folder, const QByteArray& name, const QByteArray& bytes)
{
    const Descriptor file(::openat(folder, name.constData(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (file.fd < 0 || ::fstat(file.fd, &info) != 0)
        return failureFromErrno(Cause::FilePermission);
    if (!S_ISREG(info.st_mode))
        return failure(Cause::NotAFile);
    // Not every file system can reserve room; there the writes find out.
    if (::fallocate(file.fd, FALLOC_FL_KEEP_SIZE, 0, bytes.size()) != 0
        && (errno == ENOSPC || errno == EDQUOT || errno == EFBIG || errno == EIO))
        return failureFromErrno(Cause::FilePermission);
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::pwrite(file.fd, bytes.constData() + done, bytes.size() - done, done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return failureFromErrno(Cause::FilePermission);
        done += written;
    }
    if (::ftruncate(file.fd, bytes.size()) != 0 || ::fsync(file.fd) != 0)
        return failureFromErrno(Cause::FilePermission);
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

Lines loadFrom(const QByteArray& name, Source& source, const ReadLimits& limits)
{
    // Look before opening: opening a pipe would wait for a writer, a device
    // such as /dev/zero never ends, and some devices act when opened.
    struct stat info {};
    if (name.isEmpty())
        return {};
    if (::stat(name.constData(), &info) != 0) {
        const int error = errno;
        const bool gone = error == ENOENT || error == ENOTDIR;
        if (error == ELOOP || (gone && ::lstat(name.constData(), &info) == 0))
            source = Source::NotAFile;  // a link to nothing
        else if (!gone)
            source = Source::Unreadable;  // no permission to look, an I/O error
        return {};
    }
    if (!S_ISREG(info.st_mode)) {
        source = Source::NotAFile;
        return {};
    }
    source = Source::Unreadable;
    // O_NONBLOCK: should a pipe take the file's place meanwhile, the open
    // still does not wait.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
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

}  // namespace

Lines load(const QString& path, Source* source, const ReadLimits& limits)
{
    Source found = Source::Missing;
    const Lines lines = loadFrom(QFile::encodeName(path), found, limits);
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
    if (path.isEmpty())
        return failure(Cause::NoFolder);
    Target target;
    if (const std::optional<Cause> cause = findTarget(QFile::encodeName(path), target))
        return failure(*cause);
    const int folder = target.folder.fd;
    // QSaveFile would refuse a file it may not write as well, but with no
    // way to tell a missing permission from a read-only file system.
    if (target.exists && ::faccessat(folder, target.name.constData(), W_OK, AT_EACCESS) != 0)
        return failureFromErrno(Cause::FilePermission);
    removeStaleTemporaries(folder, target.name);

    // Qt reaches the file through the folder's descriptor by an ASCII path.
    const QString name = QFile::decodeName(target.name);
    if (QFile::encodeName(name) != target.name)
        return failure(Cause::Other);  // a link to a name that is not UTF-8
    QSaveFile file(QStringLiteral("/proc/self/fd/%1/").arg(folder) + name);
    // Writing straight into the old file would tear it on a failure.
    file.setDirectWriteFallback(false);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        const int error = errno;
        if (target.exists && (error == EACCES || error == EPERM))
            return rewriteInPlace(folder, target.name, bytes);
        return failure(causeOf(error, Cause::FolderPermission));
    }
    // Qt 6.4's commit() flushes its buffer on the way but loses that flush's
    // error: a disk that fills up there would still get the short new file
    // put in the old one's place. So flush and sync first (a full disk can
    // show itself only when the data reaches it), and commit only when every
    // byte is in the new file.
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0) {
        const int error = errno;
        // Throws the new file away; the old one was never touched.
        file.cancelWriting();
        return failure(causeOf(error, Cause::FilePermission));
    }
    errno = 0;
    if (!file.commit())
        return failureFromErrno(Cause::FolderPermission);
    syncFolder(folder);
    return std::nullopt;
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
