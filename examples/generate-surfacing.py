#!/usr/bin/env python3
"""Writes a 3D surfacing program of any length to standard output.

Usage: generate-surfacing.py LINES [STEPS-PER-ROW]

The tool zigzags over a wavy surface, one move per line in the form "X12.345Y-6.789Z-1.234F1200", as CAM
systems write finishing programs. Used for benchmarks and for trying Plotra on long programs.
"""
import math
import sys


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    lines = int(sys.argv[1])
    steps = int(sys.argv[2]) if len(sys.argv) > 2 else 500
    out = sys.stdout
    out.write("%\nO4000 (SURFACING)\n(T6 DIA6. BALL END MILL)\nT6 M06\nG90 G17 G00 X0 Y0 Z10.\nG01 Z-2. F600\n")
    written = 6
    row = 0
    while written < lines - 2:
        y = row * 0.25
        for i in range(steps):
            if written >= lines - 2:
                break
            x = (i if row % 2 == 0 else steps - 1 - i) * 0.2
            z = -2.0 + math.sin(x * 0.05) * math.cos(y * 0.07)
            out.write("X%.3fY%.3fZ%.3fF1200\n" % (x, y, z))
            written += 1
        row += 1
    out.write("G00 Z50.\nM30\n")


if __name__ == "__main__":
    main()
