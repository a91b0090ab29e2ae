#!/usr/bin/env bash
# A 500000-sample capture of the simulated probe at each speed, beside two busy loops that keep
# both processors of a small machine busy: the summary's gaps, pauses and priority, whether "Too
# Slow" came, and from the CSV and the decoded UART what bench/load_check.py measures. Run it as
# the user whose captures are to be judged (e.g. `runuser -u NAME -- bench/load_check.sh`).
#
# Usage: bench/load_check.sh [PINPROBE_CLI] [SAMPLES]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-$here/../build/default/cli/pinprobe-cli}
samples=${2:-500000}
work=$(mktemp -d)
busy=()
stop_busy() {
    for pid in "${busy[@]}"; do kill "$pid" 2>/dev/null || true; done
    busy=()
}
trap 'stop_busy; rm -rf "$work"' EXIT

for ((i = 0; i < 2; i++)); do
    sh -c 'while :; do :; done' &
    busy+=($!)
done
for speed in fastest fast slow; do
    "$cli" capture --simulate --speed "$speed" --size "$samples" --csv "$work/c.csv" \
        -P uart:rx=select:baudrate=10000:format=ascii -A uart=rx-data \
        >"$work/out" 2>"$work/err"
    echo "$speed: $(grep -E '^(gaps|pauses|priority):' "$work/out" | tr '\n' ' ')"
    echo "  too slow: $(grep -q 'Too Slow' "$work/err" && echo yes || echo no); \
$(python3 "$here/load_check.py" "$work/c.csv" "$work/out")"
done
