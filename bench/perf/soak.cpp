// SPDX-License-Identifier: 0BSD
// Many games in one run: 1,000 new games and 10,000 tile clicks on random
// tiles, on the offscreen platform, and the resident memory before and after.
//
//   tavlin_bench_soak [GAMES [CLICKS_PER_GAME]]      (1000 and 10 by default)

#include "nodialogs.h"
#include "window/mainwindow.h"

#include <QApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

namespace {

long rssKib()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const int games = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    const int clicksPerGame = argc > 2 ? std::max(0, std::atoi(argv[2])) : 10;

    QApplication app(argc, argv);
    QTemporaryDir folder;
    tavlin::bench::NoDialogs dialogs;
    tavlin::MainWindow window(dialogs, folder.filePath(QStringLiteral("tavlin.inf")));
    window.show();
    QApplication::processEvents();

    std::mt19937 random(20261205);
    std::uniform_int_distribution<int> tile(1, 15);
    int solved = 0;
    auto play = [&](int count, int clicks) {
        for (int g = 0; g < count; ++g) {
            window.newGame();
            for (int c = 0; c < clicks; ++c) {
                window.tileClicked(static_cast<std::int16_t>(tile(random)));
                QApplication::processEvents();  // the repaint a real click brings
                if (window.game().board().isSolved())
                    ++solved;
            }
        }
    };

    play(100, clicksPerGame);  // warm-up: glyph caches, allocator pools
    const long start = rssKib();
    play(games, clicksPerGame);
    const long end = rssKib();

    std::printf("%d new games and %d tile clicks on the %s platform (%d solved boards)\n", games,
                games * clicksPerGame, qPrintable(QApplication::platformName()), solved);
    std::printf("  RSS at start %ld KiB, at end %ld KiB, difference %+ld KiB (%+.2f MiB)\n", start, end,
                end - start, static_cast<double>(end - start) / 1024.0);
    std::printf("  budget: within 1 MiB: %s\n", std::labs(end - start) <= 1024 ? "within" : "MISSED");
    return 0;
}
