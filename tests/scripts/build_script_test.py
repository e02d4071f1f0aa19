#!/usr/bin/env python3
"""scripts/build.sh configures a build tree only when it must.

Runs a copy of the script over a tiny CMake project (configuring it takes a
second, not the real project's minute): the first run configures and says
so, a second run with nothing changed does not configure, a changed
CMakeLists.txt is picked up by Ninja's own re-run of CMake, and a tree last
configured with other options is configured again.

Usage: build_script_test.py <repository folder>
"""

import os
import pathlib
import shutil
import subprocess
import sys
import tempfile

CMAKELISTS = """cmake_minimum_required(VERSION 3.20)
project(tiny NONE)
add_custom_target(corvane ALL COMMAND ${CMAKE_COMMAND} -E echo tiny-built-%s)
"""


def run(project, *args):
    done = subprocess.run(["bash", str(project / "scripts" / "build.sh"), *args],
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, timeout=120)
    if done.returncode != 0:
        raise AssertionError(f"build.sh {' '.join(args)} failed:\n{done.stdout}")
    return done.stdout


def expect(condition, what, output):
    if not condition:
        raise AssertionError(f"{what}\n--- output ---\n{output}")


def main():
    repository = pathlib.Path(sys.argv[1])
    with tempfile.TemporaryDirectory(prefix="corvane-build-script-") as folder:
        project = pathlib.Path(folder)
        (project / "scripts").mkdir()
        shutil.copy(repository / "scripts" / "build.sh", project / "scripts" / "build.sh")
        (project / "CMakeLists.txt").write_text(CMAKELISTS % "one")

        first = run(project)
        expect("== Configuring build" in first, "the first run configures and says so", first)
        expect("-- Configuring done" in first, "the configure's own output shows", first)
        expect("== Building everything" in first and "first build" in first,
               "the build step is announced with its rough length", first)
        expect("tiny-built-one" in first, "the first run builds", first)

        cache = project / "build" / "CMakeCache.txt"
        before = cache.stat().st_mtime_ns
        second = run(project, "corvane")
        expect("== Configuring" not in second and "-- Configuring" not in second,
               "a second run with nothing changed does not configure", second)
        expect(cache.stat().st_mtime_ns == before, "the cache is left alone", second)

        # A changed CMakeLists.txt: Ninja re-runs CMake, the script does not.
        (project / "CMakeLists.txt").write_text(CMAKELISTS % "two")
        third = run(project)
        expect("== Configuring" not in third, "the script leaves the re-run to Ninja", third)
        expect("tiny-built-two" in third, "the change is built", third)

        # A tree configured with other options is configured again.
        stamp = project / "build" / ".corvane-configure-options"
        stamp.write_text("-G\nNinja\n-DCMAKE_BUILD_TYPE=Debug\n")
        fourth = run(project)
        expect("== Configuring build" in fourth, "other options configure again", fourth)
    print("build.sh configures only when it must")


if __name__ == "__main__":
    main()
