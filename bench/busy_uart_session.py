#!/usr/bin/env python3
"""Writes a sigrok session of random levels on every channel at 1 MHz: UART on the first
channel at 500000 baud then finds a start bit almost everywhere, so a few million samples give
millions of annotations. Usage: busy_uart_session.py SAMPLES OUT.sr"""
import random
import sys
import zipfile


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: busy_uart_session.py SAMPLES OUT.sr")
    samples = int(sys.argv[1])
    rng = random.Random(27)
    levels = bytes(rng.getrandbits(5) for _ in range(samples))
    metadata = "[global]\nsigrok version=0.5.2\n\n[device 1]\ncapturefile=logic-1\n" \
        "total probes=5\nsamplerate=1 MHz\ntotal analog=0\n" + \
        "".join(f"probe{n}=D{n - 1}\n" for n in range(1, 6)) + "unitsize=1\n"
    with zipfile.ZipFile(sys.argv[2], "w", zipfile.ZIP_DEFLATED) as out:
        out.writestr("version", "2")
        out.writestr("metadata", metadata)
        out.writestr("logic-1-1", levels)


if __name__ == "__main__":
    main()
