#!/usr/bin/env python3
"""Starts the real program under Xvfb in a temporary folder, types a line into it, ends it with
SIGTERM (which must close it the normal way) and checks the files it wrote."""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77


def wait_for(predicate, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        result = predicate()
        if result:
            return result
        time.sleep(0.1)
    return None


def main():
    binary = sys.argv[1]
    if not shutil.which("Xvfb") or not shutil.which("xdotool"):
        print("Xvfb or xdotool missing: skipped")
        return SKIP
    with tempfile.TemporaryDirectory() as root:
        program = os.path.join(root, "ormelcalc")
        shutil.copy2(binary, program)
        runtime = os.path.join(root, "runtime")
        os.mkdir(runtime, 0o700)
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                                 "-noreset", "-nolisten", "tcp"], pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        try:
            display = ":" + os.read(read_end, 16).decode().strip()
            env = dict(os.environ, DISPLAY=display, HOME=root, XDG_RUNTIME_DIR=runtime)
            env.pop("QT_QPA_PLATFORM", None)
            if "ASAN_OPTIONS" in env:
                # A real display brings in the X keyboard library, which the sanitizer misreads.
                supp = os.path.join(os.path.dirname(os.path.abspath(__file__)), "asan_xcb.supp")
                env["ASAN_OPTIONS"] += ":suppressions=" + supp
            app = subprocess.Popen([program], env=env)

            def window():
                # Only a mapped window can take the focus; the name is set before the window maps.
                found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "ormelCalc 2.0"],
                                       env=env, capture_output=True, text=True).stdout.split()
                return found[0] if found else None

            wid = wait_for(window, 60)
            if wid is None:
                print("the window never showed")
                app.kill()
                return 1

            def focused():
                return subprocess.run(["xdotool", "windowfocus", "--sync", wid], env=env,
                                      capture_output=True).returncode == 0

            if not wait_for(focused, 30):
                print("the window never took the focus")
                app.kill()
                return 1
            subprocess.run(["xdotool", "type", "--delay", "40", "6*7"], env=env, check=True)
            subprocess.run(["xdotool", "key", "Return"], env=env, check=True)
            time.sleep(2)
            app.send_signal(signal.SIGTERM)
            code = app.wait(timeout=60)
            if code != 0:
                print(f"exit status {code}")
                return 1
            data = os.path.join(root, "data")
            written = sorted(os.listdir(data))
            expected = ["hotkeys.xml", "prefs.xml", "settings.xml", "toolbars.ini", "vars.xml", "workspace.dat"]
            if written != expected:
                print(f"files written: {written}")
                return 1
            with open(os.path.join(data, "workspace.dat"), "rb") as workspace:
                content = workspace.read()
            # The line, and its answer with the answer colour (yellow) in the colour table.
            if b"6*7" not in content or b" 42" not in content or b"\\red255\\green255\\blue0;" not in content:
                print(f"workspace: {content!r}")
                return 1
            print("1 passed, 0 failed")
            return 0
        finally:
            xvfb.terminate()
            xvfb.wait()


if __name__ == "__main__":
    sys.exit(main())
