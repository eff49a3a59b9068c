// SPDX-License-Identifier: 0BSD
// The score file's format: reading its twenty lines and encoding them as Windows-1250 text.
#include "bestof/scorefile.h"

#include <QIODevice>
#include <QStringDecoder>
#include <QStringEncoder>

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

}  // namespace tavlin::scorefile
