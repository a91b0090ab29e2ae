#!/usr/bin/env bash
# A real stall found: a slow simulated capture of 500000 samples is stopped (SIGSTOP) for a while
# after one second and continued. Prints the capture's summary and every place where the VCD's
# time stamps step by more than 0.1 s (the simulated clock changes every 50 us, so nothing else
# comes near that).
#
# Usage: bench/stall_check.sh [PINPROBE_CLI] [STOP_SECONDS]
set -euo pipefail
cli=${1:-build/default/cli/pinprobe-cli}
stop=${2:-0.3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$cli" capture --simulate --speed slow --size 500000 -o "$work/x.sco" --vcd "$work/x.vcd" \
    >"$work/summary" 2>/dev/null &
pid=$!
sleep 1
kill -STOP "$pid"
sleep "$stop"
kill -CONT "$pid"
wait "$pid"
cat "$work/summary"
awk '/^\$timescale/ { unit = $2; name = $3 }
     /^#/ { t = substr($0, 2) + 0
            if (seen && t - last > big)
                printf "VCD jump: #%.0f to #%.0f (%s %s units): %.6f s\n", last, t, unit, name,
                       (t - last) * unit * scale
            last = t; seen = 1 }
     BEGIN { big = -1 }
     /^\$enddefinitions/ { scale = (name == "ps") ? 1e-12 : (name == "ns") ? 1e-9 : (name == "us") ? 1e-6 : (name == "fs") ? 1e-15 : (name == "ms") ? 1e-3 : 1
                          big = 0.1 / (unit * scale) }
'  "$work/x.vcd"
awk '/^#/ { n++ } END { print n " time stamps in the VCD" }' "$work/x.vcd"
