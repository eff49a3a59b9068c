# SPDX-License-Identifier: 0BSD
# Shared by bench/startup, bench/idle, bench/shuffle and bench/soak: the build
# folder, building targets in Release, and a private Xvfb display.
# Sourced, not run.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# The benchmarks' own build folder, so that no other build is touched; the
# first argument of each bench script or TAVLIN_BENCH_BUILD picks another.
build=${1:-${TAVLIN_BENCH_BUILD:-$root/build-bench}}
build=$(mkdir -p "$build" && cd "$build" && pwd)

bench_build() {
    # A fresh machine gets what the build and Xvfb need first.
    "$root/scripts/setup" || exit 1
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTAVLIN_TESTS=OFF -DTAVLIN_BENCH=ON >/dev/null ||
        { echo "bench: configuring $build failed" >&2; exit 1; }
    cmake --build "$build" -j2 --target "$@" >/dev/null ||
        { echo "bench: building $* in $build failed" >&2; exit 1; }
}

# Runs "$@" every 50 ms until it succeeds or `seconds` have passed.
poll() {
    local seconds=$1
    shift
    local deadline=$(($(date +%s%N) + seconds * 1000000000))
    while :; do
        "$@" && return 0
        [ "$(date +%s%N)" -ge "$deadline" ] && return 1
        sleep 0.05
    done
}

work=$(mktemp -d "${TMPDIR:-/tmp}/tavlin-bench.XXXXXX")
xvfb_pid=
bench_pids=()
bench_cleanup() {
    local pid
    for pid in "${bench_pids[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
    [ -n "$xvfb_pid" ] && { kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; }
    rm -rf "$work"
}
trap bench_cleanup EXIT

# A display of our own with no window manager, on the first free number.
xvfb_alive() {
    kill -0 "$xvfb_pid" 2>/dev/null && [ "$(awk '{ print $3 }' "/proc/$xvfb_pid/stat" 2>/dev/null)" != Z ]
}
# Our server runs and holds the display's lock file, which names its pid.
xvfb_ours() {
    xvfb_alive && [ "$(tr -d ' \n' <"/tmp/.X$1-lock" 2>/dev/null)" = "$xvfb_pid" ]
}
# True once our server answers, or once it has ended.
xvfb_settled() {
    ! xvfb_alive || { xvfb_ours "$1" && xdpyinfo -display ":$1" >/dev/null 2>&1; }
}
start_xvfb() {
    local n
    for n in $(seq 170 269); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
        xvfb_pid=$!
        # A server that cannot have the number (another one took it in the
        # meantime) ends at once; then the next number is tried.
        if poll 10 xvfb_settled "$n" && xvfb_ours "$n"; then
            export DISPLAY=":$n"
            return 0
        fi
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
        xvfb_pid=
    done
    echo "bench: no Xvfb display could be started" >&2
    exit 1
}

# The game copied into a folder of its own, so that no tavlin.inf lands in
# the build folder; prints its path.
game_copy() {
    mkdir -p "$work/game"
    cp "$build/tavlin" "$work/game/tavlin"
    echo "$work/game/tavlin"
}

export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

machine() {
    echo "machine: $(nproc) CPUs, $(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo)," \
        "$(awk '/MemTotal/ { printf "%.1f GiB RAM", $2 / 1048576 }' /proc/meminfo); $(date -u '+%Y-%m-%d %H:%M UTC')"
}
