#!/usr/bin/env bash
# Builds Pinprobe and runs every test (headless: Qt's offscreen platform).
# Usage: scripts/run-tests.sh [--preset default|asan] [CMAKE OPTIONS]
#   --preset asan builds and runs the whole suite under AddressSanitizer + UndefinedBehaviorSanitizer,
#   as CI does (with -DPINPROBE_WERROR=ON); without it, the default preset.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=default
if [ "${1:-}" = --preset ]; then
  preset=${2:?"--preset needs a name: default or asan"}
  shift 2
fi
# The sanitizer presets compile with clang, and link its sanitizer runtimes.
if [ "$preset" = default ]; then
  scripts/install-deps.sh
else
  scripts/install-deps.sh clang libclang-rt-14-dev
fi
cmake --preset "$preset" "$@" >/dev/null
cmake --build --preset "$preset"
# Many tests spend part of their time waiting for the programs they start: two per core keep the
# cores busy.
ctest --preset "$preset" --parallel "$((2 * $(nproc)))"
