// SPDX-License-Identifier: 0BSD
// The score file on disk: saves, where they go, what is refused and why, and many players saving at once.

#include "bestof/ranking.h"
#include "fixtures/scorefiles.h"

#include <QDir>

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>

using namespace tavlin::scorefile;
using namespace tavlin::testing;
using Case = std::tuple<Source, QString, QStringList, bool (*)(const QString& place)>;  // found, cause, after, setup

const rlimit Unlimited{RLIM_INFINITY, RLIM_INFINITY};
const rlimit Small{100, RLIM_INFINITY};

static QByteArray stateOf(const QString& path)  // what the entry leads to, and a regular file's bytes
{
    struct stat s {};
    ::stat(QFile::encodeName(path), &s);
    return QString::asprintf("%o %lu %ld ", s.st_mode, s.st_ino, s.st_mtime).toLatin1() + readBytes(path);
}

static bool setMode(const QString& path, mode_t mode) { return ::chmod(QFile::encodeName(path), mode) == 0; }

static bool oldFile(const QString& place, mode_t mode, mode_t folderMode = 0700)  // longer than the new table
{
    writeBytes(place, QByteArray(8000, 'o'));
    return setMode(place, mode) && setMode(QFileInfo(place).path(), folderMode);
}

class TestTableFile : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString path() const { return dir_.filePath(QStringLiteral("tavlin.inf")); }

private slots:
    void cleanup()
    {
        setrlimit(RLIMIT_FSIZE, &Unlimited);  // as it was, or "disk full" was skipped
        ::umount2(QFile::encodeName(dir_.path()), MNT_DETACH);
        QVERIFY(setMode(dir_.path(), 0700) && QDir(dir_.path()).removeRecursively() && QDir().mkdir(dir_.path()));
    }

    void saving_data()
    {
        QTest::addColumn<Case>("row");
        const auto add = [](const char* tag, const Case& row) { QTest::newRow(tag) << row; };
        using enum Source;
        add("link to a device", {NotAFile, "Na místě souboru je složka nebo něco jiného než obyčejný soubor.",
            {"tavlin.inf", "tavlin.inf.dev"}, [](auto& p) {  // our own, and one that no driver serves
            return !mknod(QFile::encodeName(p + ".dev"), S_IFCHR | 0666, makedev(0, 1)) && QFile::link(p + ".dev", p);
        }});
        add("no folder", {Missing, "Složku programu se nepodařilo najít.", {}, nullptr});
        add("file size limit", {Missing, "Soubor by přesáhl největší velikost souboru, kterou systém dovoluje.", {},
            [](auto&) { return !setrlimit(RLIMIT_FSIZE, &Small); }});  // the game, not the test, ignores SIGXFSZ
        add("nobody: file size limit, shared file in a read-only folder", {File,
            "Soubor by přesáhl největší velikost souboru, kterou systém dovoluje.", {"tavlin.inf"},
            [](auto& p) { return writeBytes(p, encode(defaultLines())), setMode(p, 0602) && setMode(QFileInfo(p).path(),
                0500) && !setrlimit(RLIMIT_FSIZE, &Small); }});  // the front's 190 bytes would pass the 100-byte limit
        add("link of another user", {NotAFile, "Na místě souboru je složka nebo něco jiného než obyčejný soubor.",
            {"tavlin.inf", "tavlin.inf.f"}, [](auto& p) {  // planted in a folder of ours, to our own file
            return oldFile(p + ".f", 0600) && QFile::link(p + ".f", p) && !::lchown(QFile::encodeName(p), 1, 1);
        }});
        add("I/O error", {Unreadable, "Při zápisu na disk došlo k chybě vstupu/výstupu.", {"tavlin.inf"},
            [](auto& p) { return QFile::link("/proc/self/mem", p); }});  // read from address 0
        add("read-only file system", {Missing, "Souborový systém je připojen jen pro čtení.", {}, [](auto& p) {
            return !unshare(CLONE_NEWNS) && !mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr)
                   && !mount("tavlin", QFile::encodeName(QFileInfo(p).path()), "tmpfs", MS_RDONLY, nullptr);
        }});
        add("nobody: read-only file", {File, "Nemáte oprávnění zapisovat do souboru s tabulkou.", {"tavlin.inf"},
            [](auto& p) { return oldFile(p, 0400); }});
        add("nobody: read-only folder", {Missing, "Nemáte oprávnění zapisovat do složky, ve které má soubor být.", {},
            [](auto& p) { return setMode(QFileInfo(p).path(), 0500); }});
        add("nobody: shared file in a read-only folder", {File, {}, {"tavlin.inf"},
            [](auto& p) { return oldFile(p, 0602, 0500); }});
        add("link to a file", {File, {}, {"tavlin.inf", "tavlin.inf.f"},
            [](auto& p) { return oldFile(p + ".f", 0600) && QFile::link(p + ".f", p); }});
        add("stale temporary files of the game's only", {Missing, {}, {".tavlin-ukladani-AbC12",
            ".tavlin-ukladani-Fresh1", "tavlin.inf", "tavlin.inf.202401", "tavlin.inf.AbC123", "tavlin.inf.zaloha"},
            [](auto& p) {  // the players' own copies are old too
            const QString folder = QFileInfo(p).path() + "/";
            for (const char* old : {".tavlin-ukladani-AbC123", ".tavlin-ukladani-AbC12", "tavlin.inf.202401",
                                    "tavlin.inf.AbC123", "tavlin.inf.zaloha"})
                writeBytes(folder + old, "x");
            return QFile(folder + ".tavlin-ukladani-Fresh1").open(QIODevice::WriteOnly);  // made just now
        }});
    }

    void saving()
    {
        QFETCH(Case, row);
        const auto& [found, cause, after, setup] = row;
        if (QByteArray(QTest::currentDataTag()).startsWith("nobody") && ::geteuid() == 0)  // root ignores permissions
            return runAsNobody();
        const QString place = setup ? path() : QString();
        if (setup && !setup(place))
            QSKIP("cannot be set up here: needs mknod, a mount namespace, a file size limit or another user");
        Source source{};
        load(place, &source);
        QCOMPARE(source, found);
        if (found == Source::Unreadable) {  // a ranking keeps a table it could not read; a clear replaces it
            const Update ranked = update(place, [](const Lines& now, Source) { return std::optional<Lines>(now); });
            QVERIFY(ranked.failure && ranked.failure->cause == WriteFailure::Cause::Unreadable);
        }
        const QByteArray was = stateOf(place);
        Lines lines = defaultLines();
        lines[1] = QStringLiteral("Jan Novák");
        const QByteArray saved = encode(lines);
        const auto failure = save(place, lines);
        QCOMPARE(failure ? failureText("/hra/tavlin.inf", *failure) : QString(), cause.isEmpty() ? QString()
                 : "Tabulku nejlepších hráčů se nepodařilo uložit.\r\rSoubor: /hra/tavlin.inf\rDůvod: " + cause);
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files | QDir::System | QDir::Hidden), after);
        QCOMPARE(cause.isEmpty() ? readBytes(place) : stateOf(place), cause.isEmpty() ? saved : was);
        QVERIFY(!cause.isEmpty() || QFileInfo(place).isSymLink() == after.contains("tavlin.inf.f"));
    }

    // Players who finish at once: 8 copies of the game rank 25 games each into
    // one table, the last ones the fastest. Every row that belongs in the
    // final table is there, every load on the way finds a whole table, and
    // nothing else is left in the folder.
    void concurrentSaves_data()
    {
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<bool>("asNobody");  // the players, where the tests run as root
        const bool root = ::geteuid() == 0;
        QTest::newRow("replaced") << 0700 << false;
        QTest::newRow("rewritten in place, read-only folder") << (root ? 0755 : 0500) << root;
        QTest::newRow("rewritten in place, another user's table in a sticky folder") << 01777 << true;
    }

    void concurrentSaves()
    {
        QFETCH(int, folderMode);
        QFETCH(bool, asNobody);
        if (asNobody && ::geteuid() != 0)
            QSKIP("needs root: the table must belong to another user than the players");
        constexpr int Players = 8, Games = 25;
        const auto row = [](int time) { return QStringLiteral("%1-%2").arg(time % Players).arg(Games - 1 - time / Players); };
        writeBytes(path(), QByteArray("\r\n").repeated(LineCount));  // twenty empty places
        QVERIFY(setMode(path(), 0666) && setMode(dir_.path(), folderMode));
        for (int player = 0; player < Players; ++player) {
            if (::fork() != 0)
                continue;
            int failed = asNobody && (::setgid(65534) || ::setuid(65534));
            for (int game = 0; game < Games && !failed; ++game) {
                const int time = (Games - 1 - game) * Players + player;
                failed = update(path(), [&](const Lines& now, Source) {
                    return tavlin::ranking::withRow(now, time, row(time)); }).failure.has_value();
            }
            ::_exit(failed);
        }
        const auto whole = [&](const Lines& lines) {  // rows by time, each with its own name, empty places last
            for (int i = 0, last = -1; i < RowCount; ++i) {
                const QString& time = lines[2 * i];
                if (time.isEmpty() ? !lines[2 * i + 1].isEmpty() || (i + 1 < RowCount && !lines[2 * i + 2].isEmpty())
                                   : time.toInt() <= last || lines[2 * i + 1] != row(last = time.toInt()))
                    return false;
            }
            return true;
        };
        for (int playing = Players, status = 0; playing > 0;) {
            const Lines seen = load(path());
            QVERIFY2(whole(seen), qPrintable(listOf(seen).join('|')));
            if (const pid_t done = ::waitpid(-1, &status, WNOHANG); done > 0 && --playing >= 0)
                QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, "a save failed");
        }
        QStringList best;
        for (int time = 0; time < RowCount; ++time)
            best << QString::number(time) << row(time);
        QCOMPARE(listOf(load(path())), best);
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files | QDir::System | QDir::Hidden), QStringList{"tavlin.inf"});
    }
};

QTEST_GUILESS_MAIN(TestTableFile)
#include "test_tablefile.moc"
