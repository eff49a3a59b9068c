// SPDX-License-Identifier: 0BSD
// libFuzzer target for the score-file loader: any bytes must load into
// twenty lines without a crash, within the read limits, and what the game
// would write back from them must be a well-formed file that loads to the
// same bytes again.

#include "bestof/scorefile.h"

#include <QBuffer>
#include <QByteArray>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace sf = tavlin::scorefile;

namespace {

void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz_scorefile: %s\n", what);
        std::abort();
    }
}

sf::Lines readFrom(const QByteArray& bytes, const sf::ReadLimits& limits, qint64* consumed)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    sf::Lines lines = sf::read(buffer, limits);
    if (consumed)
        *consumed = buffer.pos();
    return lines;
}

void check(const QByteArray& input, const sf::ReadLimits& limits)
{
    qint64 consumed = 0;
    const sf::Lines lines = readFrom(input, limits, &consumed);
    require(consumed <= limits.maxScanBytes, "read past the scan budget");
    for (const QString& line : lines)
        require(line.size() <= limits.maxLineBytes, "kept a line longer than the limit");

    const QByteArray written = sf::encode(lines);
    require(written.count('\n') == sf::LineCount, "written file has not twenty lines");
    require(written.count('\r') == sf::LineCount && written.count("\r\n") == sf::LineCount,
            "a written line holds a CR or LF");
    require(!written.contains('\0'), "written file holds a NUL");
    require(written.endsWith("\r\n"), "written file does not end with CR LF");

    const sf::Lines reloaded = readFrom(written, sf::ReadLimits{}, nullptr);
    require(sf::encode(reloaded) == written, "written file does not load back to itself");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // The game's own limits, and small ones that make every input hit the
    // line cap, the skipping of long lines and the scan budget.
    check(input, sf::ReadLimits{});
    sf::ReadLimits small;
    small.maxLineBytes = 7;
    small.maxScanBytes = 160;
    check(input, small);
    return 0;
}
