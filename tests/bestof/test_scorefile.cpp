// The score file: odd files loaded, and saves: the bytes, where they go, what is refused, what the player reads.

#include "scorefiles.h"

#include <QDir>

#include <csignal>

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

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

class TestScoreFile : public QObject {
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

    void loading()
    {
        writeBytes(path(), "100\r\n" + QByteArray(1 << 20, 'x') + "\r\nEva\r\r\n1\r2\n");
        QCOMPARE(listOf(load(path())), table({"100", QString(ReadLimits{}.maxLineBytes, u'x'), "Eva\r", "1\r2"}));
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
        add("disk full", {Missing, "Na disku není dost volného místa.", {},
            [](auto&) { return std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR && !setrlimit(RLIMIT_FSIZE, &Small); }});
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
        add("stale leftovers of QSaveFile's pattern only", {Missing, {}, {"tavlin.inf", "tavlin.inf.AbC12",
            "tavlin.inf.AbC1234", "tavlin.inf.bak", "tavlin.inf.XyZ789"}, [](auto& p) {
            for (const char* old : {".AbC123", ".AbC12", ".AbC1234", ".bak"})
                writeBytes(p + old, "x");
            return QFile(p + ".XyZ789").open(QIODevice::WriteOnly);  // made just now
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
            QSKIP("cannot be set up here: needs mknod, a mount namespace or a file size limit");
        Source source{};
        load(place, &source);
        QCOMPARE(source, found);
        const QByteArray was = stateOf(place);
        Lines lines = defaultLines();
        lines[1] = QStringLiteral("Jan\r\nNovák") + QChar(0) + QStringLiteral("李😀\x1A€");  // one line; "?" for 李, 😀
        const QByteArray unknown = "nezn\xE1m\xFD hr\xE1\xE8\r\n";
        const QByteArray saved = "100\r\nJan  Nov\xE1k ??\x1A\x80\r\n110\r\n" + unknown + "120\r\n" + unknown
            + "130\r\n" + unknown + "140\r\n" + unknown + "150\r\n" + unknown + "160\r\n" + unknown
            + "170\r\n" + unknown + "180\r\n" + unknown + "190\r\n" + unknown;
        const auto failure = save(place, lines);
        QCOMPARE(failure ? failureText("/hra/tavlin.inf", *failure) : QString(), cause.isEmpty() ? QString()
                 : "Tabulku nejlepších hráčů se nepodařilo uložit.\r\rSoubor: /hra/tavlin.inf\rDůvod: " + cause);
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files | QDir::System | QDir::Hidden), after);
        QCOMPARE(cause.isEmpty() ? readBytes(place) : stateOf(place), cause.isEmpty() ? saved : was);
        QVERIFY(!cause.isEmpty() || QFileInfo(place).isSymLink() == after.contains("tavlin.inf.f"));
    }
};

QTEST_GUILESS_MAIN(TestScoreFile)
#include "test_scorefile.moc"
