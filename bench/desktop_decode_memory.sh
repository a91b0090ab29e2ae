#!/usr/bin/env bash
# The desktop program opening a busy recording (random levels at 1 MHz, bench/busy_uart_session.py)
# with UART at 500000 baud kept from the last run, offscreen, for a while: its peak resident
# memory. Give it the time its decode takes on this machine; it is then ended.
# Usage: bench/desktop_decode_memory.sh [pinprobe] [samples] [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."

program=$(realpath "${1:-build/default/shell/pinprobe}")
samples=${2:-3000000}
seconds=${3:-120}
command -v /usr/bin/time >/dev/null || { echo "needs /usr/bin/time (Debian package time)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 bench/busy_uart_session.py "$samples" "$work/busy.sr"
mkdir -p "$work/config/pinprobe"
printf '[decoders]\nstacks=uart:rx=error:baudrate=500000\n' >"$work/config/pinprobe/pinprobe.ini"

# timeout ends it with status 124; anything else is the program's own failure.
status=0
XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen \
  /usr/bin/time -v timeout "$seconds" "$program" "$work/busy.sr" 2>"$work/time.txt" || status=$?
if [[ $status -ne 0 && $status -ne 124 ]]; then
  echo "the desktop program failed ($status):" >&2
  tail -5 "$work/time.txt" >&2
  exit 1
fi
echo "$samples samples, $seconds s: $(grep 'Maximum resident' "$work/time.txt" | sed 's/^\s*//')"
