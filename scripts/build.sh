#!/usr/bin/env bash
# Configures and builds into build/ (or build-sanitize/ with --sanitize):
# everything, or only the named targets.
#   bash scripts/build.sh [--sanitize] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build
args=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo)
# Rebuilds in several checkouts share one compiler cache when ccache is there.
if command -v ccache >/dev/null; then
  args+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}" CCACHE_NOHASHDIR=1
fi
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-sanitize
  args+=(-DCORVANE_SANITIZE=ON -DCORVANE_BENCHMARKS=OFF)
  shift
fi
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake -S . -B "$dir" "${args[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)" "${targets[@]}"
