// SPDX-License-Identifier: 0BSD
#pragma once
// Score files written and read behind the game's back, and a user whom file permissions bind.

#include "storage/tablefile.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <unistd.h>

namespace tavlin::testing {

inline QStringList listOf(const scorefile::Lines& lines) { return {lines.begin(), lines.end()}; }

inline QStringList table(const QStringList& lines) { return (lines + listOf({})).first(scorefile::LineCount); }

inline const QDateTime LongAgo(QDate(2001, 2, 3), QTime(4, 5, 6), QTimeZone::utc());  // so that any later write shows
inline bool untouched(const QString& path) { return QFileInfo(path).lastModified() == LongAgo; }

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    QVERIFY(file.flush() && file.setFileTime(LongAgo, QFileDevice::FileModificationTime));
}

inline QByteArray readBytes(const QString& path)  // a regular file's bytes, nothing from anything else
{
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void runAsNobody()  // this test row again as user nobody, from a copy of the program nobody can reach
{
    QTemporaryDir dir;
    QVERIFY(QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ReadOther | QFile::ExeOther)
            && QFile::copy(QCoreApplication::applicationFilePath(), dir.filePath(QStringLiteral("test"))));
    const int status = QProcess::execute("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups",
        dir.filePath(QStringLiteral("test")), QTest::currentTestFunction() + QString(':') + QTest::currentDataTag()});
    if (status == -2)
        QSKIP("setpriv (util-linux) is missing: this case needs a user without root's rights");
    QCOMPARE(status, 0);
}

}  // namespace tavlin::testing
