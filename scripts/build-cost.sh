#!/usr/bin/env bash
# Prints the CPU seconds (user + system) of cold builds with the compiler cache
# off, in a temporary folder: the program alone (what the first scripts/run.sh
# builds), the whole normal build (scripts/build.sh) and the sanitizer build
# (scripts/build.sh --sanitize).
#   bash scripts/build-cost.sh [-jN]
# CORVANE_BUILD_COST_DIR keeps the builds in that folder instead of removing them.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${1:--j$(nproc)}"
export CCACHE_DISABLE=1
work="${CORVANE_BUILD_COST_DIR:-}"
if [ -z "$work" ]; then
  work="$(mktemp -d)"
  trap 'rm -rf "$work"' EXIT
fi
source_dir="$PWD"

# Runs a command and adds its CPU seconds (its own and its children's) to $cpu.
cpu=0
measure() {
  local out
  out="$(mktemp)"
  /usr/bin/time -f "%U %S" -o "$out" "$@" >"$work/last.log" 2>&1 || {
    tail -30 "$work/last.log" >&2
    rm -f "$out"
    return 1
  }
  cpu="$(awk -v c="$cpu" '{ printf "%.0f", c + $1 + $2 }' "$out")"
  rm -f "$out"
}
configure() {  # folder, extra cmake arguments
  local dir="$1"
  shift
  measure cmake -S "$source_dir" -B "$work/$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
}

echo "CPU seconds, cold, compiler cache off, on $(nproc) cores:"
configure build
measure cmake --build "$work/build" "$jobs" --target corvane corvane_seed_settings
printf '  program alone (scripts/run.sh)    %6d\n' "$cpu"
measure cmake --build "$work/build" "$jobs"
printf '  normal build (scripts/build.sh)   %6d\n' "$cpu"

cpu=0
configure build-sanitize -DCORVANE_SANITIZE=ON -DCORVANE_BENCHMARKS=OFF
measure cmake --build "$work/build-sanitize" "$jobs"
printf '  sanitizer build (--sanitize)      %6d\n' "$cpu"
