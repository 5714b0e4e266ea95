#!/usr/bin/env python3
"""Start-up side by side under Xvfb: time from process start to the first window mapped, and
resident memory once idle, for ormelCalc, SpeedCrunch and a bare Qt 6 window (the floor).

    bench/startup_bench.py BUILD_DIR [RUNS]

BUILD_DIR is a release build with ORMEL_BUILD_BENCH=ON. SpeedCrunch is installed with apt-get
when it is missing. Prints a Markdown table of medians."""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

IDLE_SECONDS = 3


def ensure_speedcrunch():
    if shutil.which("speedcrunch"):
        return
    sudo = [] if os.geteuid() == 0 else ["sudo"]
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    subprocess.run(sudo + ["apt-get", "install", "-y", "--no-install-recommends", "speedcrunch"], check=True, env=env)


def resident_kb(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def measure(map_timer, command, env, workdir):
    out = subprocess.run([map_timer] + command, env=env, cwd=workdir, stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL, text=True, timeout=60)
    if len(out.stdout.split()) != 2:
        raise RuntimeError(f"{command[0]}: no window mapped (map_timer said {out.stdout!r}, status {out.returncode})")
    mapped_ms, pid = out.stdout.split()
    pid = int(pid)
    time.sleep(IDLE_SECONDS)
    rss = resident_kb(pid)
    os.kill(pid, 15)
    # The program is map_timer's child, not ours: wait until it is gone (or a zombie).
    for _ in range(400):
        try:
            with open(f"/proc/{pid}/stat") as stat:
                if stat.read().split(")")[-1].split()[0] == "Z":
                    break
        except FileNotFoundError:
            break
        time.sleep(0.05)
    return float(mapped_ms), rss / 1024.0


def main():
    build = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 7
    ensure_speedcrunch()
    map_timer = os.path.join(build, "bench", "map_timer")
    with tempfile.TemporaryDirectory() as root:
        program_dir = os.path.join(root, "ormelcalc")
        os.mkdir(program_dir)
        ormelcalc = os.path.join(program_dir, "ormelcalc")
        shutil.copy2(os.path.join(build, "src", "ui", "ormelcalc"), ormelcalc)
        runtime = os.path.join(root, "runtime")
        os.mkdir(runtime, 0o700)
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-noreset", "-nolisten",
                                 "tcp"], pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        display = ":" + os.read(read_end, 16).decode().strip()
        env = dict(os.environ, DISPLAY=display, HOME=root, XDG_RUNTIME_DIR=runtime)
        env.pop("QT_QPA_PLATFORM", None)
        programs = [
            ("ormelCalc", [ormelcalc]),
            ("SpeedCrunch", ["speedcrunch"]),
            ("bare Qt 6 window", [os.path.join(build, "bench", "bare_qt_window")]),
        ]
        results = {name: [] for name, _ in programs}
        try:
            # One unmeasured start each fills the caches and writes first-run files.
            for name, command in programs:
                measure(map_timer, command, env, root)
            for _ in range(runs):
                for name, command in programs:
                    results[name].append(measure(map_timer, command, env, root))
        finally:
            xvfb.terminate()
            xvfb.wait()
    print(f"| program | window mapped (median of {runs}) | resident memory once idle |")
    print("|---|---|---|")
    for name, samples in results.items():
        mapped = statistics.median(s[0] for s in samples)
        rss = statistics.median(s[1] for s in samples)
        print(f"| {name} | {mapped:.0f} ms | {rss:.1f} MB |")


if __name__ == "__main__":
    main()
