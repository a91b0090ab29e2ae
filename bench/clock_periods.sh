#!/usr/bin/env bash
# The simulated 10 kHz clock measured between its rising edges in the CSV of a capture, at the
# Fastest and Fast speeds, alone and with two busy loops running beside the capture.
#
# Usage: bench/clock_periods.sh [PINPROBE_CLI] [SAMPLES]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-build/default/cli/pinprobe-cli}
samples=${2:-500000}
work=$(mktemp -d)
busy=()
stop_busy() {
    for pid in "${busy[@]}"; do kill "$pid" 2>/dev/null || true; done
    busy=()
}
trap 'stop_busy; rm -rf "$work"' EXIT

for loops in 0 2; do
    for ((i = 0; i < loops; i++)); do
        sh -c 'while :; do :; done' &
        busy+=($!)
    done
    for speed in fastest fast; do
        "$cli" capture --simulate --speed "$speed" --size "$samples" --csv "$work/$speed.csv" \
            >"$work/summary" 2>/dev/null
        echo "$speed, $loops busy loops: $(grep '^gaps:' "$work/summary")"
        python3 "$here/clock_periods.py" "$work/$speed.csv"
    done
    stop_busy
done
