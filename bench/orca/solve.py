# SPDX-License-Identifier: 0BSD
"""Whole games through Orca for bench/orca/run --solve: each dealt with F1,
solved with flat review and Orca's click alone, then the result box, the
name, the table; the last of several games meets a table of faster rows,
where its time earns none; after it the table is cleared through Orca.

The board is read from AT-SPI, read-only, as a player knows it from
listening; every move walks flat review from where the reading point stands
(the free cell after a deal, and after a move the free cell or, where the
point stood there already, the tile that slid) to the tile and clicks it,
and checks by what Orca spoke that it reached the tile."""
import gettext, os, shutil, statistics, time

from solver import solve

NAME = 'Řehoř Žluťoučký'
# Orca's desktop layout, Num Lock off: one command each.
LEFT, RIGHT = ['key', 'KP_Left'], ['key', 'KP_Right']
UP, DOWN = ['keydown', 'Insert', 'key', 'KP_Left', 'keyup', 'Insert'], \
    ['keydown', 'Insert', 'key', 'KP_Right', 'keyup', 'Insert']
HOME = ['keydown', 'Insert', 'key', 'KP_Home', 'keyup', 'Insert']
CLICK, CURRENT_LINE, NEXT_LINE = ['key', 'KP_Divide'], ['key', 'KP_Up'], ['key', 'KP_Prior']


def games(session, program, count, Speech, wait, key_releases, Failed):
    speech = Speech(session.orca())
    cs = gettext.translation('orca', languages=['cs'], fallback=True).gettext
    heard = []
    wait('Orca says it is on', lambda: heard.extend(speech.new()) or cs('Screen reader on.') in heard, 120)
    game_dir = os.path.join(session.work, 'game')
    os.makedirs(game_dir)
    table = os.path.join(game_dir, 'tavlin.inf')

    def write_table(rows):  # as another copy of the game would write it: the game reads it when it ranks
        with open(table, 'wb') as f:
            f.write(''.join(f'{t}\r\n{n}\r\n' for t, n in rows).encode('cp1250'))

    # One fast row above, slow ones below: a solve earns the second place.
    write_table([(60, 'Eliška Dvořáková')] + [(t, 'neznámý hráč') for t in range(5000, 5900, 100)])
    game = session.start(shutil.copy(program, game_dir), cwd=game_dir)
    wait('the game shows its window', lambda: session.run('xdotool', 'search', '--name', '^Tavlin$').stdout, 60)
    os.environ['DBUS_SESSION_BUS_ADDRESS'] = session.env['DBUS_SESSION_BUS_ADDRESS']
    os.environ.pop('AT_SPI_BUS_ADDRESS', None)
    import pyatspi
    pyatspi.setTimeout(5000, 5000)
    app = wait('the game on the accessibility bus',
               lambda: next((a for a in pyatspi.Registry.getDesktop(0) if a and a.name == 'Tavlin'), None), 30)
    cells = {f'řádek {r}, sloupec {s}': (r, s) for r in range(1, 5) for s in range(1, 5)}

    def board():  # tile by cell, from the tiles' descriptions (their place, before any news)
        tiles = pyatspi.findAllDescendants(app, lambda o: o.getRole() == pyatspi.ROLE_PUSH_BUTTON and o.name.isdigit())
        return {cells[t.description.split('.')[0]]: int(t.name) for t in tiles if t.description.split('.')[0] in cells}

    def free_cell(places):  # the one cell that no tile's place names
        return next(c for c in ((r, s) for r in range(1, 5) for s in range(1, 5)) if c not in places)

    def covered():  # whether the best-of panel lies over the board: the status strip then stops showing
        strip = pyatspi.findDescendant(app, lambda o: o.getRole() == pyatspi.ROLE_STATUS_BAR)
        return not strip.getState().contains(pyatspi.STATE_SHOWING)

    def window_titled(title):
        return session.run('xdotool', 'search', '--name', f'^{title}$').stdout.strip()

    def step(keys, until=lambda: True, quiet=0.4, longest=15, hear=lambda said: True):
        # Ends once Orca has handled the keys, `until` has held, and Orca has
        # said what `hear` waits for and then nothing for `quiet` seconds.
        said = speech.new()  # anything late is dropped here and not counted
        releases = speech.releases + key_releases(keys)
        session.run('xdotool', *keys)
        start = last = time.monotonic()
        held = False
        while time.monotonic() - start < longest:
            if new := speech.new():
                said += new
                last = time.monotonic()
            held = held or (until() and hear(said))
            if speech.releases >= releases and held and time.monotonic() - last >= quiet:
                break
            time.sleep(0.05)
        if game.poll() is not None:
            raise Failed(f'the game ended (status {game.returncode})')
        return said

    def settle(quiet=2.5, longest=20):  # what Orca goes on to say once nothing is sent, until it falls silent
        said, start = [], time.monotonic()
        last = start
        while time.monotonic() - start < longest and time.monotonic() - last < quiet:
            if new := speech.new():
                said += new
                last = time.monotonic()
            time.sleep(0.05)
        return said

    def read_lines(title, lines=14):  # flat review from the top, line by line, as a player reads a picture
        print(f'   {title}:')
        step(HOME)
        last = None
        for _ in range(lines):
            said = step(CURRENT_LINE if last is None else NEXT_LINE)
            if not said or said == last:
                break
            print('      ' + ' '.join(f'"{u}"' for u in said))
            last = said

    def reach(word, lines=14):  # down the lines from the top onto an item: the keys it took
        keys = 1
        step(HOME)
        for _ in range(lines):
            said = step(NEXT_LINE)
            keys += 1
            if any(word in u.split() for u in said):
                # The next line starts on its first item: step right only
                # when the word is not that one ("vymazat tabulku zpět").
                if any(u.split()[0] == word for u in said if u.split()):
                    return keys
                for _ in range(8):
                    item = step(RIGHT)
                    keys += 1
                    if any(word in u.split() for u in item):
                        return keys
                return keys
        return keys

    def news(tile):  # what Orca must say after a click, with no further key: the tile and the new count
        return lambda said: any('Počet tahů:' in u for u in said) and any(
            f'Kámen {tile} posunut' in u or u.startswith(f'{tile} ') for u in said)

    per_move, seconds, misses, replans, unheard = [], [], 0, 0, 0
    for number in range(1, count + 1):
        # The last of several games meets a table of ten fast rows, where its time earns none.
        earns = number < count or count == 1
        if not earns:
            write_table([(t, 'rychlá hráčka') for t in range(1, 11)])  # no solve is this fast
        game_moves = len(per_move)
        before = board()
        step(['key', 'F1'], until=lambda: board() != before, quiet=1.0)
        places = board()
        at = free_cell(places)
        clicks, expected = solve(places), places
        print(f'\n# game {number}: {len(clicks)} moves to play', flush=True)
        while clicks:
            began = time.monotonic()
            places = board()
            if places != expected:  # a click lost or doubled: planned again from the board as it is
                replans += 1
                clicks = solve(places)
                if not clicks:
                    break
            tile = clicks.pop(0)
            free = free_cell(places)
            target = next(c for c, t in places.items() if t == tile)
            expected = {c: t for c, t in places.items() if t != tile} | {free: tile}
            keys = 0
            walk = [DOWN if target[0] > at[0] else UP] * abs(target[0] - at[0]) + \
                [RIGHT if target[1] > at[1] else LEFT] * abs(target[1] - at[1])
            said = []
            for k in walk:
                said = step(k)
                keys += 1
            if walk and not any(str(tile) in u.split() for u in said[-1:]):
                misses += 1  # the walk did not end on the tile: from the top, as a lost player would
                print(f'   move {len(per_move) + 1}: the walk to {tile} ended on: ' + ' | '.join(said))
                keys += reach(str(tile))
            spoke = step(CLICK, until=lambda: board() != places or window_titled('Konec hry'), quiet=0.6,
                         longest=8, hear=lambda said: window_titled('Konec hry') or news(tile)(said))
            keys += 1
            if not window_titled('Konec hry') and not news(tile)(spoke):
                unheard += 1
                print(f'   move {len(per_move) + 1}: after the click on {tile} Orca said only: ' + ' | '.join(spoke))
            if window_titled('Konec hry'):  # the result box: heard whole before anything is pressed
                spoke += settle()
            per_move.append(keys)
            seconds.append(time.monotonic() - began)
            # From the free cell the point comes to the tile that slid, which
            # stands where the free cell was; from anywhere else, to the free
            # cell, now where the tile was. Orca says which ("volno" or the
            # tile); the walk's check above finds it when the rule is wrong.
            at = free if at == free else target
            if len(per_move) - game_moves <= 4 or window_titled('Konec hry'):
                print(f'   move {len(per_move)}: tile {tile} in {keys} keys; Orca: ' + ' | '.join(spoke))
        end = []
        wait('the result box', lambda: window_titled('Konec hry'), 30)
        end += step(['key', 'Return']) + settle()  # the name box asks, or the table tells no row
        if earns:
            end += step(['type', '--delay', '120', NAME], quiet=1.0)
            end += step(['key', 'Return'], until=lambda: not window_titled('Konec hry')) + settle()
        mine = per_move[game_moves:]
        print(f'   keys per move in game {number}: mean {statistics.mean(mine):.2f}, worst {max(mine)}')
        print(f'   the end of game {number}, as Orca spoke it:')
        print('\n'.join(f'      "{u}"' for u in end))
        read_lines('the table in flat review')
        reach('zpět')
        # Orca 43 may try the pointer twice, 0.8 s each, before it presses.
        step(CLICK, until=lambda: not covered(), quiet=1.0)
    print('   F2: ' + ' | '.join(step(['key', 'F2']) + settle()))
    reach('vymazat')
    print('   "vymazat tabulku" clicked: ' + ' | '.join(
        step(CLICK, until=lambda: window_titled('Vymazat tabulku')) + settle()))
    print('   "Ano": ' + ' | '.join(step(['key', 'Return'], until=lambda: not window_titled('Vymazat tabulku'))
                                   + settle()))
    read_lines('the cleared table')
    if per_move:
        print(f'\nkeys per move over {len(per_move)} moves: mean {statistics.mean(per_move):.2f}, '
              f'worst {max(per_move)}; walks that missed their tile: {misses}; plans made again: {replans}; '
              f'clicks after which Orca did not say the tile and the count: {unheard}; '
              f'seconds per move: mean {statistics.mean(seconds):.1f}')
