#!/usr/bin/env python3
"""Times Corvane's start on a virtual display: from the start of the process to the
splash (its first window) and to the login window, each run on fresh folders with
one account. Polling the display costs a few milliseconds per look.

  python3 scripts/startup-time.py [--runs N] [--binary build/src/app/corvane]

Prints, per run and as medians, when the splash and the login window became visible,
and the machine's load average (other work on the machine lengthens every figure).
"""
import argparse
import os
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
LOGIN = "Corvane Standard"
USER_SLOT, USER_DATA = 4176, 2160


def users_file(path):
    """users.sec with one administrator, "admin", so the start ends at the login window."""
    record = bytearray(USER_DATA)
    record[0:50] = b"Administrator".ljust(50)
    record[50:70] = b"admin".ljust(20)
    record[491:493] = struct.pack("<h", -1)  # IsAdministrator
    with open(path, "wb") as f:
        f.write(bytes(record))


def start_display():
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                            pass_fds=(write_end,), stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read_end, 16)
        if not chunk:
            sys.exit("Xvfb did not start")
        number += chunk
    os.close(read_end)
    return xvfb, ":" + number.decode().strip()


def visible_titles(display, pid):
    """The titles of the process's visible windows ("" for one without a title)."""
    env = dict(os.environ, DISPLAY=display)
    ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)], env=env,
                         capture_output=True, text=True).stdout.split()
    titles = set()
    for w in ids:
        titles.add(subprocess.run(["xdotool", "getwindowname", w], env=env, capture_output=True, text=True).stdout.strip())
    return titles


def one_run(binary, display, seed):
    scratch = tempfile.mkdtemp(prefix="corvane-start-")
    try:
        env = dict(os.environ, DISPLAY=display, CORVANE_PROGRAM_DIR=os.path.join(scratch, "program"),
                   CORVANE_REGISTRY_DIR=os.path.join(scratch, "registry"), CORVANE_RUNTIME_DIR=os.path.join(scratch, "runtime"),
                   CORVANE_COMPUTER_NAME="WS-START", CORVANE_TEST="1", QTWEBENGINE_DISABLE_SANDBOX="1",
                   QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu", HOME=scratch)
        for folder in ("program", "registry", "runtime"):
            os.makedirs(os.path.join(scratch, folder), mode=0o700)
        subprocess.run([seed], env=env, check=True, stdout=subprocess.DEVNULL)
        users_file(os.path.join(scratch, "program", "users.sec"))
        start = time.monotonic()
        errors = open(os.path.join(scratch, "stderr.txt"), "w+")
        program = subprocess.Popen([binary], env=env, stdout=subprocess.DEVNULL, stderr=errors)
        seen = {}
        try:
            while LOGIN not in seen and time.monotonic() - start < 30:
                for title in visible_titles(display, program.pid):
                    seen.setdefault(title, time.monotonic() - start)
        finally:
            program.terminate()
            try:
                program.wait(10)
            except subprocess.TimeoutExpired:
                program.kill()
        if LOGIN not in seen:
            errors.seek(0)
            print("no login window; the program said:", errors.read()[-2000:], file=sys.stderr)
        # The splash has no title of its own: it is the first window the process shows.
        first = min(seen.values()) if seen else None
        return first, seen.get(LOGIN)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--binary", default=os.path.join(ROOT, "build/src/app/corvane"))
    parser.add_argument("--seed", default=os.path.join(ROOT, "build/tests/app/corvane_seed_settings"))
    args = parser.parse_args()
    for tool in ("Xvfb", "xdotool"):
        if not shutil.which(tool):
            sys.exit(f"{tool} is missing (bash scripts/install-deps.sh)")
    xvfb, display = start_display()
    try:
        splash, login = [], []
        for run in range(args.runs):
            s, l = one_run(args.binary, display, args.seed)
            print(f"run {run + 1}: splash {s if s is None else f'{s:.2f} s'}, login window {l if l is None else f'{l:.2f} s'}")
            if s is not None:
                splash.append(s)
            if l is not None:
                login.append(l)
        if splash and login:
            print(f"median: splash {statistics.median(splash):.2f} s, login window {statistics.median(login):.2f} s")
        print("load average:", " ".join(open("/proc/loadavg").read().split()[:3]))
    finally:
        xvfb.terminate()
        xvfb.wait()


if __name__ == "__main__":
    main()
