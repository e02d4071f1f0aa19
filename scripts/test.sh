#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; then the same suite
# under the address and undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
ctest --test-dir build --output-on-failure -j"$(nproc)"
if [ "${CORVANE_SKIP_SANITIZE:-}" != "1" ]; then
  bash scripts/build.sh --sanitize
  ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-sanitize --output-on-failure -j"$(nproc)"
fi
