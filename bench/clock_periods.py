#!/usr/bin/env python3
"""Measures the simulated probe's 10 kHz clock (channel 1) between its rising edges in a CSV that
`pinprobe-cli capture --simulate --csv` wrote, as a user checking the capture's times would.

Periods that span a gap (a step between two samples of more than 20 us and four times the
median step, as the capture's own rule has it) are left out: their length holds the gap.

Usage: bench/clock_periods.py CAPTURE.csv
"""
import csv
import statistics
import sys

NOMINAL_US = 100.0


def read_rows(path, channel=1):
    """Each sample's time and the level of `channel` (1 to 5)."""
    with open(path, newline="") as table:
        rows = csv.reader(table)
        next(rows)
        for row in rows:
            yield float(row[1]), row[1 + channel] == "1"


def gap_steps(times):
    """The steps between samples, and whether each is a gap by the capture's own rule."""
    steps = [b - a for a, b in zip(times, times[1:])]
    median_step = statistics.median(steps)
    return steps, [s > 20e-6 and s > 4 * median_step for s in steps]


def main(path):
    times, levels = zip(*read_rows(path))
    steps, gaps = gap_steps(times)
    gap_before = [False] + gaps
    periods, left_out, last_rise, gap_since = [], 0, None, False
    for i in range(1, len(times)):
        gap_since = gap_since or gap_before[i]
        if levels[i] and not levels[i - 1]:
            if last_rise is not None:
                if gap_since:
                    left_out += 1
                else:
                    periods.append((times[i] - last_rise) * 1e6)
            last_rise, gap_since = times[i], False
    within = sum(1 for p in periods if abs(p - NOMINAL_US) <= 3.0)
    print(f"{path}: {len(periods)} periods without a gap ({left_out} across gaps left out), "
          f"{100.0 * within / len(periods):.2f}% within 3 us of 100 us, "
          f"median {statistics.median(periods):.3f} us, "
          f"range {min(periods):.3f} to {max(periods):.3f} us, "
          f"{sum(gap_before)} gaps")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
