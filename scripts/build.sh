#!/usr/bin/env bash
# Configures (only when needed) and builds into build/ (or build-sanitize/
# with --sanitize): everything, or only the named targets.
#   bash scripts/build.sh [--sanitize] [target...]
# A build tree already configured with the same options is not configured
# again: Ninja re-runs CMake by itself when a CMakeLists.txt changed.
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

# The options the tree was last configured with, one per line.
stamp="$dir/.corvane-configure-options"
wanted="$(printf '%s\n' "${args[@]}")"
if [ -f "$dir/build.ninja" ] && [ -f "$dir/CMakeCache.txt" ] && [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wanted" ]; then
  echo "== $dir is configured; the build re-runs CMake itself if a CMakeLists.txt changed"
else
  echo "== Configuring $dir (CMake: finding Qt, GoogleTest and the other libraries; well under a minute)"
  cmake -S . -B "$dir" "${args[@]}"
  printf '%s\n' "$wanted" >"$stamp"
fi
if [ ${#targets[@]} -gt 0 ]; then what="$*"; else what="everything"; fi
echo "== Building $what in $dir with $(nproc) jobs: a first build compiles for a few minutes (everything"
echo "   took about 3.5 on eight cores with an empty compiler cache; fewer cores take longer); with nothing"
echo "   changed it takes seconds"
cmake --build "$dir" -j"$(nproc)" "${targets[@]}"
