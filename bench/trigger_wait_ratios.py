#!/usr/bin/env python3
"""The trigger wait against the bare read loop, as ratios of medians from one run of capture_bench:
for each port and count, TriggerWaitRing / TriggerWaitBare and TriggerWaitNoRing / TriggerWaitBare
(CPU time per read), and the trigger latency on the simulated probe.

Usage: bench/trigger_wait_ratios.py [CAPTURE_BENCH] [REPETITIONS]
"""
import json
import os
import subprocess
import sys


def medians(bench, repetitions):
    run = subprocess.run(
        [bench, "--benchmark_filter=TriggerWait|TriggerLatency",
         f"--benchmark_repetitions={repetitions}", "--benchmark_report_aggregates_only=true",
         # Repetitions in random order, so that a change of the machine's load mid-run falls on
         # all of them alike.
         "--benchmark_enable_random_interleaving=true",
         "--benchmark_format=json"],
        check=True, capture_output=True, text=True)
    found = {}
    for entry in json.loads(run.stdout)["benchmarks"]:
        if entry.get("aggregate_name") == "median":
            found[entry["run_name"]] = entry
    return found


def main(bench, repetitions):
    found = medians(bench, repetitions)
    for name, bare in sorted(found.items()):
        if not name.startswith("BM_TriggerWaitBare"):
            continue
        for kind in ("Ring", "NoRing"):
            other = found.get(name.replace("Bare", kind))
            if other:
                print(f"{name.replace('BM_TriggerWaitBare', kind)}: "
                      f"{other['cpu_time'] / bare['cpu_time']:.3f} of the bare loop "
                      f"({bare['per_read'] * 1e9:.2f} ns a bare read)")
    latency = found.get("BM_TriggerLatency")
    if latency:
        print(f"latency on the simulated probe: {latency['latency_samples']:.0f} samples")


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    default = os.path.join(here, "..", "build", "default", "bench", "capture_bench")
    main(sys.argv[1] if len(sys.argv) > 1 else default,
         int(sys.argv[2]) if len(sys.argv) > 2 else 9)
