# SPDX-License-Identifier: 0BSD
"""Finds moves that solve a 4 x 4 board, quickly rather than fewest: a
weighted A* on the tiles' distances from home, with linear conflicts.

A board is a dict {(row, column): tile} with rows and columns 1 to 4 and
no entry for the free cell; the solved board has tile n at row (n-1)//4+1,
column (n-1)%4+1. solve(board) returns the tiles to click, in order."""
import heapq

HOME = {n: ((n - 1) // 4, (n - 1) % 4) for n in range(1, 16)}


def _cost(state):  # Manhattan distances plus two moves for each pair in conflict in its home row or column
    total = 0
    for at, n in enumerate(state):
        if n:
            r, s = divmod(at, 4)
            hr, hs = HOME[n]
            total += abs(r - hr) + abs(s - hs)
    for line in range(4):
        for across in (True, False):
            homes = []
            for k in range(4):
                n = state[line * 4 + k] if across else state[k * 4 + line]
                if n and HOME[n][0 if across else 1] == line:
                    homes.append(HOME[n][1 if across else 0])
            total += 2 * sum(a > b for i, a in enumerate(homes) for b in homes[i + 1:])
    return total


def solve(board, weight=3.0, limit=2_000_000):
    start = tuple(board.get((r, s), 0) for r in range(1, 5) for s in range(1, 5))
    goal = tuple(range(1, 16)) + (0,)
    seen = {start: None}  # state -> (previous state, tile clicked)
    frontier = [(weight * _cost(start), 0, start)]
    while frontier and len(seen) < limit:
        _, g, state = heapq.heappop(frontier)
        if state == goal:
            clicks = []
            while seen[state]:
                state, tile = seen[state]
                clicks.append(tile)
            return clicks[::-1]
        free = state.index(0)
        r, s = divmod(free, 4)
        for dr, ds in ((-1, 0), (1, 0), (0, -1), (0, 1)):
            if 0 <= r + dr < 4 and 0 <= s + ds < 4:
                at = (r + dr) * 4 + s + ds
                nxt = list(state)
                nxt[free], nxt[at] = nxt[at], 0
                nxt = tuple(nxt)
                if nxt not in seen:
                    seen[nxt] = (state, state[at])
                    heapq.heappush(frontier, (g + 1 + weight * _cost(nxt), g + 1, nxt))
    raise RuntimeError('no solution found within the search limit')


if __name__ == '__main__':  # a quick look: solve boards dealt by random walks of 201 moves
    import random, time
    for seed in range(5):
        rnd = random.Random(seed)
        state = list(range(1, 16)) + [0]
        for _ in range(201):
            free = state.index(0)
            r, s = divmod(free, 4)
            options = [(r + dr) * 4 + s + ds for dr, ds in ((-1, 0), (1, 0), (0, -1), (0, 1))
                       if 0 <= r + dr < 4 and 0 <= s + ds < 4]
            at = rnd.choice(options)
            state[free], state[at] = state[at], 0
        board = {(i // 4 + 1, i % 4 + 1): n for i, n in enumerate(state) if n}
        began = time.monotonic()
        clicks = solve(board)
        print(f'seed {seed}: {len(clicks)} moves in {time.monotonic() - began:.1f} s')
