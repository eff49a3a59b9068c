#pragma once
// Score files for the best-of tests, written and read behind the game's back.

#include "bestof/scorefile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTest>

#include <algorithm>

namespace tavlin::testing {

// The default table, "neznámý hráč" in Windows-1250.
inline QByteArray defaultBytes()
{
    QByteArray bytes;
    for (int time = 100; time <= 190; time += 10)
        bytes += QByteArray::number(time) + "\r\nnezn\xE1m\xFD hr\xE1\xE8\r\n";
    return bytes;
}

// Twenty lines: `lines` first, then empty ones.
inline QStringList table(QStringList lines)
{
    lines.resize(scorefile::LineCount);
    return lines;
}

inline QStringList listOf(const scorefile::Lines& lines) { return {lines.begin(), lines.end()}; }

inline QByteArray fileOf(const QStringList& lines)
{
    scorefile::Lines all;
    std::copy(lines.begin(), lines.end(), all.begin());
    return scorefile::encode(all);
}

// A file written long ago, so that any later write shows in its time.
inline const QDateTime LongAgo(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC);
inline bool untouched(const QString& path) { return QFileInfo(path).lastModified() == LongAgo; }

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
    QVERIFY(file.flush() && file.setFileTime(LongAgo, QFileDevice::FileModificationTime));
}

inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace tavlin::testing
