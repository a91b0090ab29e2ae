#!/usr/bin/env bash
# Side by side in one run: pinprobe-cli decoding a 500000-sample capture of the simulated probe
# in process, and sigrok-cli decoding the same samples from the sigrok session pinprobe-cli
# wrote, with the same UART decoder. Both are whole processes, start-up of the decoders'
# Python included.
# Usage: bench/decode_vs_sigrok.sh [path/to/pinprobe-cli]   (default: the default preset's)
# Needs sigrok-cli; uses hyperfine when installed (Debian packages sigrok-cli, hyperfine).
set -euo pipefail
cd "$(dirname "$0")/.."

source bench/compare_runs.sh
cli=$(realpath "${1:-build/default/cli/pinprobe-cli}")
samples=500000
runs=10
require_sigrok_cli

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The capture, its measured period (the scope file keeps none) and the same samples as a session.
period=$("$cli" capture --simulate --size "$samples" -o "$work/rec.sco" 2>/dev/null |
         awk '/^period:/ { print $2 }')
"$cli" export "$work/rec.sco" --format sr --period "$period" -o "$work/rec.sr"

ours=("$cli" decode "$work/rec.sco" --period "$period" -P uart:rx=select:baudrate=10000)
theirs=(sigrok-cli -i "$work/rec.sr" -P uart:rx=Select:baudrate=10000)

"${ours[@]}" >"$work/ours.txt"
"${theirs[@]}" >"$work/theirs.txt"
if ! cmp -s "$work/ours.txt" "$work/theirs.txt"; then
  echo "the annotations differ" >&2
  diff "$work/ours.txt" "$work/theirs.txt" | head >&2
  exit 1
fi
echo "$(wc -l <"$work/ours.txt") annotations, the same from both; sample period $period s"

compare_runs "$runs" "pinprobe-cli decode (in process)" "sigrok-cli -i x.sr -P uart"
