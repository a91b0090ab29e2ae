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
source "$here/busy_loops.sh"
trap 'stop_busy; rm -rf "$work"' EXIT

for loops in 0 2; do
    start_busy "$loops"
    for speed in fastest fast; do
        "$cli" capture --simulate --speed "$speed" --size "$samples" --csv "$work/$speed.csv" \
            >"$work/summary" 2>/dev/null
        echo "$speed, $loops busy loops: $(grep '^gaps:' "$work/summary")"
        python3 "$here/clock_periods.py" "$work/$speed.csv"
    done
    stop_busy
done
