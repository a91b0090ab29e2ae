#!/usr/bin/env bash
# Builds Pinprobe and starts it on the simulated probe.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target pinprobe
exec build/default/shell/pinprobe --simulate "$@"
