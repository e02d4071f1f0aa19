#!/usr/bin/env bash
# Renders the message box with each icon and button set into PNG files under
# a virtual X display, for a person to look at. Output: build/screenshots/msgbox
# (or the folder given as the first argument).
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-build/screenshots/msgbox}"
bash scripts/build.sh >/dev/null
rm -rf "$out"
xvfb-run -a -s "-screen 0 1280x1024x24" build/tests/ui/msgbox_screenshots "$out"
ls "$out"
