// SPDX-License-Identifier: 0BSD
// Tavlin: a 4 × 4 sliding-tile puzzle.

#include "storage/tablelocation.h"
#include "window/dialogs.h"
#include "window/mainwindow.h"
#include "version.h"

#include <QApplication>
#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string_view>

#include <sys/auxv.h>
#include <unistd.h>

namespace {

// Qt's own options stay accepted, as with any Qt program: `-platform
// offscreen`, `-display :1`, and `-session` when a session manager restores
// the game. QApplication takes them out of the arguments itself; Qt also
// accepts them with two dashes, and style and stylesheet as -style=name.
constexpr std::string_view QtOptionsWithValue[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "display", "geometry",
    "session", "style", "stylesheet", "qwindowgeometry", "qwindowicon", "qwindowtitle",
};
constexpr std::string_view QtFlags[] = {"reverse", "widgetcount"};

constexpr const char Usage[] =
    "Použití: tavlin [VOLBA]\n"
    "Posuvný hlavolam 4 × 4: seřaďte patnáct kamenů podle čísel.\n"
    "Bez voleb otevře okno hry; klávesy F1 nová hra, F2 nejlepší hráči, F3 konec.\n"
    "\n"
    "  -h, --help     vypíše tuto nápovědu a skončí\n"
    "      --version  vypíše verzi programu a skončí\n"
    "\n"
    "Přijme i vlastní volby knihovny Qt, například -platform nebo -display.\n"
    "Podrobnosti: man tavlin\n";

template <std::size_t N>
bool contains(const std::string_view (&names)[N], std::string_view name)
{
    for (std::string_view known : names)
        if (known == name)
            return true;
    return false;
}

// Answers --help and --version and refuses what the game does not take,
// before QApplication exists: these open no window and need no display.
// Returns the exit status when the program is to end here.
std::optional<int> handleCommandLine(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::fputs(Usage, stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
        if (arg == "--version") {
            std::printf("%s\n", tavlin::VersionLine);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
        if (!arg.starts_with('-')) {
            std::fprintf(stderr, "tavlin: nečekaný argument „%s“; hra žádné argumenty nebere.\n", argv[i]);
        } else {
            // Qt takes "--name" for "-name".
            const std::string_view name = arg.substr(arg.starts_with("--") ? 2 : 1);
            if (contains(QtFlags, name) || name.starts_with("style=") || name.starts_with("stylesheet="))
                continue;
            if (contains(QtOptionsWithValue, name) && ++i < argc)
                continue;
            if (i == argc)
                std::fprintf(stderr, "tavlin: volbě „%s“ chybí hodnota.\n", argv[i - 1]);
            else
                std::fprintf(stderr, "tavlin: neznámá volba „%s“.\n", argv[i]);
        }
        std::fputs("Nápovědu vypíše: tavlin --help\n", stderr);
        return 2;
    }
    return std::nullopt;
}

// While QApplication connects to the display, Qt's messages are held back.
// Without a display Qt ends the program with a fatal message, some English
// lines and the advice to reinstall it, and aborts; the player gets one
// Czech line and the status 1 instead. With a display the messages held back
// go on to Qt's own handler as they came.
struct HeldMessage {
    QtMsgType type;
    QByteArray file, function, category;
    int line;
    QString text;
};
std::mutex heldLock;
QList<HeldMessage> held;
std::atomic<bool> connected = false;
QtMessageHandler qtHandler = nullptr;

void holdWhileConnecting(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg && !connected) {
        static const char NoDisplay[] =
            "tavlin: není dostupný žádný displej (X server ani Wayland), okno hry nelze otevřít.\n";
        (void)!::write(STDERR_FILENO, NoDisplay, sizeof NoDisplay - 1);
        ::_exit(1);
    }
    const std::lock_guard lock(heldLock);
    if (connected)
        qtHandler(type, context, text);
    else
        held.append({type, context.file, context.function, context.category, context.line, text});
}

void passHeldMessagesOn()
{
    const std::lock_guard lock(heldLock);
    connected = true;
    qInstallMessageHandler(qtHandler);
    for (const HeldMessage& message : std::as_const(held)) {
        const QMessageLogContext context(message.file.constData(), message.line,
                                         message.function.constData(), message.category.constData());
        qtHandler(message.type, context, message.text);
    }
    held.clear();
}

}  // namespace

int main(int argc, char* argv[])
{
    // Started set-uid or set-gid (or with file capabilities), Qt would end
    // the program with a fatal message, which would pass for a missing
    // display; such a program would also lose the accessibility bus and lend
    // its rights to anyone through Qt's plugin variables. So it says plainly
    // that it does not run like that.
    if (::getauxval(AT_SECURE) != 0) {
        std::fputs("tavlin: hra se nespouští se zvýšenými oprávněními (set-uid ani set-gid); "
                   "spusťte ji jako běžný program.\n", stderr);
        return 1;
    }
    if (const std::optional<int> status = handleCommandLine(argc, argv))
        return *status;

    // Where an X display is there and the player has chosen no platform,
    // the game runs on it, even in a Wayland session: there the window
    // manager centres the fixed window and frames it as designed, which a
    // Wayland client cannot ask for, and Qt, which would try Wayland first,
    // prints no warning where its Wayland plugin is not installed. With
    // Wayland alone, Qt goes there and the compositor places the window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    qtHandler = qInstallMessageHandler(holdWhileConnecting);
    QApplication app(argc, argv);
    passHeldMessagesOn();
    QApplication::setApplicationName(QStringLiteral("Tavlin"));
    QApplication::setDesktopFileName(QStringLiteral("tavlin"));

    tavlin::QtDialogs dialogs;
    // The best-of table lives beside the program.
    tavlin::MainWindow window(dialogs, tavlin::tablelocation::scoreFile());
    window.show();
    return QApplication::exec();
}
