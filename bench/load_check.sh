#!/usr/bin/env bash
# A 500000-sample capture of the simulated probe at each speed, beside two busy loops that keep
# both processors of a small machine busy: the summary's gaps, pauses and priority, whether "Too
# Slow" came, what bench/load_check.py finds in the CSV and the decoded UART, and the clock
# periods (bench/clock_periods.py). Run it as the user whose captures are to be judged (e.g.
# `runuser -u NAME -- bench/load_check.sh`).
#
# Usage: bench/load_check.sh [PINPROBE_CLI] [SAMPLES]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-$here/../build/default/cli/pinprobe-cli}
samples=${2:-500000}
work=$(mktemp -d)
source "$here/busy_loops.sh"
trap 'stop_busy; rm -rf "$work"' EXIT

start_busy 2
for speed in fastest fast slow; do
    "$cli" capture --simulate --speed "$speed" --size "$samples" --csv "$work/c.csv" \
        -P uart:rx=select:baudrate=10000:format=ascii -A uart=rx-data \
        >"$work/out" 2>"$work/err"
    echo "$speed: $(grep -E '^(gaps|pauses|priority):' "$work/out" | tr '\n' ' ')"
    echo "  too slow: $(grep -q 'Too Slow' "$work/err" && echo yes || echo no)"
    echo "  $(python3 "$here/load_check.py" "$work/c.csv" "$work/out")"
    echo "  $(python3 "$here/clock_periods.py" "$work/c.csv")"
done
