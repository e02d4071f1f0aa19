#!/usr/bin/env bash
# Installs what is missing, builds, and starts Corvane.
#   bash scripts/run.sh                          on this desktop
#   bash scripts/run.sh --offscreen [--seconds N] under a virtual X display for
#        N seconds (default 20), saving each window it opens as a PNG file
# The program folder (and with it the data folder) and the registry hives live
# under ${XDG_DATA_HOME:-$HOME/.local/share}/corvane unless CORVANE_PROGRAM_DIR
# and CORVANE_REGISTRY_DIR move them. On that folder's first use "Require
# Login" is turned on, so the empty user table offers the wizard that creates
# the first administrator, then the login.
set -euo pipefail
cd "$(dirname "$0")/.."

offscreen=0
seconds=20
while [ $# -gt 0 ]; do
  case "$1" in
    --offscreen) offscreen=1 ;;
    --seconds) seconds="${2:?--seconds needs a number}"; shift ;;
    --seconds=*) seconds="${1#*=}" ;;
    *) echo "usage: $0 [--offscreen] [--seconds N]" >&2; exit 2 ;;
  esac
  shift
done
case "$seconds" in ''|*[!0-9]*) echo "--seconds needs a whole number, not '$seconds'" >&2; exit 2 ;; esac

if [ "$offscreen" = 0 ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "There is no display to show Corvane on (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "Run it under a virtual display instead:  bash scripts/run.sh --offscreen" >&2
  exit 1
fi

echo "== Checking the Debian packages the build needs"
bash scripts/install-deps.sh
# Only the program and the seeding tool: the test command builds the rest.
bash scripts/build.sh corvane corvane_seed_settings

home="${XDG_DATA_HOME:-$HOME/.local/share}/corvane"
export CORVANE_PROGRAM_DIR="${CORVANE_PROGRAM_DIR:-$home}"
export CORVANE_REGISTRY_DIR="${CORVANE_REGISTRY_DIR:-$home/registry}"
# Folders made here are as private as those the program makes itself (0700).
(umask 077 && mkdir -p "$CORVANE_PROGRAM_DIR" "$CORVANE_REGISTRY_DIR")
marker="$CORVANE_PROGRAM_DIR/.corvane-seeded"
if [ ! -e "$marker" ]; then
  echo "== First use of $CORVANE_PROGRAM_DIR: turning on \"Require Login\""
  build/tests/app/corvane_seed_settings
  touch "$marker"
fi
echo "Program and data folder: $CORVANE_PROGRAM_DIR"
echo "Registry hives: $CORVANE_REGISTRY_DIR"

# The program itself keeps the web engine's sandbox on, unless it runs as root.
if [ "$offscreen" = 0 ]; then
  echo "== Starting Corvane"
  exec build/src/app/corvane
fi

# Xvfb has no GPU for the web engine.
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu"
export CORVANE_SCREENSHOT_DIR="${CORVANE_SCREENSHOT_DIR:-$PWD/build/run-screenshots}"
rm -rf "$CORVANE_SCREENSHOT_DIR"
mkdir -p "$CORVANE_SCREENSHOT_DIR"
echo "Running for $seconds seconds under xvfb-run; screenshots go to $CORVANE_SCREENSHOT_DIR"
status=0
xvfb-run -a -s "-screen 0 1280x1024x24" \
  timeout --preserve-status -s TERM "$seconds" build/src/app/corvane || status=$?
ls "$CORVANE_SCREENSHOT_DIR"
exit "$status"
