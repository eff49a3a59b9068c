// SPDX-License-Identifier: 0BSD
// mapwait [--rss-after MS] PROGRAM [ARGS...]
//
// Starts PROGRAM and prints the time from its exec to the moment its first
// top-level window is mapped on the X display, how long its threads had run
// on a CPU by then and how long they had waited for one, then, MS
// milliseconds later (1000 by default), its resident memory, and ends it:
//
//   map_ms=74.215 cpu_ms=61.020 wait_ms=3.518 rss_kib=30512
//
// The CPU time leaves out what other programs on a busy machine cost the
// start-up in waiting, which the time to the map includes; the X server's
// own work is in the time to the map only.
// It listens for MapNotify on the root window, so the display should hold no
// other client that maps windows meanwhile (a fresh Xvfb does not).

#include <X11/Xlib.h>

#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

#include <dirent.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <chrono>
#include <ctime>
#include <fstream>
#include <string>
#include <thread>

namespace {

double now_ms()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

long rss_kib(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// The time all of the process's threads have run on a CPU and waited for
// one, in milliseconds, from the scheduler's statistics.
struct CpuTimes {
    double run_ms = -1, wait_ms = -1;
};

CpuTimes cpu_times(pid_t pid)
{
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = opendir(tasks.c_str());
    if (!dir)
        return {};
    CpuTimes times{0, 0};
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        std::ifstream stat(tasks + "/" + entry->d_name + "/schedstat");
        unsigned long long run_ns = 0, wait_ns = 0;
        if (stat >> run_ns >> wait_ns) {
            times.run_ms += static_cast<double>(run_ns) / 1e6;
            times.wait_ms += static_cast<double>(wait_ns) / 1e6;
        }
    }
    closedir(dir);
    return times;
}

void end_child(pid_t child)
{
    kill(child, SIGTERM);
    int status = 0;
    for (int i = 0; i < 200; ++i) {
        if (waitpid(child, &status, WNOHANG) == child)
            return;
        usleep(10000);
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
}

}  // namespace

int main(int argc, char* argv[])
{
    int first = 1;
    long rssAfterMs = 1000;
    if (argc > 2 && std::strcmp(argv[1], "--rss-after") == 0) {
        rssAfterMs = std::strtol(argv[2], nullptr, 10);
        first = 3;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: mapwait [--rss-after MS] PROGRAM [ARGS...]\n");
        return 2;
    }

    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "mapwait: cannot open the X display\n");
        return 2;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const double start = now_ms();
    const pid_t child = fork();
    if (child < 0) {
        std::perror("mapwait: fork");
        return 2;
    }
    if (child == 0) {
        close(ConnectionNumber(display));
        execvp(argv[first], argv + first);
        std::perror("mapwait: exec");
        _exit(127);
    }

    const int fd = ConnectionNumber(display);
    double mapped = -1;
    while (mapped < 0) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            // Menus and tooltips are override-redirect; the first ordinary
            // top-level window is the program's window.
            if (event.type == MapNotify && !event.xmap.override_redirect) {
                mapped = now_ms();
                break;
            }
        }
        if (mapped >= 0)
            break;
        if (now_ms() - start > 20000) {
            std::fprintf(stderr, "mapwait: no window within 20 s\n");
            end_child(child);
            return 1;
        }
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            std::fprintf(stderr, "mapwait: the program ended before it mapped a window\n");
            return 1;
        }
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        timeval timeout{0, 100000};
        if (select(fd + 1, &readable, nullptr, nullptr, &timeout) < 0 && errno != EINTR) {
            std::perror("mapwait: select");
            end_child(child);
            return 2;
        }
    }

    const CpuTimes cpu = cpu_times(child);
    std::this_thread::sleep_for(std::chrono::milliseconds(rssAfterMs));
    const long rss = rss_kib(child);
    std::printf("map_ms=%.3f cpu_ms=%.3f wait_ms=%.3f rss_kib=%ld\n", mapped - start, cpu.run_ms, cpu.wait_ms, rss);
    std::fflush(stdout);
    end_child(child);
    XCloseDisplay(display);
    return 0;
}
