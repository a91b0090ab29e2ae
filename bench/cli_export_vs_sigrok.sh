#!/usr/bin/env bash
# Whole-process comparison, side by side in one run: pinprobe-cli exporting a 500000-sample
# recording to VCD, and sigrok-cli converting the same sample bytes to VCD.
# Usage: bench/cli_export_vs_sigrok.sh [path/to/pinprobe-cli]   (default: the default preset's)
# Needs sigrok-cli; uses hyperfine when installed (Debian packages sigrok-cli, hyperfine).
set -euo pipefail
cd "$(dirname "$0")/.."

cli=$(realpath "${1:-build/default/cli/pinprobe-cli}")
samples=500000
runs=20

if ! command -v sigrok-cli >/dev/null; then
  echo "sigrok-cli is missing: apt-get install sigrok-cli" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A recording from the simulated probe; its data chunk (after the 20-byte header, no pad byte
# for an even count) is the same bytes as a raw file for sigrok's binary input.
"$cli" capture --simulate --size "$samples" -o "$work/rec.sco" >/dev/null 2>&1
tail -c +21 "$work/rec.sco" | head -c "$samples" >"$work/rec.bin"

# sigrok's binary input needs a sample rate: without one its VCD output divides by zero.
ours=("$cli" export "$work/rec.sco" --vcd -o "$work/pinprobe.vcd")
theirs=(sigrok-cli -I "binary:numchannels=8:samplerate=1000000" -i "$work/rec.bin" -O vcd
        -o "$work/sigrok.vcd")

if command -v hyperfine >/dev/null; then
  hyperfine --shell=none --warmup 3 --runs "$runs" \
    --command-name "pinprobe-cli export --vcd" "${ours[*]}" \
    --command-name "sigrok-cli binary -> vcd" "${theirs[*]}"
  exit 0
fi

# Without hyperfine: the mean of a loop of runs of each, timed by the shell.
mean_us() {
  local start end
  start=$(date +%s%N)
  for _ in $(seq "$runs"); do "$@" >/dev/null; done
  end=$(date +%s%N)
  echo $(((end - start) / runs / 1000))
}
"${ours[@]}" >/dev/null
"${theirs[@]}" >/dev/null
ours_us=$(mean_us "${ours[@]}")
theirs_us=$(mean_us "${theirs[@]}")
awk -v a="$ours_us" -v b="$theirs_us" -v n="$runs" 'BEGIN {
  printf "pinprobe-cli export --vcd:  %.1f ms per run (mean of %d)\n", a / 1000, n
  printf "sigrok-cli binary -> vcd:   %.1f ms per run (mean of %d)\n", b / 1000, n
  if (a > 0) printf "pinprobe-cli ran %.1f times as fast\n", b / a
}'
