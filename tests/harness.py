"""For tests of the built program on its own Xvfb display: a copy of it in a fresh folder (the score file beside it
ours alone), helpers ended and reaped on every exit, deadlines, ok/FAIL lines, the helpers' output after a failure."""
import contextlib, ctypes, os, select, shutil, signal, subprocess, sys, tempfile, time

work = tempfile.mkdtemp(prefix='tavlin-test.')
program, score = shutil.copy(sys.argv[1], work), os.path.join(work, 'tavlin.inf')
env = {k: v for k, v in os.environ.items() if k != 'AT_SPI_BUS_ADDRESS'} | dict(XDG_RUNTIME_DIR=work, QT_QPA_PLATFORM='xcb')
log = open(os.path.join(work, 'log'), 'w')
helpers, failed = [], []  # helpers and the game: all in the process group of the first one, ended together
meanwhile = lambda: None  # what a test does while it waits, such as dispatch its events
ctypes.CDLL(None).prctl(36, 1)  # PR_SET_CHILD_SUBREAPER: the daemons the helpers start stay ours to reap
tool = lambda *args: subprocess.run(args, env=env, capture_output=True, text=True, timeout=10)


def start(*args, extra={}):  # a helper, or the first line it writes to the pipe whose number replaces FD in args
    r, w = os.pipe()
    helpers.append(subprocess.Popen([a.replace('FD', str(w)) for a in args], env=dict(env, **extra), pass_fds=(w,),
                                    process_group=helpers[0].pid if helpers else 0, stdout=log, stderr=log))
    os.close(w)
    if not any('FD' in a for a in args):
        return helpers[-1]
    return check(select.select([r], [], [], 10)[0], f'{args[0]} starts') and os.read(r, 4096).decode().split('\n')[0]


def check(ok, what, go_on=False):  # a failure ends the test unless it may go on to the next check
    print('ok:  ' if ok else 'FAIL:', what, flush=True)
    failed.extend([] if ok else [what])
    return ok if ok or go_on else sys.exit(1)


def poll(what, probe, seconds=10, go_on=False):  # probe's first true answer, or a failure once the time is up
    deadline = time.monotonic() + seconds
    while not (answer := probe()) and time.monotonic() < deadline:
        meanwhile()
        time.sleep(0.02)
    return check(answer, what, go_on)


def xvfb():  # a display whose number Xvfb picks itself, once it serves
    env['DISPLAY'] = ':' + start('Xvfb', '-displayfd', 'FD', '-screen', '0', '1024x768x24', '-nolisten', 'tcp', '-noreset')
    poll(f'Xvfb serves {env["DISPLAY"]}', lambda: tool('xdpyinfo').returncode == 0)


def ends(game, what, seconds):  # what comes next does not need this game: a failure goes on
    poll(what, lambda: game.poll() is not None, seconds, True) and check(not game.returncode, f'exit status {game.returncode}', True)


def main(test):
    signal.signal(signal.SIGTERM, lambda *_: sys.exit('terminated'))
    try:
        test()
    finally:
        signal.signal(signal.SIGTERM, signal.SIG_IGN)  # the cleanup is not cut short
        with contextlib.suppress(IndexError, ProcessLookupError):
            os.killpg(helpers[0].pid, signal.SIGTERM)
        with contextlib.suppress(ChildProcessError):
            while True:
                os.waitpid(-1, 0)
        if failed or sys.exc_info()[0]:  # a check failed, or what no check foresaw (its traceback follows)
            print(f'FAIL: {failed or sys.exc_info()[1]!r}\n--- the helpers and the game wrote:\n{open(log.name).read()}')
        shutil.rmtree(work, ignore_errors=True)
    sys.exit(1 if failed else 0)
