#!/usr/bin/env python3
"""End-to-end speed and memory of plotra-convert, file to file.

Usage: convert_bench.py PLOTRA-CONVERT [SCALE]

Generates a 3D surfacing program of 1,000,000 lines and a drilling program of 100,000 holes (both times SCALE,
default 1) in a temporary folder, converts each with plotra-convert, and prints lines per second, input and
output megabytes per second and the peak resident memory of the converter, beside the time `cat` needs to
read the same input (the floor). Each figure is the best of three runs.
"""
import os
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
GENERATOR = os.path.join(HERE, "..", "examples", "generate-surfacing.py")


def write_drilling(path, holes):
    with open(path, "w") as out:
        out.write("%\nO5000 (DRILLING)\n(T7 DIA5. DRILL)\nT7 M06\nG90 G00 X0 Y0 Z20.\n")
        out.write("G99 G81 X0 Y0 Z-10. R2. F150\n")
        row = 0
        written = 0
        while written < holes:
            for column in range(200):
                if written >= holes:
                    break
                out.write("X%.3fY%.3f\n" % (column * 6.0, row * 6.0))
                written += 1
            row += 1
        out.write("G80\nG00 Z50.\nM30\n")


def lines_of(path):
    with open(path, "rb") as f:
        return sum(1 for _ in f)


def timed(command, **kwargs):
    start = time.perf_counter()
    subprocess.run(command, check=True, **kwargs)
    return time.perf_counter() - start


def measure(converter, name, nc_path, dxf_path):
    lines = lines_of(nc_path)
    in_mb = os.path.getsize(nc_path) / 1e6
    best = None
    for _ in range(3):
        elapsed = timed([converter, "-q", "-o", dxf_path, nc_path], stdout=subprocess.DEVNULL)
        best = elapsed if best is None or elapsed < best else best
    out_mb = os.path.getsize(dxf_path) / 1e6
    floor = min(timed(["cat", nc_path], stdout=subprocess.DEVNULL) for _ in range(3))
    peak = peak_memory_kib(converter, nc_path, dxf_path)
    print("%-10s %9d lines  %6.2f s  %9.0f lines/s  in %6.1f MB/s  out %6.1f MB/s  peak %6.1f MiB  (cat %.3f s)"
          % (name, lines, best, lines / best, in_mb / best, out_mb / best, peak / 1024.0, floor))


def peak_memory_kib(converter, nc_path, dxf_path):
    # The converter's own high-water mark, read from /proc while it runs: the resource usage of a child
    # started from Python would also count the interpreter's memory from before the exec.
    process = subprocess.Popen([converter, "-q", "-o", dxf_path, nc_path], stdout=subprocess.DEVNULL)
    peak = 0
    while process.poll() is None:
        try:
            with open("/proc/%d/status" % process.pid) as status:
                for line in status:
                    if line.startswith("VmHWM:"):
                        peak = max(peak, int(line.split()[1]))
        except OSError:
            pass
        time.sleep(0.01)
    return peak


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    converter = os.path.abspath(sys.argv[1])
    scale = int(sys.argv[2]) if len(sys.argv) > 2 else 1
    with tempfile.TemporaryDirectory() as work:
        surfacing = os.path.join(work, "surfacing.nc")
        with open(surfacing, "w") as out:
            subprocess.run([sys.executable, GENERATOR, str(1000000 * scale)], stdout=out, check=True)
        drilling = os.path.join(work, "drilling.nc")
        write_drilling(drilling, 100000 * scale)
        measure(converter, "surfacing", surfacing, os.path.join(work, "surfacing.dxf"))
        measure(converter, "drilling", drilling, os.path.join(work, "drilling.dxf"))


if __name__ == "__main__":
    main()
