#pragma once
// Score files for the best-of tests, written and read behind the game's back,
// and a user whom file permissions bind.

#include "bestof/scorefile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include <unistd.h>

namespace tavlin::testing {

// Twenty lines: `lines` first, then empty ones.
inline QStringList table(QStringList lines) { lines.resize(scorefile::LineCount); return lines; }

inline QStringList listOf(const scorefile::Lines& lines) { return {lines.begin(), lines.end()}; }

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

// As root, whom no file permission stops, runs the current test row again
// as user nobody, from a copy of this program that nobody can reach.
inline void runAsNobody()
{
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("test")), tag = QTest::currentDataTag();
    QVERIFY(QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ReadOther | QFile::ExeOther)
            && QFile::copy(QCoreApplication::applicationFilePath(), copy));
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", copy,
                            QTest::currentTestFunction() + (tag.isEmpty() ? tag : ":" + tag)});
    if (!child.waitForStarted())
        QSKIP("setpriv (util-linux) is missing: this case needs a user without root's rights");
    QVERIFY(child.waitForFinished(100000) && child.exitCode() == 0);
}

}  // namespace tavlin::testing
