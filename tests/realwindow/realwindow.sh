#!/usr/bin/env bash
# The built game in real X windows, for what only a real window shows: a copy
# of the executable in a fresh folder (so that the score file beside it is
# ours alone) on its own Xvfb display, input only through xdotool, answers
# read from the X server, screenshots, the score file and the exit status.
# It runs the game twice: with no window manager, then framed by openbox.
# Every failed check is reported; the exit status is 1 if any.
#
#   realwindow.sh TAVLIN_EXECUTABLE SCREENSHOT_FOLDER
set -uo pipefail
exe=${1:?usage: realwindow.sh TAVLIN_EXECUTABLE SCREENSHOT_FOLDER}
shots=${2:?usage: realwindow.sh TAVLIN_EXECUTABLE SCREENSHOT_FOLDER}
for tool in Xvfb openbox xdotool xwininfo xprop import convert cmp; do
    command -v "$tool" >/dev/null || { echo "realwindow: $tool is missing (scripts/setup installs it)" >&2; exit 1; }
done
readonly SW=1024 SH=768 H=273 Yellow=FFFFC0 # screen; client area height below the menu bar

failures=0
fatal() { echo "FAIL: $*" >&2; exit 1; }
# check WHAT COMMAND...: runs the command and reports WHAT as passed or failed.
check() {
    local what=$1; shift
    "$@" && { echo "ok:   $what"; return 0; }
    echo "FAIL: $what (last screenshot ${cur:-none})" >&2
    failures=$((failures + 1)); return 1
}
# poll SECONDS COMMAND...: runs the command every 50 ms until it succeeds.
poll() {
    local deadline=$(($(date +%s%N) + $1 * 1000000000)); shift
    until "$@"; do [ "$(date +%s%N)" -lt "$deadline" ] || return 1; sleep 0.05; done
}

work=$(mktemp -d "${TMPDIR:-/tmp}/tavlin-realwindow.XXXXXX")
xvfb_pid='' wm_pid='' game_pid=''
cleanup() { for pid in $game_pid $wm_pid $xvfb_pid; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done; rm -rf "$work"; }
trap cleanup EXIT
rm -rf "$shots" && mkdir -p "$shots" || fatal "cannot make $shots"

# Xvfb picks a free display number itself and writes it once it takes clients.
Xvfb -displayfd 3 -screen 0 "${SW}x${SH}x24" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
poll 10 test -s "$work/display" || fatal "Xvfb did not start: $(tail -n 3 "$work/xvfb.log")"
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
cp "$exe" "$work/tavlin" || fatal "cannot copy $exe"
score="$work/tavlin.inf"

find_window() { win=$(xdotool search --onlyvisible --name '^Tavlin$' 2>/dev/null | head -n 1); [ -n "$win" ]; }
start_game() {
    "$work/tavlin" >>"$work/tavlin.log" 2>&1 &
    game_pid=$!
    poll 10 find_window || fatal "no visible window titled \"Tavlin\" within 10 s"
}
ended() { [ "$(awk '{ print $3 }' "/proc/$game_pid/stat" 2>/dev/null || echo Z)" = Z ]; }
ended_well() {
    poll 2 ended && { wait "$game_pid"; local status=$?; game_pid=; [ "$status" = 0 ] || echo "exit status $status" >&2; return $status; }
}
shot() { cur="$shots/$1.png"; import -window "$win" "$cur" 2>/dev/null; }
# client: the window's client area, menu bar included, as X Y WIDTH HEIGHT on the screen.
client() { xwininfo -id "$win" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }'; }
# click X Y in the client area below the menu bar; the pointer then leaves the window.
click() { xdotool mousemove --window "$win" --sync "$1" $(($2 + menubar)) click 1 mousemove --sync 0 0; }
key() { xdotool windowfocus --sync "$1" 2>/dev/null; xdotool key "$2"; }

# --- No window manager: no frame, the window itself is centred -----------------
start_game
read -r x y w h < <(client)
menubar=$((h - H))
check "the window is 224 px wide and centred on the screen at ($x, $y)" \
    [ "$w $x $y" = "224 $(((SW - w) / 2)) $(((SH - h) / 2))" ]
strip_yellow() { shot 01-start; [ "$(convert "$cur" -format "%[hex:p{1,$((menubar + 1))}]" info: 2>/dev/null)" = "$Yellow" ]; }
check "the first frame is painted" poll 10 strip_yellow

# The best-of table goes beside the program, and Return answers the question Yes.
for t in 100 110 120 130 140 150 160 170 180 190; do
    printf '%s\r\nnezn\xe1m\xfd hr\xe1\xe8\r\n' "$t" # "neznámý hráč" in code page 1250
done >"$work/expected.inf"
# covered: all between the panel's heading and its commands is light yellow.
covered() {
    shot 02-bestof
    [ "$(convert "$cur" -crop "224x200+0+$((40 + menubar))" -format "%k %[hex:p{0,0}]" info: 2>/dev/null)" = "1 $Yellow" ]
}
key "$win" F2
check "F2 covers the client area with the best-of panel" poll 5 covered
click 68 259 # "vymazat tabulku"
find_question() { question=$(xdotool search --onlyvisible --name '^Vymazat tabulku$' 2>/dev/null | head -n 1); [ -n "$question" ]; }
if check "the question box \"Vymazat tabulku\" opens" poll 5 find_question; then
    import -window "$question" "$shots/03-question.png" 2>/dev/null
    key "$question" Return
    check "Return answers Yes: the exact 190-byte default table beside the program" \
        poll 5 cmp -s "$score" "$work/expected.inf"
    shot 04-cleared
fi
key "$win" F3
check "F3 ends the program with exit status 0 within 2 s" ended_well

# --- Under a window manager: the framed window is centred ----------------------
openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm_pid=$!
poll 10 xprop -root -notype _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1 || fatal "openbox did not start"
start_game
# framed_centred: the frame's outer rectangle stands in the middle of the screen.
framed_centred() {
    local l r t b
    IFS=', ' read -r l r t b < <(xprop -id "$win" -notype _NET_FRAME_EXTENTS 2>/dev/null | sed 's/.*= //')
    read -r x y w h < <(client)
    [ -n "$b" ] && [ "$((x - l))" = $(((SW - w - l - r) / 2)) ] && [ "$((y - t))" = $(((SH - h - t - b) / 2)) ]
}
check "under openbox the framed window is centred, title bar included" poll 5 framed_centred
shot 05-openbox
key "$win" F3
check "F3 ends the framed program with exit status 0 within 2 s" ended_well

[ -s "$work/tavlin.log" ] && { echo "--- the program's own output:"; cat "$work/tavlin.log"; }
echo "screenshots: $shots"
[ "$failures" = 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "all checks passed"
