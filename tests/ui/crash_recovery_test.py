#!/usr/bin/env python3
"""The recovery copy of the real program under Xvfb: typing survives kill -9 (Yes restores it,
No keeps the start of today and sets the copy aside), and kill -9 at random moments of recovery
writes and normal saves, try after try, never leaves a data or recovery file empty or cut, and
the next start always works."""
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

from xvfb_display import SKIP, available, program_environment, wait_for, xvfb
TRIES = int(os.environ.get("ORMEL_CRASH_TRIES", "200"))
PAD_LINES = 4000
DATA_FILES = ["hotkeys.xml", "prefs.xml", "settings.xml", "toolbars.ini", "vars.xml", "workspace.dat"]
# A typed "x=<n>" may be cut short, or lack its Enter, when the window closes while it comes.
PAD_LINE = re.compile(r"^(x=?[0-9]*)*(12\.5\*[0-9]\+SIN\(0\.5\)| 63\.479425538604203|)$")


class Failure(Exception):
    pass


def rtf_lines(content):
    """The text lines of a pad file as the program writes it; None when it is not complete."""
    start = content.find(b"\\viewkind4\\pard\\f0\\fs20 ")
    if not content.startswith(b"{\\rtf1") or not content.endswith(b"}\r\n") or start < 0:
        return None
    body = content[start + 24:-3].decode("ascii", "replace")
    lines = []
    for line in body.split("\\par\r\n"):
        lines.append(re.sub(r"\\cf[0-9]+\\b0? ", "", line))
    return lines


def complete_pad(content):
    lines = rtf_lines(content)
    return lines is not None and sum(1 for line in lines if line.startswith("12.5*")) == PAD_LINES // 2 and all(
        PAD_LINE.match(line) for line in lines)


def complete_vars(content):
    if content == b"<variables />\r\n":
        return True
    lines = content.split(b"\r\n")
    return (lines[0] == b"<variables>" and lines[-2:] == [b"</variables>", b""] and
            all(re.fullmatch(rb' <variable name="X" value="[0-9]+" />', line) for line in lines[1:-2]))


class Desktop:
    def __init__(self, root, display, binary):
        self.root = root
        self.program = os.path.join(root, "ormelcalc")
        shutil.copy2(binary, self.program)
        self.data = os.path.join(root, "data")
        self.env = program_environment(root, display)
        # Away from the windows, so that no hint window (titled as the program) ever opens.
        self.xdotool("mousemove", "1023", "767")

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True).stdout.split()

    def start(self):
        return subprocess.Popen([self.program], env=self.env, stderr=subprocess.DEVNULL)

    def window(self, app, name):
        """The program's window whose whole title matches name, once it is shown."""
        if app.poll() is not None:
            raise Failure(f"the program ended with {app.returncode} before its window showed")
        # Without --all, xdotool matches windows that meet any one of the conditions.
        found = self.xdotool("search", "--all", "--onlyvisible", "--pid", str(app.pid), "--name", name)
        return found[0] if found else None

    def main_window(self, app, seconds=20):
        wid = wait_for(lambda: self.window(app, "^ormelCalc 2\\.0"), seconds, 0.01)
        if wid is None:
            raise Failure("the main window never showed")
        return wid

    def question(self, app, seconds=20):
        """The recovery question; the program asks it when it finds recovery files."""
        box = wait_for(lambda: self.window(app, "^ormelCalc$"), seconds, 0.01)
        if box is None:
            raise Failure(f"the start with recovery files {self.recovery_names()} asked nothing")
        return box

    def focus(self, wid):
        # A window just mapped may refuse the focus for a moment; keys sent before it has the
        # focus would go elsewhere.
        wait_for(lambda: subprocess.run(["xdotool", "windowfocus", "--sync", wid], env=self.env,
                                        capture_output=True).returncode == 0, 10, 0.01)

    def answer(self, box, key):
        self.focus(box)
        self.xdotool("key", key)

    def type_line(self, wid, text, delay=1):
        self.focus(wid)
        # "type" takes every argument after it as text, so Enter is a call of its own.
        self.xdotool("type", "--delay", str(delay), text)
        self.xdotool("key", "Return")

    def end(self, app):
        app.send_signal(signal.SIGTERM)
        code = app.wait(timeout=60)
        if code != 0:
            raise Failure(f"exit status {code} after SIGTERM; the data folder then held {self.names()}")

    def read(self, name):
        with open(os.path.join(self.data, name), "rb") as file:
            return file.read()

    def names(self):
        return sorted(os.listdir(self.data)) if os.path.isdir(self.data) else []

    def recovery_names(self):
        return [name for name in self.names() if re.fullmatch(r"(workspace\.dat|vars\.xml)\.recovery-[0-9]+", name)]


def restores_after_kill(desk):
    app = desk.start()
    wid = desk.main_window(app)
    time.sleep(0.3)
    desk.type_line(wid, "r = 1/3", 40)
    desk.type_line(wid, "r*3", 40)
    if not wait_for(lambda: b'name="R"' in desk.read(f"vars.xml.recovery-{app.pid}")
                    if os.path.exists(os.path.join(desk.data, f"vars.xml.recovery-{app.pid}")) else False, 10):
        raise Failure(f"no recovery copy within 10 s of typing: {desk.names()}")
    time.sleep(0.3)
    app.kill()
    app.wait()
    if os.path.exists(os.path.join(desk.data, "workspace.dat")):
        raise Failure("a killed program saved its workspace")

    app = desk.start()
    box = desk.question(app)
    desk.answer(box, "Return")
    desk.main_window(app)
    desk.end(app)
    workspace = desk.read("workspace.dat")
    for piece in (b"r = 1/3", b"r*3", b"\\b  1", b"\\red255\\green255\\blue0;"):
        if piece not in workspace:
            raise Failure(f"restored workspace lacks {piece!r}: {workspace!r}")
    if b'name="R"' not in desk.read("vars.xml"):
        raise Failure("restored variables lack R")
    if desk.recovery_names():
        raise Failure(f"recovery files left after a normal end: {desk.recovery_names()}")


def no_sets_aside(desk):
    today = desk.read("workspace.dat")
    app = desk.start()
    wid = desk.main_window(app)
    time.sleep(0.3)
    desk.type_line(wid, "x = 9", 40)
    recovery = os.path.join(desk.data, f"vars.xml.recovery-{app.pid}")
    if not wait_for(lambda: os.path.exists(recovery) and b'name="X"' in desk.read(recovery), 10):
        raise Failure("no recovery copy within 10 s of typing")
    time.sleep(0.3)
    app.kill()
    app.wait()

    app = desk.start()
    box = desk.question(app)
    desk.answer(box, "Escape")
    desk.main_window(app)
    desk.end(app)
    if b"x = 9" in desk.read("workspace.dat") or b'name="X"' in desk.read("vars.xml"):
        raise Failure("No restored the copy")
    if b"r*3" not in desk.read("workspace.dat") or desk.read("workspace.dat") != today:
        raise Failure("No did not keep the start of today")
    aside = [name for name in desk.names() if ".recovered-" in name]
    if len(aside) != 2 or not any(b'name="X"' in desk.read(name) for name in aside):
        raise Failure(f"set-aside files: {aside}")
    for name in aside:
        os.remove(os.path.join(desk.data, name))


def big_pad():
    """A workspace of PAD_LINES lines, so that each save and recovery write takes a while."""
    parts = ["{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl{\\f0\\fnil\\fcharset0 Verdana;}}\r\n"
             "{\\colortbl ;\\red255\\green255\\blue0;\\red255\\green255\\blue255;}\r\n\\viewkind4\\pard\\f0\\fs20 "]
    lines = []
    for n in range(PAD_LINES // 2):
        lines.append(f"\\cf2\\b 12.5*{n % 10}+SIN(0.5)")
        lines.append("\\cf1\\b  63.479425538604203")
    lines.append("\\cf2\\b ")
    parts.append("\\par\r\n".join(lines))
    parts.append("}\r\n")
    return "".join(parts).encode()


def kill_loop(desk, tries):
    """Each try starts the program, answers a left copy (mostly Yes, which writes this
    instance's copy at once), sometimes types a line and ends normally, and is killed at a
    random moment of that write or that save."""
    for name in desk.names():
        os.remove(os.path.join(desk.data, name))
    app = desk.start()
    desk.main_window(app)
    desk.end(app)
    with open(os.path.join(desk.data, "workspace.dat"), "wb") as file:
        file.write(big_pad())
    rng = random.Random(int(os.environ.get("ORMEL_CRASH_SEED", "12")))
    seen = {}
    hits = {"during a write": 0, "normal ends": 0, "restored": 0, "set aside": 0}
    started = time.monotonic()
    # Kills land by chance: on a slow build (the sanitizers') a run of tries may miss every write
    # or leave no copy to restore, so the loop goes on, up to ten times as long, until both
    # happened; while no kill has met a write, the kills after SIGTERM spread further each ten
    # tries, as the save starts later on such a build.
    attempt = -1
    while True:
        attempt += 1
        proved = hits["during a write"] > 0 and hits["restored"] > 0
        if attempt >= 10 * tries or (attempt >= tries and proved):
            break
        widening = 0 if attempt < tries or hits["during a write"] > 0 else 1 + (attempt - tries) // 10
        save_window = 0.04 * 2 ** min(widening, 3)
        before = {name: desk.read(name) for name in desk.names() if not name.startswith(".")}
        temporaries = {name for name in desk.names() if name.endswith(".tmp")}
        asks = bool(desk.recovery_names())
        app = desk.start()
        killer = None

        def kill_after(seconds):
            nonlocal killer
            killer = threading.Timer(seconds, lambda: app.kill() if app.poll() is None else None)
            killer.start()

        try:
            typing = True
            if asks:
                box = desk.question(app)
                yes = rng.random() < 0.9
                hits["restored" if yes else "set aside"] += 1
                if yes and rng.random() < 0.7:
                    # During the restore and this instance's first write of the copy.
                    kill_after(rng.uniform(0.0, 0.2))
                    typing = False
                desk.answer(box, "Return" if yes else "Escape")
            if typing:
                wid = desk.main_window(app)
                desk.type_line(wid, f"x={attempt}")
                if not desk.recovery_names() and rng.random() < 0.3:
                    # Nothing left to restore: let this try write a copy, so the next one asks.
                    own = os.path.join(desk.data, f"vars.xml.recovery-{app.pid}")
                    wait_for(lambda: os.path.exists(own), 5)
                # During the normal save (or, now and then, just before or after it).
                kill_after(rng.uniform(0.0, save_window))
                app.send_signal(signal.SIGTERM)
        except Failure:
            if app.poll() is None or app.returncode != -signal.SIGKILL:
                raise
        app.wait(timeout=60)
        if killer is not None:
            killer.cancel()
        if app.returncode == 0:
            hits["normal ends"] += 1
        elif app.returncode != -signal.SIGKILL:
            raise Failure(f"try {attempt}: exit status {app.returncode}")
        if {name for name in desk.names() if name.endswith(".tmp")} - temporaries:
            hits["during a write"] += 1

        for name in desk.names():
            if name.startswith(".") or ".recovered-" in name:
                continue
            content = desk.read(name)
            if content == before.get(name):
                continue
            if name.endswith(".bak") or ".bad-" in name:
                raise Failure(f"try {attempt}: a start could not read a file: {name}")
            if name.startswith("workspace.dat"):
                good = complete_pad(content)
            elif name.startswith("vars.xml"):
                good = complete_vars(content)
            elif name in DATA_FILES:
                # The others never change once the first run wrote them.
                good = seen.setdefault(name, content) == content
            else:
                raise Failure(f"try {attempt}: unexpected file {name}")
            if not good:
                lines = rtf_lines(content) or []
                odd = [line for line in lines if not PAD_LINE.match(line)][:3]
                raise Failure(f"try {attempt}: {name} is neither its old nor a whole new version: {odd} "
                              f"{content[:300]!r} ... {content[-100:]!r}")
    asks = bool(desk.recovery_names())
    app = desk.start()
    if asks:
        desk.answer(desk.question(app), "Return")
    desk.main_window(app)
    desk.end(app)
    if not complete_pad(desk.read("workspace.dat")) or desk.recovery_names():
        raise Failure("the start after the last kill did not end cleanly")
    print(f"{attempt} kills in {time.monotonic() - started:.1f} s: " +
          ", ".join(f"{count} {what}" for what, count in hits.items()))
    if hits["during a write"] == 0 or hits["restored"] == 0:
        raise Failure("no kill landed during a write or no copy was restored: the loop proved nothing")


def main():
    binary = sys.argv[1]
    if not available():
        print("Xvfb or xdotool missing: skipped")
        return SKIP
    with tempfile.TemporaryDirectory() as root, xvfb() as display:
        desk = Desktop(root, display, binary)
        try:
            for test in (restores_after_kill, no_sets_aside, lambda d: kill_loop(d, TRIES)):
                test(desk)
        except Failure as failure:
            print(f"FAILED: {failure}")
            return 1
        print("3 passed, 0 failed")
        return 0


if __name__ == "__main__":
    sys.exit(main())
