// SPDX-License-Identifier: 0BSD
#pragma once
// The parts of a save that touch the disk: an open descriptor, the file a save
// writes, the size-limit signal held off, and the write itself.

#include "storage/savefailure.h"

#include <QByteArray>

#include <optional>

#include <csignal>

#include <unistd.h>

namespace tavlin::scorefile {

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

// The folder held open as `folder` (an O_PATH descriptor), opened again for
// reading, which listing, syncing and locking need; -1 where it cannot be.
int openForReading(int folder);

// The folder part of `path` with its last slash: "./" for a bare name.
inline QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray("./") : path.left(slash + 1);
}

// The regular file a save writes: the folder it stands in, held open so that
// any bytes in the folder's name are no matter, and its name there.
struct Target {
    Descriptor folder;
    QByteArray name;
    QByteArray path;  // the file's path with every link followed
    bool exists = false;
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

// Writes `bytes` as the whole table at `target`, the folder's lock held.
std::optional<WriteFailure> writeTarget(const Target& target, const QByteArray& bytes);

}  // namespace tavlin::scorefile
