#!/usr/bin/env bash
# Builds the libFuzzer targets in fuzz/ with clang into build-fuzz/ and runs
# each for the given number of seconds (default 60), or only the named ones:
#   bash scripts/fuzz.sh [seconds-per-target] [target...]
# Each target keeps its corpus in build-fuzz/corpus/NAME (seeded from
# fuzz/seeds/NAME when that folder exists); a failing input lands in
# build-fuzz/artifacts/NAME/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
dir=build-fuzz
args=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_FUZZ=ON
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++)
if command -v ccache >/dev/null; then
  args+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}" CCACHE_NOHASHDIR=1
fi
cmake -S . -B "$dir" "${args[@]}" >/dev/null
cmake --build "$dir" -j"${CORVANE_FUZZ_JOBS:-$(nproc)}"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in fuzz/*_fuzz.cpp; do
    [ -e "$source" ] && targets+=("$(basename "$source" .cpp)")
  done
fi

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
failed=()
for name in "${targets[@]}"; do
  corpus="$dir/corpus/$name"
  artifacts="$dir/artifacts/$name"
  mkdir -p "$corpus" "$artifacts"
  seeds=()
  [ -d "fuzz/seeds/$name" ] && seeds=("fuzz/seeds/$name")
  echo "== $name (${seconds}s)"
  if ! "$dir/fuzz/$name" -max_total_time="$seconds" -artifact_prefix="$artifacts/" \
       -print_final_stats=1 "$corpus" "${seeds[@]}"; then
    failed+=("$name")
  fi
done
if [ ${#failed[@]} -ne 0 ]; then
  echo "failed: ${failed[*]}" >&2
  exit 1
fi
echo "all ${#targets[@]} fuzz targets ran clean"
