#!/usr/bin/env python3
"""The seeding tool, run as a scripts/run.sh user runs it: without the program's
folder variables it writes the machine hive where scripts/run.sh keeps it
(under XDG_DATA_HOME, else ~/.local/share) and names the file it wrote; with
CORVANE_REGISTRY_DIR set it writes there.

Usage: seed_settings_test.py <corvane_seed_settings>
"""

import os
import pathlib
import subprocess
import sys
import tempfile


def seed(tool, env, *names):
    done = subprocess.run([tool, *names], env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                          timeout=60)
    if done.returncode != 0:
        raise AssertionError(f"{tool} failed:\n{done.stdout}")
    return done.stdout


def expect(condition, what, output):
    if not condition:
        raise AssertionError(f"{what}\n--- output ---\n{output}")


def main():
    tool = sys.argv[1]
    with tempfile.TemporaryDirectory() as scratch:
        base = {k: v for k, v in os.environ.items()
                if k not in ("CORVANE_PROGRAM_DIR", "CORVANE_REGISTRY_DIR", "XDG_DATA_HOME")}
        home = pathlib.Path(scratch, "home")
        home.mkdir()
        cases = [
            ("no variables", {"HOME": str(home)}, home / ".local/share/corvane/registry/machine.db"),
            ("XDG_DATA_HOME", {"HOME": str(home), "XDG_DATA_HOME": str(pathlib.Path(scratch, "data"))},
             pathlib.Path(scratch, "data/corvane/registry/machine.db")),
            ("CORVANE_REGISTRY_DIR", {"HOME": str(home), "CORVANE_REGISTRY_DIR": str(pathlib.Path(scratch, "hive"))},
             pathlib.Path(scratch, "hive/machine.db")),
        ]
        for what, extra, hive in cases:
            out = seed(tool, {**base, **extra}, "Clip Mouse To Login")
            expect(hive.is_file(), f"{what}: no hive at {hive}", out)
            expect(f"Wrote the machine hive {hive}" in out, f"{what}: the hive it wrote is not named", out)
            expect('"Clip Mouse To Login" is set.' in out, f"{what}: the setting is not reported", out)
    print("seed_settings_test: ok")


if __name__ == "__main__":
    main()
