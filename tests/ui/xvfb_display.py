"""A private X display for the process tests: Xvfb on a free display number, and the
environment the real program runs in there."""
import contextlib
import os
import shutil
import subprocess
import time

SKIP = 77


def wait_for(predicate, seconds, step=0.1):
    """predicate's first true result within seconds; None when there was none."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        result = predicate()
        if result:
            return result
        time.sleep(step)
    return None


def available():
    return bool(shutil.which("Xvfb") and shutil.which("xdotool"))


@contextlib.contextmanager
def xvfb():
    """Runs Xvfb while the block runs; yields its display name (":N")."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                               "-noreset", "-nolisten", "tcp"], pass_fds=(write_end,), stderr=subprocess.DEVNULL)
    os.close(write_end)
    try:
        yield ":" + os.read(read_end, 16).decode().strip()
    finally:
        os.close(read_end)
        server.terminate()
        server.wait()


def program_environment(root, display):
    """The environment for a program copy in root: its home there, a runtime folder of its own,
    the real display instead of the offscreen platform."""
    runtime = os.path.join(root, "runtime")
    os.makedirs(runtime, 0o700, exist_ok=True)
    env = dict(os.environ, DISPLAY=display, HOME=root, XDG_RUNTIME_DIR=runtime)
    env.pop("QT_QPA_PLATFORM", None)
    if "ASAN_OPTIONS" in env:
        # A real display brings in the X keyboard library, which the sanitizer misreads.
        supp = os.path.join(os.path.dirname(os.path.abspath(__file__)), "asan_xcb.supp")
        env["ASAN_OPTIONS"] += ":suppressions=" + supp
    return env
