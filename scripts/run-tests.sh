#!/usr/bin/env bash
# Builds Pinprobe and runs every test (headless: Qt's offscreen platform).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
ctest --preset default --parallel 2
