#!/usr/bin/env python3
"""What a capture of the simulated probe kept, from its CSV and its decoded UART lines: the gaps
between samples (stalls and planned pauses alike, by the capture's own rule), their longest and
their sum beyond the median step, and how many "Pinprobe" messages came out whole of those sent
while it ran. The probe starts a message every 10 ms; one lasts 8.2 ms on the framing line
(channel 3), so those sent are the ones whose framing fall and 8.2 ms after it lie inside it.

Usage: bench/load_check.py CAPTURE.csv DECODED.txt
"""
import statistics
import sys

from clock_periods import gap_steps, read_rows

MESSAGE_PERIOD = 10e-3
MESSAGE_LENGTH = 8.2e-3


def main(csv_path, decoded_path):
    times, framing = zip(*read_rows(csv_path, channel=3))
    steps, is_gap = gap_steps(times)
    median = statistics.median(steps)
    gaps = [s for s, gap in zip(steps, is_gap) if gap]
    falls = [times[i] for i in range(1, len(times)) if framing[i - 1] and not framing[i]]
    sent = int((times[-1] - falls[0] - MESSAGE_LENGTH) // MESSAGE_PERIOD) + 1 if falls else 0
    with open(decoded_path) as lines:
        text = "".join(line[len("uart-1: "):].rstrip("\n") for line in lines
                       if line.startswith("uart-1: "))
    whole = text.count("Pinprobe")
    print(f"gaps: {len(gaps)}, longest {max(gaps, default=0) * 1e3:.3f} ms, "
          f"lost {sum(g - median for g in gaps) * 1e3:.3f} ms; "
          f"messages whole: {whole} of {sent} ({100.0 * whole / max(sent, 1):.1f}%)")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
