#!/usr/bin/env bash
# Whole-process comparison, side by side in one run: pinprobe-cli exporting a 500000-sample
# recording to VCD, and sigrok-cli converting the same sample bytes to VCD. First the CPU time a
# start costs that does nothing: pinprobe-cli --help against /bin/true. Then both exports' CPU time.
# Usage: bench/cli_export_vs_sigrok.sh [path/to/pinprobe-cli]   (default: the default preset's)
# Needs sigrok-cli; uses hyperfine when installed (Debian packages sigrok-cli, hyperfine).
set -euo pipefail
cd "$(dirname "$0")/.."

source bench/compare_runs.sh
cli=$(realpath "${1:-build/default/cli/pinprobe-cli}")
samples=500000
runs=20
require_sigrok_cli

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A recording from the simulated probe; its data chunk (after the 20-byte header, before the
# chunk of its times) is the same bytes as a raw file for sigrok's binary input.
"$cli" capture --simulate --size "$samples" -o "$work/rec.sco" >/dev/null 2>&1
head -c $((20 + samples)) "$work/rec.sco" | tail -c +21 >"$work/rec.bin"

# sigrok's binary input needs a sample rate: without one its VCD output divides by zero.
ours=("$cli" export "$work/rec.sco" --vcd -o "$work/pinprobe.vcd")
theirs=(sigrok-cli -I "binary:numchannels=8:samplerate=1000000" -i "$work/rec.bin" -O vcd
        -o "$work/sigrok.vcd")

printf '%-34s %s ms CPU per run (mean of 50)\n' "pinprobe-cli --help:" "$(cpu_ms 50 "$cli" --help)"
printf '%-34s %s ms CPU per run (mean of 50)\n' "/bin/true:" "$(cpu_ms 50 /bin/true)"
compare_runs "$runs" "pinprobe-cli export --vcd" "sigrok-cli binary -> vcd"
# On a loaded machine the wall time above is mostly waiting for a core: the CPU time tells more.
ours_cpu=$(cpu_ms "$runs" "${ours[@]}")
theirs_cpu=$(cpu_ms "$runs" "${theirs[@]}")
printf '%-34s %s ms CPU per run (mean of %d)\n' "pinprobe-cli export --vcd:" "$ours_cpu" "$runs"
printf '%-34s %s ms CPU per run (mean of %d)\n' "sigrok-cli binary -> vcd:" "$theirs_cpu" "$runs"
awk -v a="$ours_cpu" -v b="$theirs_cpu" \
  'BEGIN { if (a > 0) printf "pinprobe-cli took %.2f times less CPU\n", b / a }'
