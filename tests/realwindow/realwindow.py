# SPDX-License-Identifier: 0BSD
# The built program in a real X window under Xvfb: placement, painting, keys, the box, with and without a window manager.
import contextlib, ctypes, os, re, select, shutil, signal, subprocess, sys, tempfile, time
from Xlib import X, XK, display
from Xlib.ext import xtest

work = tempfile.mkdtemp(prefix='tavlin-test.')  # the program's copy runs here: the score file beside it is ours alone
program, score = shutil.copy(sys.argv[1], work), os.path.join(work, 'tavlin.inf')
os.environ.update(XDG_RUNTIME_DIR=work, QT_QPA_PLATFORM='xcb')  # this environment is the helpers' and the game's
log = open(os.path.join(work, 'log'), 'w')
helpers, failed = [], []
ctypes.CDLL(None).prctl(36, 1)  # PR_SET_CHILD_SUBREAPER: the daemons the helpers start stay ours to reap
tool = lambda *args: subprocess.run(args, capture_output=True, text=True, timeout=10)


def start(*args, extra={}, says=False):  # a helper, in the first one's process group, or what it says first
    helpers.append(p := subprocess.Popen(args, env=os.environ | extra, stdout=subprocess.PIPE if says else log,
                                         stderr=log, text=True, process_group=helpers[0].pid if helpers else 0))
    if not says:
        return p
    return check(select.select([p.stdout], [], [], 10)[0], f'{args[0]} starts') and p.stdout.readline().rstrip()


def poll(what, probe, go_on=False, seconds=10):  # probe's first true answer; a failure ends the test unless go_on
    deadline = time.monotonic() + seconds
    while not (answer := probe()) and time.monotonic() < deadline:
        time.sleep(0.02)
    print('ok:  ' if answer else 'FAIL:', what, flush=True)
    failed.extend([] if answer else [what])
    return answer if answer or go_on else sys.exit(1)


check = lambda ok, what, go_on=False: poll(what, lambda: ok, go_on, 0)  # a poll whose answer is known at once


def ends(game, how, what, seconds):  # the game ended how; a failure goes on, as what comes next does not need the game
    how()
    if poll(what, lambda: game.poll() is not None, True, seconds):
        check(game.returncode == 0, f'exit status {game.returncode}', True)


def main(test):  # the test on its own Xvfb display; helpers reaped on every exit, their output after a failure
    signal.signal(signal.SIGTERM, lambda *_: sys.exit('terminated'))
    try:
        os.environ['DISPLAY'] = ':' + start(*'Xvfb -displayfd 1 -screen 0 1024x768x24 -noreset'.split(), says=True)
        poll(f'Xvfb serves {os.environ["DISPLAY"]}', lambda: tool('xdpyinfo').returncode == 0)
        test()
    finally:
        signal.signal(signal.SIGTERM, signal.SIG_IGN)  # the cleanup is not cut short
        with contextlib.suppress(IndexError, ProcessLookupError, ChildProcessError):  # none was started, none is left
            os.killpg(helpers[0].pid, signal.SIGTERM)
            while True:
                os.waitpid(-1, 0)
        if failed or sys.exception():  # a check failed, or what no check foresaw (its traceback follows)
            print(f'FAIL: {failed or sys.exception()!r}\n--- the helpers and the game wrote:\n' + open(log.name).read())
        shutil.rmtree(work, ignore_errors=True)
    sys.exit(1 if failed else 0)



shots, SW, SH, H, YELLOW = sys.argv[2], 1024, 768, 273, 'FFFFC0'  # H: the client area's height below the menu bar


def key(win, name):  # the key alone, through XTest, as a keyboard sends it; xdotool's "key" presses Alt_L before F2
    tool('xdotool', 'windowfocus', '--sync', win)  # with xkb-data 2.48 (Debian testing), which makes it Alt+F2
    code = xserver.keysym_to_keycode(XK.string_to_keysym(name))
    for event in X.KeyPress, X.KeyRelease:
        xtest.fake_input(xserver, event, code)
    xserver.sync()


shot = lambda win, name, *ask: tool(  # colours asked at 8 bits a channel, as ImageMagick 6 and 7 both give them
    'convert', f'x:{win}', '-write', f'{shots}/{name}.png', '-depth', '8', *ask, 'info:').stdout


def window(game, title, *rest):  # the game's own visible window with this title once it shows; rest: as for poll
    ask = 'xdotool', 'search', '--all', '--onlyvisible', '--pid', str(game.pid), '--name', f'^{title}$'
    return (poll(f'a window titled "{title}" shows', lambda: tool(*ask).stdout.split(), *rest) or [None])[0]


def framed(win):  # the window with its frame (left, top, width, height), its inner width and height, the title bar's
    info = tool('xwininfo', '-stats', '-wm', '-id', win).stdout
    x, y, w, height = map(int, re.findall(r'(?:Absolute upper-left [XY]|Width|Height): +(-?\d+)', info))
    l, r, t, b = map(int, re.search(r'Frame extents: (\d+), (\d+), (\d+), (\d+)|$', info).groups(0))
    return (x - l, y - t, w + l + r, height + t + b), w, height, t


def placement(win):  # the client area's width, the menu bar's height, whether a frame is known, whether it is centred
    (x, y, w, h), inner, height, title = framed(win)
    return inner, height - H, title > 0, (x, y) == ((SW - w) // 2, (SH - h) // 2)


centre = lambda win: (lambda x, y, w, h: (x + w // 2, y + h // 2))(*framed(win)[0])


def test():  # the game with no window manager, then under openbox; screenshots in the folder given
    global xserver
    xserver = display.Display()  # Xvfb's, now that main() has set DISPLAY
    shutil.rmtree(shots, ignore_errors=True)
    os.makedirs(shots)
    win = window(game := start(program), 'Tavlin', False, 30)  # a machine busy with other work starts it slowly
    w, bar, _, centred = placement(win)
    check(w == 224 and centred, f'the window is 224 px wide ({w}) and centred', True)
    poll('the window is painted', lambda: shot(win, '01-start', '-format', f'%[hex:p{{1,{bar + 1}}}]') == YELLOW, True)
    board = lambda name: shot(win, name, '-crop', f'224x200+0+{40 + bar}', '-format', '%#')  # the board's pixels
    dealt = board('01-start')
    key(win, 'F1')  # a new shuffle: another board, but for one chance in billions
    poll('F1 deals a new game', lambda: board('01-new-game') != dealt, True, 5)
    ends(game, lambda: key(win, 'F3'), 'F3 ends the program within 2 s', 2)

    start('openbox', '--sm-disable')
    poll('openbox runs', lambda: 'window id' in tool('xprop', '-root', '_NET_SUPPORTING_WM_CHECK').stdout)
    # as in a GNOME session, where Qt would try Wayland first and warn that its plugin is missing
    gnome = dict(XDG_SESSION_TYPE='wayland', WAYLAND_DISPLAY='none', QT_QPA_PLATFORM='')
    win = window(game := start(program, extra=gnome), 'Tavlin')
    poll('under openbox the framed window is centred, title bar included', lambda: all(placement(win)[2:]), True, 5)
    shot(win, '05-openbox')
    key(win, 'F2')  # covered: all between the panel's heading and its commands is light yellow
    poll('F2 covers the client area with the best-of panel', lambda: shot(
        win, '02-bestof', '-crop', f'224x200+0+{40 + placement(win)[1]}', '-format', '%k %[hex:p{0,0}]') == '1 ' + YELLOW, True, 5)
    tool('xdotool', *f'mousemove --window {win} --sync 68 {259 + placement(win)[1]} click 1'.split())
    if question := window(game, 'Vymazat tabulku', True, 5):
        # moved away in its first second, as a window manager's late answer to an older request moves it
        tool('xdotool', 'windowmove', question, '0', '0')
        poll('the box stands centred over the window, frames and title bars included, moved away or not',
             lambda: abs(complex(*centre(question)) - complex(*centre(win))) <= 1, True, 5)
        shot(question, '06-openbox-question')
        key(question, 'Return')  # Yes: the default table beside the program
        poll('Return answers Yes: the table is cleared beside the program', lambda: os.path.isfile(score), True, 5)
    ends(game, lambda: key(win, 'F3'), 'F3 ends the framed program within 2 s', 2)
    check('wayland' not in open(log.name).read().lower(), 'with an X display there, the game went there silently')


main(test)
