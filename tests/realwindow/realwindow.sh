#!/usr/bin/env bash
# The built game in a real X window, used the way a player uses it: a copy of
# the executable in a fresh folder (so that the score file beside it is ours
# alone), its own Xvfb display with no window manager, input only through
# xdotool, and the answers read only from screenshots, the score file and the
# exit status.
#
#   realwindow.sh TAVLIN_EXECUTABLE SCREENSHOT_FOLDER
#
# Every check that fails is reported; the script goes on where it still can
# and exits 1 if anything failed.
set -uo pipefail

exe=${1:?usage: realwindow.sh TAVLIN_EXECUTABLE SCREENSHOT_FOLDER}
shots=${2:?usage: realwindow.sh TAVLIN_EXECUTABLE SCREENSHOT_FOLDER}

for tool in Xvfb xdotool xwininfo xdpyinfo import convert cmp; do
    command -v "$tool" >/dev/null || { echo "realwindow: $tool is missing (scripts/setup installs it)" >&2; exit 1; }
done

# --- Client-area geometry of the window, in pixels ---------------------------
readonly ClientWidth=224 ClientHeight=273 StripHeight=20 CellWidth=56
readonly RowTop=(20 84 147 210 273)
readonly LightYellow=FFFFC0 LightGreen=C0FFC0

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok:   $*"; }
fatal() { echo "FAIL: $*" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/tavlin-realwindow.XXXXXX")
xvfb_pid=
game_pid=
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    [ -n "$game_pid" ] && wait "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

rm -rf "$shots"
mkdir -p "$shots"

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

# --- An X server of our own ---------------------------------------------------
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
    for n in $(seq 70 169); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
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
    return 1
}
start_xvfb || fatal "no Xvfb display could be started"
echo "display $DISPLAY"

# --- The game, from a copy in a folder of its own ------------------------------
[ -x "$exe" ] || fatal "no executable at $exe"
cp "$exe" "$work/tavlin" || fatal "cannot copy $exe"
score="$work/tavlin.inf"
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
"$work/tavlin" >"$work/tavlin.log" 2>&1 &
game_pid=$!

win=
find_window() { win=$(xdotool search --onlyvisible --name '^Tavlin$' 2>/dev/null | head -n 1); [ -n "$win" ]; }
poll 10 find_window || fatal "no visible window titled \"Tavlin\" within 10 s"
pass "a window titled \"Tavlin\" is mapped"

# --- Screenshots and pixels -------------------------------------------------------
# Menu bar height: the client area starts where the strip's yellow starts.
menubar=
current=

# shot NAME: takes a screenshot of the game window as NAME.png.
shot() {
    current="$shots/$1.png"
    import -window "$win" "$current" 2>/dev/null
}

# px X Y ...: the hex colours of client-area pixels of the current screenshot.
px() {
    local format=
    while [ $# -ge 2 ]; do
        format+="%[hex:p{$1,$(($2 + menubar))}] "
        shift 2
    done
    convert "$current" -format "$format" info: 2>/dev/null
}

# count_colour HEX X Y W H: pixels of that colour in a client-area rectangle.
count_colour() {
    convert "$current" -crop "$4x$5+$2+$(($3 + menubar))" +repage -format %c histogram:info:- 2>/dev/null |
        awk -v c="#$1" '$3 == c { sub(":", "", $1); n = $1 } END { print n + 0 }'
}

# board: sixteen letters, row by row: F for the free (light green) cell, T for
# a tile (light yellow at its corners), ? for anything else.
board=
read_board() {
    local r s x y h args=()
    for r in 0 1 2 3; do
        for s in 0 1 2 3; do
            x=$((s * CellWidth)); y=${RowTop[r]}; h=$((RowTop[r + 1] - y))
            args+=($((x + 3)) $((y + 3)) $((x + CellWidth - 4)) $((y + 3))
                   $((x + 3)) $((y + h - 4)) $((x + CellWidth - 4)) $((y + h - 4))
                   $((x + CellWidth / 2)) $((y + h / 2)))
        done
    done
    local colours
    read -r -a colours <<<"$(px "${args[@]}")"
    board=
    local i j all_green all_yellow
    for i in $(seq 0 15); do
        all_green=1; all_yellow=1
        for j in 0 1 2 3; do
            [ "${colours[i * 5 + j]:-}" = "$LightGreen" ] || all_green=0
            [ "${colours[i * 5 + j]:-}" = "$LightYellow" ] || all_yellow=0
        done
        [ "${colours[i * 5 + 4]:-}" = "$LightGreen" ] || all_green=0
        if [ $all_green = 1 ]; then board+=F; elif [ $all_yellow = 1 ]; then board+=T; else board+='?'; fi
    done
}
free_cells() { local f=${board//[^F]/}; echo ${#f}; }
free_index() { local head=${board%%F*}; echo ${#head}; }
tiles() { local t=${board//[^T]/}; echo ${#t}; }

# read_signatures: a hash of each cell's picture (its top 63 rows, which every
# cell has), so that tiles can be followed from one screenshot to the next.
signatures=()
read_signatures() {
    signatures=()
    local r s
    for r in 0 1 2 3; do
        for s in 0 1 2 3; do
            signatures+=("$(convert "$current" -crop "${CellWidth}x63+$((s * CellWidth))+$((RowTop[r] + menubar))" \
                +repage -format '%#' info: 2>/dev/null)")
        done
    done
}

# centre_of TEST X Y W H: the centre of the pixels in a client-area
# rectangle whose colour passes an awk test on r, g and b; empty when none.
centre_of() {
    local test=$1 x0=$2 y0=$3
    convert "$current" -crop "$4x$5+$x0+$((y0 + menubar))" +repage -depth 8 txt:- 2>/dev/null |
        awk -v x0="$x0" -v y0="$y0" '
            /^#/ { next }
            {
                split($1, p, /[,:]/)
                rgb = $2; gsub(/[()]/, "", rgb); split(rgb, c, ",")
                r = c[1] + 0; g = c[2] + 0; b = c[3] + 0
                if ('"$test"') {
                    x = p[1] + x0; y = p[2] + y0
                    if (n == 0 || x < minx) minx = x; if (n == 0 || x > maxx) maxx = x
                    if (n == 0 || y < miny) miny = y; if (n == 0 || y > maxy) maxy = y
                    n++
                }
            }
            END { if (n > 0) printf "%d %d %d %d %d %d\n", (minx + maxx) / 2, (miny + maxy) / 2, minx, miny, maxx, maxy }'
}

click() {  # click X Y in client coordinates
    # The pointer leaves the window afterwards, so that no tooltip opens over
    # the next screenshot.
    xdotool mousemove --window "$win" --sync "$1" $(($2 + menubar)) click 1 mousemove --sync 0 0
}

key() {  # key NAME: the keyboard goes to the game window, then the key
    xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowactivate --sync "$win" 2>/dev/null
    xdotool key "$1"
}

# --- The window as it opens -------------------------------------------------------
read -r width height < <(xwininfo -id "$win" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
[ "$width" = "$ClientWidth" ] && pass "window width $width px" || fail "the window is $width px wide, expected $ClientWidth"

# The first frame is painted when the strip's light yellow shows below the menu bar.
find_client_top() {
    shot 01-start
    menubar=$(convert "$current" -crop "1x$height+2+0" +repage -depth 8 txt:- 2>/dev/null |
        awk -v c="#$LightYellow" '$3 == c { split($1, p, /[,:]/); print p[2]; exit }')
    [ -n "$menubar" ] && [ "$menubar" -gt 0 ]
}
poll 10 find_client_top || fatal "the status strip's light yellow never showed below a menu bar"
pass "menu bar $menubar px high"
[ $((height - menubar)) = "$ClientHeight" ] && pass "client area ${width} × $((height - menubar)) px" ||
    fail "the client area is $((height - menubar)) px high, expected $ClientHeight"

strip=$(count_colour "$LightYellow" 0 0 "$ClientWidth" "$StripHeight")
# Only the two labels' text may cover the strip's colour.
strip_edges=$(px 0 0 2 10 0 $((StripHeight - 1)) 70 0 70 $((StripHeight - 1)) 110 10 \
    $((ClientWidth - 1)) 0 $((ClientWidth - 1)) $((StripHeight - 1)))
if [ "$strip_edges" = "$(printf "$LightYellow %.0s" 1 2 3 4 5 6 7 8)" ] && [ "$strip" -ge $((ClientWidth * StripHeight * 3 / 4)) ]; then
    pass "the status strip is light yellow ($strip of $((ClientWidth * StripHeight)) px)"
else
    fail "the status strip is not light yellow: samples $strip_edges, $strip px of $LightYellow"
fi

read_board
if [ "$(free_cells)" = 1 ] && [ "$(tiles)" = 15 ]; then
    pass "one light green free cell and fifteen tiles: $board"
else
    fail "expected one free cell and fifteen tiles, the board reads $board"
fi

# --- Tile clicks ----------------------------------------------------------------
# A far tile first, then a tile beside the free cell. Once the second move
# shows, the first click has been handled too, so the board must differ from
# the one before by exactly that one move.
free=$(free_index)
fr=$((free / 4)); fs=$((free % 4))
neighbour=
for cand in $((fr == 3 ? -1 : free + 4)) $((fr == 0 ? -1 : free - 4)) \
    $((fs == 3 ? -1 : free + 1)) $((fs == 0 ? -1 : free - 1)); do
    [ "$cand" -ge 0 ] && { neighbour=$cand; break; }
done
far=
for cand in $(seq 0 15); do
    d=$(( (cand / 4 - fr) * (cand / 4 - fr) + (cand % 4 - fs) * (cand % 4 - fs) ))
    [ "$d" -ge 4 ] && { far=$cand; break; }
done
read_signatures
before=("${signatures[@]}")
cell_centre() { echo $(($1 % 4 * CellWidth + CellWidth / 2)) $(((RowTop[$1 / 4] + RowTop[$1 / 4 + 1]) / 2)); }

click $(cell_centre "$far")
click $(cell_centre "$neighbour")
moved() { shot 02-moved; read_board; [ "$(free_cells)" = 1 ] && [ "$(free_index)" = "$neighbour" ]; }
if poll 5 moved; then
    pass "a click on the tile beside the free cell (cell $free) moved the free cell to cell $neighbour"
    read_signatures
    bad=
    for i in $(seq 0 15); do
        case $i in
            "$neighbour") ;;
            "$free") [ "${signatures[i]}" = "${before[neighbour]}" ] || bad+=" $i(not the slid tile)" ;;
            *) [ "${signatures[i]}" = "${before[i]}" ] || bad+=" $i" ;;
        esac
    done
    [ -z "$bad" ] && pass "the clicked tile slid into the free cell and the far tile (cell $far) did not move" ||
        fail "after a click on a far tile and one beside the free cell, cells changed that should not have:$bad"
else
    fail "the free cell did not move to cell $neighbour after a click on the tile there; the board reads $board"
fi
board_before_panel=("${signatures[@]}")

# --- The best-of panel ----------------------------------------------------------
panel_covers() { shot 03-bestof; panel_covers_now; }
panel_covers_now() {
    [ "$(count_colour "$LightGreen" 0 0 "$ClientWidth" "$ClientHeight")" = 0 ] || return 1
    # Every pixel along the client area's four edges is the panel's yellow.
    local edges=$(( $(count_colour "$LightYellow" 0 0 "$ClientWidth" 1) \
        + $(count_colour "$LightYellow" 0 $((ClientHeight - 1)) "$ClientWidth" 1) \
        + $(count_colour "$LightYellow" 0 0 1 "$ClientHeight") \
        + $(count_colour "$LightYellow" $((ClientWidth - 1)) 0 1 "$ClientHeight") ))
    [ "$edges" = $((2 * ClientWidth + 2 * ClientHeight)) ]
}
key F2
if poll 5 panel_covers; then
    pass "F2 covers the client area with the light yellow panel"
else
    fail "after F2 the client area is not covered by the panel ($(count_colour "$LightGreen" 0 0 "$ClientWidth" "$ClientHeight") light green px left)"
fi
[ -e "$score" ] && fail "showing the panel with no score file created $score" ||
    pass "showing the panel with no score file creates none"

blue='r < 128 && g < 128 && b > 160'
red='r > 200 && g < 128 && b < 128'
zpet=$(centre_of "$blue" $((ClientWidth / 2)) $((ClientHeight - 40)) $((ClientWidth / 2)) 40)
if [ -z "$zpet" ]; then
    fail "no blue \"zpět\" at the panel's bottom right"
else
    read -r zx zy _ <<<"$zpet"
    pass "\"zpět\" found around ($zx, $zy)"
    click "$zx" "$zy"
    board_back() { shot 04-back; read_board; [ "$(free_cells)" = 1 ]; }
    if poll 5 board_back; then
        read_signatures
        [ "${signatures[*]}" = "${board_before_panel[*]}" ] &&
            pass "a click on \"zpět\" hides the panel; the board is unchanged" ||
            fail "after \"zpět\" the board differs from the board before the panel"
    else
        fail "a click on \"zpět\" did not hide the panel; the board reads $board"
    fi
fi

# --- Clearing the table ---------------------------------------------------------
expected="$work/expected.inf"
for t in 100 110 120 130 140 150 160 170 180 190; do
    printf '%s\r\nnezn\xe1m\xfd hr\xe1\xe8\r\n' "$t"
done >"$expected"

key F2
again() { shot 05-bestof-again; panel_covers_now; }
poll 5 again || fail "F2 did not show the panel a second time"
vymazat=$(centre_of "$red" 0 $((ClientHeight - 40)) $((ClientWidth / 2)) 40)
question=
find_question() { question=$(xdotool search --onlyvisible --name '^Vymazat tabulku$' 2>/dev/null | head -n 1); [ -n "$question" ]; }
score_is_default() { [ -f "$score" ] && cmp -s "$score" "$expected"; }
if [ -z "$vymazat" ]; then
    fail "no red \"vymazat tabulku\" at the panel's bottom left"
else
    read -r vx vy _ <<<"$vymazat"
    pass "\"vymazat tabulku\" found around ($vx, $vy)"
    click "$vx" "$vy"
    if poll 5 find_question; then
        pass "the question box \"Vymazat tabulku\" is shown"
        import -window "$question" "$shots/06-question.png" 2>/dev/null
        # Yes is the default button: Return answers it.
        xdotool windowfocus --sync "$question" 2>/dev/null
        xdotool key Return
        if poll 5 score_is_default; then
            pass "Return on the question leaves the exact 190-byte default score file"
        else
            fail "after Return on the question the score file is not the 190-byte default: $( [ -f "$score" ] && od -An -c "$score" | head -n 4 || echo missing)"
        fi
        question_gone() { ! find_question; }
        poll 5 question_gone || fail "the question box is still open after Return"
        shot 07-cleared
    else
        fail "a click on \"vymazat tabulku\" showed no question box titled \"Vymazat tabulku\" within 5 s"
    fi
fi

# --- The end ----------------------------------------------------------------------
game_gone() {
    local state
    state=$(awk '{ print $3 }' "/proc/$game_pid/stat" 2>/dev/null) || return 0
    [ "$state" = Z ]
}
key F3
started=$(date +%s%N)
if poll 2 game_gone; then
    wait "$game_pid"
    status=$?
    elapsed=$((($(date +%s%N) - started) / 1000000))
    game_pid=
    [ "$status" = 0 ] && pass "F3 ended the program with exit status 0 in $elapsed ms" ||
        fail "F3 ended the program with exit status $status"
else
    fail "the program was still running 2 s after F3"
fi

if [ -s "$work/tavlin.log" ]; then
    echo "--- the program's own output:"
    cat "$work/tavlin.log"
fi
echo "screenshots: $shots"
if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "all checks passed"
