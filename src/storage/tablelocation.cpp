// SPDX-License-Identifier: 0BSD
// Where the best-of table lives: beside the real program, and its name as a player reads it.
#include "storage/tablelocation.h"
#include "storage/tablewrite.h"

#include <QByteArray>

#include <climits>

#include <fcntl.h>
#include <unistd.h>

namespace tavlin::tablelocation {

namespace {

struct ProgramFolder {
    int fd = -1;
    QString viaDescriptor;  // "/proc/self/fd/N/"
    QString shown;          // the folder's name for messages, ending in "/"
};

const ProgramFolder& programFolder()
{
    static const ProgramFolder folder = [] {
        ProgramFolder found;
        char buffer[PATH_MAX];
        const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer);
        if (length <= 0 || length >= static_cast<ssize_t>(sizeof buffer))
            return found;
        // Only the part before the last slash counts, so a program that was
        // replaced while running (the link then ends in " (deleted)") still
        // finds its folder.
        const QByteArray exe(buffer, length);
        if (!exe.contains('/'))
            return found;
        const QByteArray dir = scorefile::folderOf(exe);
        // O_PATH opens even a folder we may not list; the descriptor is only
        // a way in, kept for the program's life and not passed to children.
        found.fd = ::open(dir.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (found.fd < 0)
            return found;
        found.viaDescriptor = QStringLiteral("/proc/self/fd/%1/").arg(found.fd);
        found.shown = QString::fromUtf8(dir);
        return found;
    }();
    return folder;
}

}  // namespace

QString scoreFile()
{
    const ProgramFolder& folder = programFolder();
    if (folder.fd < 0)
        return {};
    return folder.viaDescriptor + QStringLiteral("tavlin.inf");
}

QString shownName(const QString& path)
{
    const ProgramFolder& folder = programFolder();
    if (folder.fd < 0 || !path.startsWith(folder.viaDescriptor))
        return path;
    return folder.shown + path.mid(folder.viaDescriptor.size());
}

}  // namespace tavlin::tablelocation
