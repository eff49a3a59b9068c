# SPDX-License-Identifier: 0BSD
# The real-window test's and the benches' helpers: an Xvfb of their own, helper processes, polls and checks.
import contextlib, ctypes, os, select, shutil, signal, subprocess, sys, tempfile, time

work = tempfile.mkdtemp(prefix='tavlin-test.')  # the program's copy runs here: the score file beside it is ours alone
program, score = shutil.copy(sys.argv[1], work), os.path.join(work, 'tavlin.inf')
os.environ.pop('AT_SPI_BUS_ADDRESS', None)  # the game and the test find the accessibility bus of our own session
os.environ.update(XDG_RUNTIME_DIR=work, QT_QPA_PLATFORM='xcb')  # this environment is the helpers' and the game's
log = open(os.path.join(work, 'log'), 'w')
helpers, failed, meanwhile = [], [], lambda: None  # meanwhile: what a test does while it waits, e.g. dispatch events
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
        meanwhile()
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
