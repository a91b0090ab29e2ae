#!/usr/bin/env python3
"""What a capture of the simulated probe kept, from its CSV and its decoded UART lines: the steps
between samples longer than 20 us and four times the median (stalls and planned pauses alike),
their longest and their sum beyond the median step, how many "Pinprobe" messages came out whole
of those sent while it ran, and the share of clock periods within 3 us of 100 us.

The probe starts a message every 10 ms; one lasts 8.2 ms on the framing line (channel 3), so the
messages sent in a capture are those whose framing fall and 8.2 ms after it lie inside it.

Usage: bench/load_check.py CAPTURE.csv DECODED.txt
"""
import csv
import statistics
import sys

MESSAGE_PERIOD = 10e-3
MESSAGE_LENGTH = 8.2e-3
NOMINAL_US = 100.0


def read_rows(path):
    with open(path, newline="") as table:
        rows = csv.reader(table)
        next(rows)
        for row in rows:
            yield float(row[1]), row[2] == "1", row[4] == "1"


def main(csv_path, decoded_path):
    times, clock, framing = zip(*read_rows(csv_path))
    steps = [b - a for a, b in zip(times, times[1:])]
    median = statistics.median(steps)
    gaps = [s for s in steps if s > 20e-6 and s > 4 * median]
    falls = [times[i] for i in range(1, len(times)) if framing[i - 1] and not framing[i]]
    sent = 0
    if falls:
        sent = int((times[-1] - falls[0] - MESSAGE_LENGTH) // MESSAGE_PERIOD) + 1
    with open(decoded_path) as lines:
        text = "".join(line[len("uart-1: "):].rstrip("\n") for line in lines
                       if line.startswith("uart-1: "))
    whole = text.count("Pinprobe")
    rises = [times[i] for i in range(1, len(times)) if clock[i] and not clock[i - 1]]
    periods = [(b - a) * 1e6 for a, b in zip(rises, rises[1:])]
    within = sum(1 for p in periods if abs(p - NOMINAL_US) <= 3.0)
    print(f"steps over a gap: {len(gaps)}, longest {max(gaps, default=0) * 1e3:.3f} ms, "
          f"lost {sum(g - median for g in gaps) * 1e3:.3f} ms; "
          f"messages whole: {whole} of {sent} ({100.0 * whole / max(sent, 1):.1f}%); "
          f"clock periods within 3 us: {100.0 * within / max(len(periods), 1):.2f}% of "
          f"{len(periods)}")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
