// The score file: odd and huge files loaded, and saves: the bytes written,
// where they go, what is refused and left as it was, what the player is told.

#include "scorefiles.h"

#include <QDir>

#include <csignal>
#include <functional>

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace sf = tavlin::scorefile;
using namespace tavlin::testing;
using Setup = std::function<bool(const QString& path)>;  // makes the place of a save
Q_DECLARE_METATYPE(Setup)
Q_DECLARE_METATYPE(sf::Source)

namespace {

const QByteArray DefaultFile("100\r\nnezn\xE1m\xFD hr\xE1\xE8\r\n110\r\nnezn\xE1m\xFD hr\xE1\xE8\r\n120\r\nnezn\xE1m\xFD hr\xE1\xE8\r\n"
    "130\r\nnezn\xE1m\xFD hr\xE1\xE8\r\n140\r\nnezn\xE1m\xFD hr\xE1\xE8\r\n150\r\nnezn\xE1m\xFD hr\xE1\xE8\r\n160\r\nnezn\xE1m\xFD hr\xE1\xE8\r\n"
    "170\r\nnezn\xE1m\xFD hr\xE1\xE8\r\n180\r\nnezn\xE1m\xFD hr\xE1\xE8\r\n190\r\nnezn\xE1m\xFD hr\xE1\xE8\r\n");

// What the entry leads to, and a regular file's bytes.
QByteArray stateOf(const QString& path)
{
    struct stat s {};
    ::stat(QFile::encodeName(path), &s);
    return QString::asprintf("%o %lu %ld ", s.st_mode, s.st_ino, s.st_mtime).toLatin1() + (S_ISREG(s.st_mode) ? readBytes(path) : "");
}

// An old table longer than the new one; a read-only folder when asked.
Setup oldFile(QFile::Permissions permissions, bool readOnlyFolder = false)
{
    return [=](const QString& path) {
        writeBytes(path, QByteArray(8000, 'o'));
        return QFile::setPermissions(path, permissions)
               && (!readOnlyFolder || QFile::setPermissions(QFileInfo(path).path(), QFile::ReadOwner | QFile::ExeOwner));
    };
}

}  // namespace

class TestScoreFile : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString path() const { return dir_.filePath(QStringLiteral("tavlin.inf")); }
    QStringList entries() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::System | QDir::Hidden); }

private slots:
    void initTestCase() { std::signal(SIGXFSZ, SIG_IGN); }  // a write past RLIMIT_FSIZE fails instead
    void cleanup()
    {
        const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};  // as it was, or "disk full" was skipped
        setrlimit(RLIMIT_FSIZE, &unlimited);
        ::umount2(QFile::encodeName(dir_.path()), MNT_DETACH);
        QVERIFY(QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)
                && QDir(dir_.path()).removeRecursively() && QDir().mkdir(dir_.path()));
    }

    // The rest of an overlong line is skipped, a lone CR is text, LF alone
    // ends a line, and the captions after the last line are empty.
    void loading()
    {
        writeBytes(path(), "100\r\n" + QByteArray(1 << 20, 'x') + "\r\nEva\r\r\n1\r2\n");
        QCOMPARE(listOf(sf::load(path())), table({"100", QString(sf::ReadLimits{}.maxLineBytes, u'x'), "Eva\r", "1\r2"}));
    }

    // What loading finds, then the save: made, or refused for `cause` with
    // nothing changed; `after` is in the folder. "nobody: ..." runs as nobody.
    void saving_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<sf::Source>("found");
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QStringList>("after");
        const QString notAFile = QStringLiteral("Na místě souboru je složka nebo něco jiného než obyčejný soubor.");
        QTest::newRow("link to a device") << Setup([](const QString& p) {  // its own, lest a fault replace /dev/null
            return !::mknod(QFile::encodeName(p + ".null"), S_IFCHR | 0666, makedev(1, 3)) && QFile::link(p + ".null", p);
        }) << sf::Source::NotAFile << notAFile << QStringList{"tavlin.inf", "tavlin.inf.null"};
        QTest::newRow("no folder") << Setup() << sf::Source::Missing << "Složku programu se nepodařilo najít." << QStringList();
        QTest::newRow("disk full") << Setup([](const QString&) { const rlimit low{100, RLIM_INFINITY}; return !setrlimit(RLIMIT_FSIZE, &low); })
                                   << sf::Source::Missing << "Na disku není dost volného místa." << QStringList();
        QTest::newRow("I/O error") << Setup([](const QString& p) { return QFile::link("/proc/self/mem", p); })  // address 0
                                   << sf::Source::Unreadable << "Při zápisu na disk došlo k chybě vstupu/výstupu." << QStringList{"tavlin.inf"};
        QTest::newRow("read-only file system") << Setup([](const QString& p) {  // in a mount namespace of its own
            return !::unshare(CLONE_NEWNS) && !::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr)
                   && !::mount("tavlin", QFile::encodeName(QFileInfo(p).path()), "tmpfs", MS_RDONLY, nullptr);
        }) << sf::Source::Missing << "Souborový systém je připojen jen pro čtení." << QStringList();
        QTest::newRow("nobody: read-only file") << oldFile(QFile::ReadOwner) << sf::Source::File
                                                << "Nemáte oprávnění zapisovat do souboru s tabulkou." << QStringList{"tavlin.inf"};
        QTest::newRow("nobody: read-only folder")
            << Setup([](const QString& p) { return QFile::setPermissions(QFileInfo(p).path(), QFile::ReadOwner | QFile::ExeOwner); })
            << sf::Source::Missing << "Nemáte oprávnění zapisovat do složky, ve které má soubor být." << QStringList();
        QTest::newRow("nobody: shared file in a read-only folder") << oldFile(QFile::ReadOwner | QFile::WriteOwner | QFile::WriteOther, true)
                                                                   << sf::Source::File << QString() << QStringList{"tavlin.inf"};
        QTest::newRow("link to a file") << Setup([](const QString& p) { return oldFile(QFile::ReadOwner | QFile::WriteOwner)(p + ".f") && QFile::link(p + ".f", p); })
                                        << sf::Source::File << QString() << QStringList{"tavlin.inf", "tavlin.inf.f"};
        QTest::newRow("stale leftovers of QSaveFile's pattern only") << Setup([](const QString& p) {
            for (const char* old : {".AbC123", ".AbC12", ".AbC1234", ".bak"})
                writeBytes(p + old, "x");
            return QFile(p + ".XyZ789").open(QIODevice::WriteOnly);  // made just now
        }) << sf::Source::Missing << QString() << QStringList{"tavlin.inf", "tavlin.inf.AbC12", "tavlin.inf.AbC1234", "tavlin.inf.bak", "tavlin.inf.XyZ789"};
    }

    void saving()
    {
        QFETCH(Setup, setup);
        QFETCH(sf::Source, found);
        QFETCH(QString, cause);
        QFETCH(QStringList, after);
        if (QByteArray(QTest::currentDataTag()).startsWith("nobody") && ::geteuid() == 0)
            return runAsNobody();
        const QString place = setup ? path() : QString();
        if (setup && !setup(place))
            QSKIP("cannot be set up here: needs mknod, a mount namespace or a file size limit");
        sf::Source source{};
        QCOMPARE((sf::load(place, &source), source), found);
        const QByteArray was = stateOf(place);
        sf::Lines lines = sf::defaultLines();
        // CR, LF, NUL would split the line. Beyond the code page a character
        // is one "?", whatever its UTF-16 size; 0x1A is a real character too.
        lines[1] = QStringLiteral("Jan\r\nNovák") + QChar(0) + QStringLiteral("李😀\x1A€");
        const std::optional<sf::WriteFailure> failure = sf::save(place, lines);
        QCOMPARE(failure ? sf::failureText("/hra/tavlin.inf", *failure) : QString(), cause.isEmpty() ? QString()
                 : "Tabulku nejlepších hráčů se nepodařilo uložit.\r\rSoubor: /hra/tavlin.inf\rDůvod: " + cause);
        QCOMPARE(entries(), after);
        QCOMPARE(cause.isEmpty() ? readBytes(place) : stateOf(place),
                 cause.isEmpty() ? DefaultFile.left(5) + "Jan  Nov\xE1k ??\x1A\x80" + DefaultFile.mid(17) : was);
        QVERIFY(!cause.isEmpty() || QFileInfo(place).isSymLink() == after.contains("tavlin.inf.f"));
    }
};

QTEST_GUILESS_MAIN(TestScoreFile)
#include "test_scorefile.moc"
