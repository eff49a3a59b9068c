// SPDX-License-Identifier: 0BSD
// A new game as the player starts it with F1: the whole shuffle with its 201
// yields to the event loop and whatever they repaint, on the offscreen
// platform.
//
//   tavlin_bench_shuffle [RUNS]      (200 by default)

#include "nodialogs.h"
#include "window/mainwindow.h"

#include <QApplication>
#include <QEvent>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Counts the widgets' paint events, to show that the shuffle repaints.
class PaintCounter final : public QObject {
public:
    long paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;

    QApplication app(argc, argv);
    QTemporaryDir folder;
    tavlin::bench::NoDialogs dialogs;
    tavlin::MainWindow window(dialogs, folder.filePath(QStringLiteral("tavlin.inf")));
    window.show();
    QApplication::processEvents();

    using Clock = std::chrono::steady_clock;
    for (int i = 0; i < 20; ++i)  // warm the caches, the glyphs and the allocator
        window.newGame();
    QApplication::processEvents();

    PaintCounter counter;
    app.installEventFilter(&counter);
    std::vector<double> ms;
    ms.reserve(static_cast<std::size_t>(runs));
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        window.newGame();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    app.removeEventFilter(&counter);
    std::sort(ms.begin(), ms.end());
    auto at = [&](double q) { return ms[std::min(ms.size() - 1, static_cast<std::size_t>(q * static_cast<double>(ms.size())))]; };
    const double median = at(0.5);
    std::printf("new game (F1), %d runs on the %s platform\n", runs, qPrintable(QApplication::platformName()));
    std::printf("  %.1f widget paint events per new game\n", static_cast<double>(counter.paints) / runs);
    std::printf("  median %.3f ms  p90 %.3f ms  min %.3f ms  max %.3f ms\n", median, at(0.9), ms.front(), ms.back());
    std::printf("  budget: median <= 16 ms: %s\n", median <= 16.0 ? "within" : "MISSED");
    return 0;
}
