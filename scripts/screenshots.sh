#!/usr/bin/env bash
# Renders every window built so far into PNG files under a virtual X display,
# for a person to look at: the message box with each icon and button set,
# the shell's windows, and those of every other *_screenshots program the
# tests build (each takes the output folder as its one argument).
# Output: build/screenshots (or the folder given as the first argument).
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-build/screenshots}"
bash scripts/build.sh >/dev/null
rm -rf "$out"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
failed=0
# Every program keeps its data in a fixed scratch tree, emptied here, and names
# the same computer: two runs give the same pictures on any machine.
rm -rf /tmp/corvane-screenshots
export CORVANE_COMPUTER_NAME=WS-SCREENSHOTS
# The web engine has no GPU under Xvfb (its sandbox the programs set up themselves).
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu"
while IFS= read -r program; do
  echo "== $(basename "$program")"
  xvfb-run -a -s "-screen 0 1280x1024x24" "$program" "$out" || failed=1
done < <(find build/tests -type f -perm -u+x -name '*_screenshots' | sort)
ls "$out"
exit "$failed"
