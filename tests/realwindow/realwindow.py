#!/usr/bin/python3
"""The built game in real X windows, with no window manager and then under openbox: input only through xdotool, answers
from the X server, screenshots, the score file, the exit status.  realwindow.py TAVLIN_EXECUTABLE SCREENSHOT_FOLDER"""
import os, re, shutil, sys, harness as h
from harness import check, poll, tool

shots, SW, SH, H, YELLOW = sys.argv[2], 1024, 768, 273, 'FFFFC0'  # H: the client area's height below the menu bar
window = lambda game, title: tool('xdotool', 'search', '--all', '--onlyvisible', '--pid', str(game.pid),
                                  '--name', f'^{title}$').stdout.split()[:1]  # the game's own, shown
key = lambda win, name: tool('xdotool', 'windowfocus', '--sync', win, 'key', name)
shot = lambda win, name, *ask: tool('convert', f'x:{win}', '-write', f'{shots}/{name}.png', *ask, 'info:').stdout


def started():
    game = h.start(h.program)
    return game, poll('a visible window titled "Tavlin" appears', lambda: window(game, 'Tavlin'))[0]


def client(win):  # the window's client area, menu bar included: x, y, width and height on the screen
    info = tool('xwininfo', '-id', win).stdout
    return [int(re.search(rf'{k}: +(-?\d+)', info)[1]) for k in ('upper-left X', 'upper-left Y', 'Width', 'Height')]


def framed_centred(win):  # the frame's outer rectangle stands in the middle of the screen
    extents = tool('xprop', '-id', win, '-notype', '_NET_FRAME_EXTENTS').stdout.partition('=')[2]
    (l, r, t, b), (x, y, w, height) = map(int, extents.split(',') if extents else [-1] * 4), client(win)
    return t >= 0 and (x - l, y - t) == ((SW - w - l - r) // 2, (SH - height - t - b) // 2)


def test():
    shutil.rmtree(shots, ignore_errors=True)
    os.makedirs(shots)
    h.xvfb()
    game, win = started()
    x, y, w, height = client(win)
    bar = height - H
    check((w, x, y) == (224, (SW - w) // 2, (SH - height) // 2), f'the window is 224 px wide and centred at ({x}, {y})', True)
    poll('the first frame is painted', lambda: shot(win, '01-start', '-format', f'%[hex:p{{1,{bar + 1}}}]') == YELLOW, 10, True)
    key(win, 'F2')  # covered: all between the panel's heading and its commands is light yellow
    poll('F2 covers the client area with the best-of panel', lambda: shot(
        win, '02-bestof', '-crop', f'224x200+0+{40 + bar}', '-format', '%k %[hex:p{0,0}]') == '1 ' + YELLOW, 5, True)
    tool('xdotool', 'mousemove', '--window', win, '--sync', '68', str(259 + bar), 'click', '1', 'mousemove', '--sync', '0', '0')
    if question := poll('a click on "vymazat tabulku" opens "Vymazat tabulku"', lambda: window(game, 'Vymazat tabulku'), 5, True):
        shot(question[0], '03-question')
        key(question[0], 'Return')
        table = b''.join(b'%d\r\nnezn\xe1m\xfd hr\xe1\xe8\r\n' % t for t in range(100, 200, 10))  # in code page 1250
        poll('Return answers Yes: the exact 190-byte default table beside the program',
             lambda: os.path.isfile(h.score) and open(h.score, 'rb').read() == table, 5, True)
        shot(win, '04-cleared')
    key(win, 'F3')
    h.ends(game, 'F3 ends the program within 2 s', 2)

    h.start('openbox', '--sm-disable')
    poll('openbox runs', lambda: 'window id' in tool('xprop', '-root', '_NET_SUPPORTING_WM_CHECK').stdout)
    game, win = started()
    poll('under openbox the framed window is centred, title bar included', lambda: framed_centred(win), 5, True)
    shot(win, '05-openbox')
    key(win, 'F3')
    h.ends(game, 'F3 ends the framed program within 2 s', 2)


h.main(test)
