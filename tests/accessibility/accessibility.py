#!/usr/bin/python3
"""The built game as a blind player meets it, on its own Xvfb display and private session bus: read
and played through AT-SPI only, no mouse, keys or pixels.  accessibility.py TAVLIN_EXECUTABLE"""
import os, re, harness as h
from harness import check, env, poll, start, tool
from gi.repository import GLib


def play():
    h.xvfb()
    env['DBUS_SESSION_BUS_ADDRESS'] = start('dbus-daemon', '--session', '--nofork', '--print-address=FD')
    # Asked for its address, the session bus starts the accessibility bus; that one starts the registry.
    ask = ['dbus-send', '--session', '--print-reply=literal', '--dest=org.a11y.Bus', '/org/a11y/bus', 'org.a11y.Bus.GetAddress']
    bus = poll('the accessibility bus', lambda: tool(*ask).stdout.strip())
    os.environ.update(DISPLAY=env['DISPLAY'], AT_SPI_BUS_ADDRESS=bus)  # for this process only
    import pyatspi
    pyatspi.setTimeout(3000, 3000)  # a press that waits on a box fails here
    told = []  # the names of the objects whose description changed
    pyatspi.Registry.registerEventListener(lambda e: told.append(e.source.name), 'object:property-change:accessible-description')
    game = start(h.program, extra=dict(QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1', QT_ACCESSIBILITY='1'))
    app = poll('the game on the bus', lambda: next((a for a in pyatspi.Registry.getDesktop(0) if a and a.name == 'Tavlin'), None))
    objects = poll('its window, once shown', lambda: app.childCount and pyatspi.findAllDescendants(app, lambda o: True))
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
    check(not os.path.exists(h.score), 'the table, shown and not cleared, wrote no file')

    press(named('menu item', 'Konec'))
    h.ends(game, '"Konec" ends the program', 5)


h.meanwhile = lambda: all(GLib.MainContext.default().iteration(False) for _ in range(10000))  # the waiting AT-SPI events
h.main(play)
