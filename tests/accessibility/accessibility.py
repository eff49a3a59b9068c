# SPDX-License-Identifier: 0BSD
import os, pyatspi, harness as h
from gi.repository import GLib


def play():  # the game read and played as a blind player meets it, through AT-SPI only, on a session bus of its own
    bus = h.start('dbus-daemon', '--session', '--nofork', '--print-address', says=True)
    os.environ['DBUS_SESSION_BUS_ADDRESS'] = bus  # for the game, the helpers and pyatspi alike
    ask = 'dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress'
    h.poll('asked for its address, the session bus starts the accessibility bus', lambda: h.tool(*ask.split()).stdout)
    pyatspi.setTimeout(3000, 3000)  # a press that waits on a box fails here
    pyatspi.Registry.registerEventListener((told := []).append, 'object:property-change:accessible-description',
                                           'object:announcement',  # what Qt 6.8 asks a screen reader to speak
                                           'object:state-changed:focused')  # where the reading point goes
    announces = tuple(map(int, os.environ['TAVLIN_QT_VERSION'].split('.'))) >= (6, 8)
    h.start('openbox', '--sm-disable')  # as on a desktop, which gives the window its focus back after a box
    h.poll('openbox runs', lambda: 'window id' in h.tool('xprop', '-root', '_NET_SUPPORTING_WM_CHECK').stdout)
    game = h.start(h.program, extra=dict(QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1', QT_ACCESSIBILITY='1'))
    top = lambda parent, name: next((o for o in parent if o and o.name == name), None)
    app = h.poll('the game on the bus', lambda: top(pyatspi.Registry.getDesktop(0), 'Tavlin'))
    objects = h.poll('its window, once shown', lambda: app.childCount and pyatspi.findAllDescendants(app, bool))
    # Found anew each time, as a screen reader meets the window: the game renews what it wants heard afresh.
    named = lambda role, name: pyatspi.findDescendant(app, lambda o: o.getRole() == role and o.name == name)
    # What a screen reader shows: Orca reads only what is showing and visible by the states it keeps, read when it
    # first meets an object and then changed only by the events about it.
    kept = {}
    remembered = lambda o: kept.setdefault(o.path, set(o.getState().getStates()))
    pyatspi.Registry.registerEventListener(lambda e: e.source.path in kept and (
        kept[e.source.path].add if e.detail1 else kept[e.source.path].discard)(pyatspi.STATE_SHOWING),
        'object:state-changed:showing')
    seen = lambda o: {pyatspi.STATE_SHOWING, pyatspi.STATE_VISIBLE} <= remembered(o)
    point = lambda: next((e.source for e in reversed(told) if e.type.endswith('focused') and e.detail1), None)

    def point_on(role, name=None):  # whether the reading point stands on that object; a closed box's are gone
        try:
            return point().getRole() == role and name in (None, point().name)
        except GLib.Error:
            return False
    press = lambda o: h.check(what=f'"{o.name}" pressed, the call returned',  # named before the press closes it
                              ok=o.queryAction().getName(0) == 'Press' and o.queryAction().doAction(0))

    def answer(title, button):  # the box opened by a press, closed with one of its buttons
        press(pyatspi.findDescendant(h.poll(f'"{title}" opens', lambda: top(app, title)), lambda o: o.name == button))
        h.poll(f'"{button}" closes it', lambda: not top(app, title))

    tiles = {str(n): named(pyatspi.ROLE_PUSH_BUTTON, str(n)) for n in range(1, 16)}
    tiles['volno'] = named(pyatspi.ROLE_LABEL, 'volno')  # the free cell, there for the ear
    board = lambda: {n: t.description for n, t in tiles.items()}
    before, cells = board(), {f'řádek {r}, sloupec {s}': r + s * 1j for r in range(1, 5) for s in range(1, 5)}
    h.check(set(before.values()) == cells.keys(), f'every tile and the free cell tell their own row and column: {before}')
    on_screen = sorted(tiles, key=lambda n: tiles[n].queryComponent().getExtents(pyatspi.DESKTOP_COORDS)[1::-1])
    h.check(on_screen == sorted(tiles, key=before.get) and all(map(seen, tiles.values())),
            "row and column follow the places on the screen, the free cell's shown too")
    strip = next(o for o in objects if o.getRole() == pyatspi.ROLE_STATUS_BAR)
    moves, clock = named(pyatspi.ROLE_LABEL, 'Počet tahů: 0'), named(pyatspi.ROLE_LABEL, 'Čas: 0 sekund')
    h.check((moves.parent, clock.parent, moves.description, clock.description,
             moves.queryAction().nActions + clock.queryAction().nActions) == (strip, strip, '', '', 0),
            'the status bar holds the move count and the time, named with their values, which cannot be pressed')
    if announces:  # Orca 48 reads a status bar's labels by their text
        h.check(all(o.queryText().getText(0, -1) == o.name for o in (moves, clock)),
                'the clock and the count offer their names as text')

    free = before['volno']
    tile = next(n for n, cell in before.items() if abs(cells[cell] - cells[free]) == 1)  # a neighbour of the free cell
    press(tiles[tile])
    moved = before | {tile: free, 'volno': before[tile]}
    h.poll(f'tile {tile} stands in the free cell ({free}), nothing else moved, both places told',
           lambda: board() == moved and {tile, 'volno'} <= {e.source.name for e in told})
    spoken = [e.any_data for e in told if e.type == 'object:announcement']
    spoken = [s for s in spoken if s != 'Nová hra, kameny zamíchány']  # the start's shuffle, when it reaches us
    h.check((spoken, None if announces else strip.name) == (([f'{tile}: {free}'], None) if announces else
            ([], f'{tile}: {free}')), f'the move announced on Qt 6.8 and later, told by the focused status bar before: {spoken}')
    count = lambda: pyatspi.findDescendant(app, lambda o: o.getRole() == pyatspi.ROLE_LABEL
                                           and o.name.startswith('Počet tahů'))  # met anew after a move
    h.check(count().name == 'Počet tahů: 1' and clock.name.startswith('Čas: '),
            f'one move counted, {clock.name}')
    # Orca speaks where the reading point comes, and only when it comes anew; its coming ends a stale flat review
    first = point()
    h.check(first and first.name == 'Počet tahů: 1', f'the reading point on the move count: {first}')
    press(tiles[tile])  # back where it came from
    h.poll(f'tile {tile} moved back, the reading point came to the count anew',
           lambda: (p := point()) and p.name == 'Počet tahů: 2' and p != first)
    moved = before

    press(named(pyatspi.ROLE_MENU_ITEM, 'Ovládání'))
    press(tiles[tile])  # runs once the box is open, which takes the click: nothing moves
    answer('Ovládání', 'OK')
    h.poll('the box closed, the reading point is back on the status bar',
           lambda: point_on(pyatspi.ROLE_STATUS_BAR))
    press(named(pyatspi.ROLE_MENU_ITEM, 'Nejlepší hráči'))
    h.poll('the best-of panel shows "zpět", met anew', lambda: seen(named(pyatspi.ROLE_PUSH_BUTTON, 'zpět')))
    asked_now = lambda o: o.getState().contains(pyatspi.STATE_SHOWING)  # this process keeps no states
    h.check(not any(map(seen, tiles.values())) and not any(map(asked_now, tiles.values()))
            and point_on(pyatspi.ROLE_PANEL, 'Nejlepší hráči'),
            'the panel hides the board, for a reader that keeps states and one that asks anew, and takes the reading point')
    press(named(pyatspi.ROLE_PUSH_BUTTON, 'vymazat tabulku'))
    answer('Vymazat tabulku', 'Ne')
    press(tiles[tile])  # the panel covers the board: nothing moves
    press(named(pyatspi.ROLE_PUSH_BUTTON, 'zpět'))
    h.poll('"zpět" hides the panel, the board shows again', lambda: all(map(seen, tiles.values())))
    h.check(point_on(pyatspi.ROLE_STATUS_BAR), 'the reading point back on the status bar')
    h.check(board() == moved and count().name == 'Počet tahů: 2',
            'no tile moved under a box or the panel')
    h.check(not os.path.exists(h.score), 'the table, shown and not cleared, wrote no file')
    for o in (o for o in pyatspi.findAllDescendants(app, bool) if o.name in ('proverit', 'refresh', 'vymazat tabulku')):
        h.check(not seen(o), f'"{o.name}" is not shown')  # met hidden: the panel, built on first use, is closed
    press(named(pyatspi.ROLE_MENU_ITEM, 'Nejlepší hráči'))
    h.poll('the panel opened again shows "vymazat tabulku", met anew', lambda: seen(named(pyatspi.ROLE_PUSH_BUTTON, 'vymazat tabulku')))
    h.ends(game, lambda: press(named(pyatspi.ROLE_MENU_ITEM, 'Konec')), '"Konec" ends the program', 5)


h.meanwhile = lambda: all(GLib.MainContext.default().iteration(False) for _ in range(10000))  # AT-SPI's waiting events
h.main(play)
