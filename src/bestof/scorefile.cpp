#include "scorefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

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

bool syncedToDisk(QSaveFile& file)
{
#ifdef Q_OS_UNIX
    // A full disk can show itself only when the data reaches it.
    if (::fsync(file.handle()) != 0)
        return false;
#else
    Q_UNUSED(file);
#endif
    return true;
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

Lines load(const QString& path, const ReadLimits& limits)
{
    // Only a regular file: opening a pipe would wait for a writer, and a
    // device such as /dev/zero never ends.
    if (!QFileInfo(path).isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return read(file, limits);
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
    QSaveFile file(path);
    // Writing straight into the old file would tear it on a failure.
    file.setDirectWriteFallback(false);

    // Qt 6.4's commit() flushes its buffer on the way but loses that flush's
    // error: a disk that fills up there would still get the short new file
    // put in the old one's place. So flush and sync first, and commit only
    // when every byte is in the new file.
    QFileDevice::FileError error = QFileDevice::NoError;
    QString message;
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.error();
        message = file.errorString();
    } else {
        errno = 0;
        if (file.write(bytes) != bytes.size() || !file.flush() || !syncedToDisk(file)) {
            error = QFileDevice::WriteError;
            // A short write leaves Qt with no reason of its own; the system's
            // is the better one then.
            message = errno != 0 ? qt_error_string(errno) : file.errorString();
            // Throws the new file away; the old one was never touched.
            file.cancelWriting();
        } else if (!file.commit()) {
            error = file.error();
            message = file.errorString();
        } else {
            return std::nullopt;
        }
    }

    WriteFailure failure;
    failure.systemMessage = message;
    const QFileInfo info(path);
    if (info.isDir())
        failure.cause = WriteFailure::Cause::FolderInPlace;
    else if (!info.absoluteDir().exists())
        failure.cause = WriteFailure::Cause::FolderMissing;
    else if (error == QFileDevice::OpenError)
        failure.cause = WriteFailure::Cause::CannotCreate;
    else if (error == QFileDevice::WriteError || error == QFileDevice::ResourceError)
        failure.cause = WriteFailure::Cause::WriteFailed;
    else if (error == QFileDevice::RenameError)
        failure.cause = WriteFailure::Cause::CannotReplace;
    return failure;
}

QString failureText(const QString& path, const WriteFailure& failure)
{
    QString reason;
    switch (failure.cause) {
    case WriteFailure::Cause::FolderInPlace:
        reason = QStringLiteral("Na místě souboru je složka se stejným jménem.");
        break;
    case WriteFailure::Cause::FolderMissing:
        reason = QStringLiteral("Složka, do které se soubor ukládá, neexistuje.");
        break;
    case WriteFailure::Cause::CannotCreate:
        reason = QStringLiteral("Soubor nelze vytvořit ani přepsat. Složka je možná jen pro čtení "
                                "nebo do ní nemáte právo zapisovat.");
        break;
    case WriteFailure::Cause::WriteFailed:
        reason = QStringLiteral("Zápis do souboru se nezdařil. Disk je možná plný.");
        break;
    case WriteFailure::Cause::CannotReplace:
        reason = QStringLiteral("Nový soubor se nepodařilo dát na místo starého.");
        break;
    case WriteFailure::Cause::Other:
        reason = QStringLiteral("Při ukládání došlo k neznámé chybě.");
        break;
    }
    QStringList lines{
        QStringLiteral("Tabulku nejlepších hráčů se nepodařilo uložit."),
        QString(),
        QStringLiteral("Soubor: %1").arg(QDir::toNativeSeparators(path)),
        QStringLiteral("Důvod: %1").arg(reason),
    };
    if (!failure.systemMessage.isEmpty())
        lines << QStringLiteral("Systém hlásí: %1").arg(failure.systemMessage);
    return lines.join(QChar(u'\r'));
}

}  // namespace tavlin::scorefile
