#!/usr/bin/env bash
# The built game in a real X window, used the way a player uses it: a copy of
# the executable in a fresh folder (so that the score file beside it is ours
# alone), its own Xvfb display with no window manager, input only through
# xdotool, and the answers read only from screenshots, the score file and the
# exit status. Every failed check is reported; the exit status is 1 if any.
#
#   realwindow.sh TAVLIN_EXECUTABLE SCREENSHOT_FOLDER
set -uo pipefail
exe=${1:?usage: realwindow.sh TAVLIN_EXECUTABLE SCREENSHOT_FOLDER}
shots=${2:?usage: realwindow.sh TAVLIN_EXECUTABLE SCREENSHOT_FOLDER}
for tool in Xvfb xdotool xwininfo import convert cmp; do
    command -v "$tool" >/dev/null || { echo "realwindow: $tool is missing (scripts/setup installs it)" >&2; exit 1; }
done

# Client area in pixels: four 56 px columns; the rows of cells start at these
# heights, below the 20 px status strip.
readonly W=224 H=273 CW=56 Rows=(20 84 147 210 273) Yellow=FFFFC0 Green=C0FFC0

failures=0
fatal() { echo "FAIL: $*" >&2; exit 1; }
# check WHAT COMMAND...: runs the command and reports WHAT as passed or failed.
check() {
    local what=$1; shift
    "$@" && { echo "ok:   $what"; return 0; }
    echo "FAIL: $what (last screenshot ${cur:-none}, cells ${board:-unread})" >&2
    failures=$((failures + 1)); return 1
}
# poll SECONDS COMMAND...: runs the command every 50 ms until it succeeds.
poll() {
    local deadline=$(($(date +%s%N) + $1 * 1000000000)); shift
    until "$@"; do [ "$(date +%s%N)" -lt "$deadline" ] || return 1; sleep 0.05; done
}

work=$(mktemp -d "${TMPDIR:-/tmp}/tavlin-realwindow.XXXXXX")
xvfb_pid='' game_pid=''
cleanup() { for pid in $game_pid $xvfb_pid; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done; rm -rf "$work"; }
trap cleanup EXIT
rm -rf "$shots" && mkdir -p "$shots" || fatal "cannot make $shots"

# Xvfb picks a free display number itself and writes it once it takes clients.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
poll 10 test -s "$work/display" || fatal "Xvfb did not start: $(tail -n 3 "$work/xvfb.log")"
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

cp "$exe" "$work/tavlin" || fatal "cannot copy $exe"
score="$work/tavlin.inf"
"$work/tavlin" >"$work/tavlin.log" 2>&1 &
game_pid=$!
find_window() { win=$(xdotool search --onlyvisible --name '^Tavlin$' 2>/dev/null | head -n 1); [ -n "$win" ]; }
poll 10 find_window || fatal "no visible window titled \"Tavlin\" within 10 s"
echo "ok:   a window titled \"Tavlin\" on $DISPLAY"

# --- Screenshots and pixels; coordinates are in the client area -------------
shot() { cur="$shots/$1.png"; import -window "$win" "$cur" 2>/dev/null; }
# px X Y ...: the colours of these points of the last screenshot, in hex.
px() {
    local format=
    while [ $# -ge 2 ]; do format+="%[hex:p{$1,$(($2 + menubar))}] "; shift 2; done
    convert "$cur" -format "$format" info: 2>/dev/null
}
# cells NAME: a screenshot, then the board as sixteen letters, row by row:
# F for the free cell (light green at two opposite corners and the centre),
# T for a tile (light yellow at those corners), ? for anything else.
cells() {
    shot "$1"
    local i x y h c=() args=()
    for i in {0..15}; do
        x=$((i % 4 * CW)); y=${Rows[i / 4]}; h=$((Rows[i / 4 + 1] - y))
        args+=($((x + 3)) $((y + 3)) $((x + CW - 4)) $((y + h - 4)) $((x + CW / 2)) $((y + h / 2)))
    done
    read -r -a c <<<"$(px "${args[@]}")"
    board=
    for i in {0..15}; do
        case "${c[3 * i]:-} ${c[3 * i + 1]:-} ${c[3 * i + 2]:-}" in
            "$Green $Green $Green") board+=F ;;
            "$Yellow $Yellow "*) board+=T ;;
            *) board+='?' ;;
        esac
    done
}
one_free() { [[ $board =~ ^T*FT*$ ]]; }
# sig CELL: a hash of the cell's picture (its top 63 rows, which every cell has).
sig() { convert "$cur" -crop "${CW}x63+$(($1 % 4 * CW))+$((Rows[$1 / 4] + menubar))" +repage -format '%#' info: 2>/dev/null; }
centre() { echo $(($1 % 4 * CW + CW / 2)) $(((Rows[$1 / 4] + Rows[$1 / 4 + 1]) / 2)); }
# click X Y; the pointer then leaves the window, so that no tooltip covers the next screenshot.
click() { xdotool mousemove --window "$win" --sync "$1" $(($2 + menubar)) click 1 mousemove --sync 0 0; }
key() { xdotool windowfocus --sync "$1" 2>/dev/null; xdotool key "$2"; }

# --- The window as it opens ---------------------------------------------------
read -r width height < <(xwininfo -id "$win" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
check "the window is $width px wide, expected $W" [ "$width" = "$W" ]
menubar=$((height - H)) # the client area is the bottom H px, below the menu bar
# Once the first frame is painted, the strip's light yellow shows at the client area's top.
strip_yellow() { shot 01-start; [[ "$(px 1 0 1 19 60 1 80 10 100 18 $((W - 2)) 0 $((W - 2)) 19)" =~ ^($Yellow ){7}$ ]]; }
check "the status strip below a $menubar px menu bar is light yellow" poll 10 strip_yellow
cells 01-start
check "one light green free cell in its place, the other cells tiles: $board" one_free

# --- Tile clicks ----------------------------------------------------------------
# The far tile (the corner farthest from the free cell) is clicked first, then
# the tile beside the free cell in its row. Once the second move shows, the
# first click has been handled too: only the clicked tile may have moved.
free=${board%%F*} && free=${#free}
next=$((free % 4 < 3 ? free + 1 : free - 1))
far=$((free / 4 < 2 ? 12 : 0)) && far=$((far + (free % 4 < 2 ? 3 : 0)))
sig_next=$(sig "$next") sig_far=$(sig "$far")
click $(centre "$far")
click $(centre "$next")
moved() { cells 02-moved; one_free && [ "${board:next:1}" = F ]; }
check "a click on the tile beside the free cell (cell $free) moves the free cell to cell $next" poll 5 moved
check "the clicked tile slid into cell $free and the far tile (cell $far) stayed" \
    [ "$(sig "$free") $(sig "$far")" = "$sig_next $sig_far" ]
before=$board

# --- The best-of panel ----------------------------------------------------------
# covered NAME: a screenshot; true if all between the panel's heading and its
# commands is light yellow: no number and no free cell shows through.
covered() {
    shot "$1"
    [ "$(convert "$cur" -crop "${W}x200+0+$((40 + menubar))" -format "%k %[hex:p{0,0}]" info: 2>/dev/null)" = "1 $Yellow" ]
}
key "$win" F2
check "F2 covers the client area with the panel" poll 5 covered 03-bestof
check "showing the panel with no score file creates none" [ ! -e "$score" ]
click 200 259 # "zpět"
back() { cells 04-back; [ "$board" = "$before" ]; }
check "a click on \"zpět\" hides the panel and shows the board as it was" poll 5 back

# --- Clearing the table -----------------------------------------------------------
for t in 100 110 120 130 140 150 160 170 180 190; do
    printf '%s\r\nnezn\xe1m\xfd hr\xe1\xe8\r\n' "$t" # "neznámý hráč" in code page 1250
done >"$work/expected.inf"
key "$win" F2
check "F2 shows the panel again" poll 5 covered 05-bestof-again
click 68 259 # "vymazat tabulku"
find_question() { question=$(xdotool search --onlyvisible --name '^Vymazat tabulku$' 2>/dev/null | head -n 1); [ -n "$question" ]; }
if check "the question box \"Vymazat tabulku\" opens" poll 5 find_question; then
    import -window "$question" "$shots/06-question.png" 2>/dev/null
    key "$question" Return
    check "Return on the question leaves the exact 190-byte default file" \
        poll 5 cmp -s "$score" "$work/expected.inf"
    shot 07-cleared
fi

# --- The end ------------------------------------------------------------------------
ended() { [ "$(awk '{ print $3 }' "/proc/$game_pid/stat" 2>/dev/null || echo Z)" = Z ]; }
ended_well() {
    poll 2 ended && { wait "$game_pid"; local status=$?; game_pid=; [ "$status" = 0 ] || echo "exit status $status" >&2; return $status; }
}
key "$win" F3
check "F3 ends the program with exit status 0 within 2 s" ended_well

[ -s "$work/tavlin.log" ] && { echo "--- the program's own output:"; cat "$work/tavlin.log"; }
echo "screenshots: $shots"
[ "$failures" = 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "all checks passed"
