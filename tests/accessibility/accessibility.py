#!/usr/bin/python3
"""The built game as a blind player meets it, on its own Xvfb display and private session bus: read
and played through AT-SPI only, no mouse, keys or pixels.  accessibility.py TAVLIN_EXECUTABLE"""
import contextlib, ctypes, os, re, select, shutil, signal, subprocess, sys, tempfile, time
from gi.repository import GLib

exe = sys.argv[1]
work = tempfile.mkdtemp(prefix='tavlin-accessibility.')
env = {k: v for k, v in os.environ.items() if k != 'AT_SPI_BUS_ADDRESS'}
env.update(XDG_RUNTIME_DIR=work, QT_QPA_PLATFORM='xcb')
log = open(os.path.join(work, 'log'), 'w+')
helpers = []  # all in the process group of the first one, ended together
ctypes.CDLL(None).prctl(36, 1)  # PR_SET_CHILD_SUBREAPER: the daemons the buses start stay ours to reap


def start(*args, extra={}):
    """Starts a helper. An argument with FD in it gets a pipe's number; the first line written to it is returned."""
    r, w = os.pipe()
    helpers.append(subprocess.Popen([a.replace('FD', str(w)) for a in args], env=dict(env, **extra), pass_fds=(w,),
                                    process_group=helpers[0].pid if helpers else 0, stdout=log, stderr=log))
    os.close(w)
    if not any('FD' in a for a in args):
        return helpers[-1]
    check(select.select([r], [], [], 10)[0], f'{args[0]} starts')
    return os.read(r, 4096).decode().split('\n')[0]


def check(ok, what):
    assert ok, what
    print('ok:  ', what)
    return ok


def poll(what, probe, seconds=10):
    """Runs probe until it gives something true, dispatching the AT-SPI events meanwhile."""
    deadline = time.monotonic() + seconds
    while not (result := probe()) and time.monotonic() < deadline:
        while GLib.MainContext.default().iteration(False):  # the shuffle's hundreds of moves, say
            pass
        time.sleep(0.02)
    return check(result, what)


def play():
    env['DISPLAY'] = ':' + start('Xvfb', '-displayfd', 'FD', '-nolisten', 'tcp', '-noreset')
    poll(f'Xvfb serves {env["DISPLAY"]}', lambda: subprocess.run(['xdpyinfo'], env=env, capture_output=True).returncode == 0)
    env['DBUS_SESSION_BUS_ADDRESS'] = start('dbus-daemon', '--session', '--nofork', '--print-address=FD')
    # Asked for its address, the session bus starts the accessibility bus; that one starts the registry.
    ask = ['dbus-send', '--session', '--print-reply=literal', '--dest=org.a11y.Bus', '/org/a11y/bus', 'org.a11y.Bus.GetAddress']
    bus = poll('the accessibility bus', lambda: subprocess.run(ask, env=env, capture_output=True, text=True).stdout.strip())
    os.environ.update(DISPLAY=env['DISPLAY'], AT_SPI_BUS_ADDRESS=bus)  # for this process only
    import pyatspi
    pyatspi.setTimeout(3000, 3000)  # a press that waits on a box fails here
    told = []  # the names of the objects whose description changed
    pyatspi.Registry.registerEventListener(lambda e: told.append(e.source.name), 'object:property-change:accessible-description')
    shutil.copy(exe, work)  # the score file beside it is ours alone
    game = start(os.path.join(work, os.path.basename(exe)), extra=dict(QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1', QT_ACCESSIBILITY='1'))
    desktop = pyatspi.Registry.getDesktop(0)
    app = poll('the game on the bus', lambda: next((a for a in desktop if a and a.name == 'Tavlin'), None))
    # The window appears on the bus once it is shown, with all its controls.
    objects = poll('its window', lambda: app.childCount and pyatspi.findAllDescendants(app, lambda o: True))
    named = lambda role, name: next(o for o in objects if o.getRoleName() == role and o.name == name)
    showing = lambda o: o.getState().contains(pyatspi.STATE_SHOWING)

    def press(o):
        name, action = o.name, o.queryAction()
        check(action.getName(0) == 'Press' and action.doAction(0), f'"{name}" pressed, the call returned')

    def answer(title, button):  # the box opened by a press, closed with one of its buttons
        box = poll(f'the box "{title}" opens', lambda: next((o for o in app if o and o.name == title), None))
        press(next(o for o in pyatspi.findAllDescendants(box, lambda o: o.name == button)))
        poll(f'"{button}" closes it', lambda: all(o is None or o.name != title for o in app))

    for o in (o for o in objects if o.name in ('16', 'proverit', 'refresh', 'zpět', 'vymazat tabulku')):
        check(not o.getState().contains(pyatspi.STATE_VISIBLE) and not showing(o), f'"{o.name}" is not shown')
    tiles = {str(n): named('push button', str(n)) for n in range(1, 16)}
    where = lambda t: tuple(map(int, re.fullmatch(r'řádek (\d), sloupec (\d)', t.description).groups()))
    board = lambda: {n: where(t) for n, t in tiles.items()}
    before, cells = board(), {(r, s) for r in range(1, 5) for s in range(1, 5)}
    check(len(set(before.values()) & cells) == 15, f'every tile tells its own row and column: {before}')
    place = lambda n: tiles[n].queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    check(sorted(tiles, key=lambda n: (place(n).y, place(n).x)) == sorted(tiles, key=before.get),
          'row and column follow the tiles\' places on the screen')
    (free,) = cells - set(before.values())
    moves, clock = named('label', 'Počet tahů'), named('label', 'Čas')
    check((moves.description, clock.description, moves.queryAction().nActions + clock.queryAction().nActions)
          == ('0', '0', 0), 'the move count and the time read 0 and cannot be pressed')

    tile = next(n for n, (r, s) in before.items() if abs(r - free[0]) + abs(s - free[1]) == 1)
    press(tiles[tile])
    after = dict(before, **{tile: free})
    poll(f'tile {tile} stands in the free cell {free}, nothing else moved, both places told',
         lambda: board() == after and {tile, '16'} <= set(told))
    check(moves.description == '1' and clock.description.isdigit(), f'one move counted, time {clock.description}')

    press(named('menu item', 'Ovládání'))
    press(tiles[tile])  # runs once the box is open, which takes the click: nothing moves
    answer('Ovládání', 'OK')
    press(named('menu item', 'Nejlepší hráči'))
    zpet = named('push button', 'zpět')
    poll('the best-of panel shows "zpět"', lambda: showing(zpet))
    press(named('push button', 'vymazat tabulku'))
    answer('Vymazat tabulku', 'Ne')
    press(tiles[tile])  # the panel covers the board: nothing moves
    press(zpet)
    poll('"zpět" hides the panel', lambda: not showing(zpet))
    check(board() == after and moves.description == '1', 'no press under a box or the panel moved a tile')
    check(not os.path.exists(os.path.join(work, 'tavlin.inf')), 'the table, shown and not cleared, wrote no file')

    press(named('menu item', 'Konec'))
    poll('"Konec" ends the program', lambda: game.poll() is not None, seconds=5)
    check(game.returncode == 0, f'exit status {game.returncode}')


signal.signal(signal.SIGTERM, lambda *_: sys.exit('terminated'))
try:
    play()
except Exception as failure:
    log.seek(0)
    sys.exit(f'FAIL: {failure!r}\n--- the helpers and the game wrote:\n{log.read()}')
finally:
    with contextlib.suppress(IndexError, ProcessLookupError):
        os.killpg(helpers[0].pid, signal.SIGTERM)
    with contextlib.suppress(ChildProcessError):
        while True:
            os.waitpid(-1, 0)
    shutil.rmtree(work, ignore_errors=True)
