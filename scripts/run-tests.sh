#!/usr/bin/env bash
# Builds Pinprobe and runs every test (headless: Qt's offscreen platform).
# Usage: scripts/run-tests.sh [CMAKE OPTIONS]   (for instance -DPINPROBE_WERROR=ON, as CI does)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default "$@" >/dev/null
cmake --build --preset default
ctest --preset default --parallel 2
