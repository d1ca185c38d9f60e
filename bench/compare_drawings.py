#!/usr/bin/env python3
"""Converts NC programs with two builds of plotra-convert and checks that they give the same drawing bytes,
the same exit status and messages, and the same report up to the list of codes not drawn ("作図していないコード"),
which the newer build may list differently.

Usage: compare_drawings.py OLD-CONVERTER NEW-CONVERTER COUNT SEED [NC-FILE...]

Besides the NC files given, COUNT random programs (seeded by SEED) are generated: straight moves, flat arcs of
G17 with centre words, compensation, G91, G92, comments right after a line's last word or on a line of their
own, long lines and codes that are listed as not drawn. Nothing is generated that the builds may draw apart:
no canned cycles, helices or arcs of G18 and G19, no line in G02/G03 mode without an axis or centre word (all
drawn anew since; bench/compare_rs274.py checks them against LinuxCNC), no lower case, no comments between
words or after a blank (the older build read words out of those), no tabs or blanks after a letter, no ":",
no ";" after words, no "/", no word cut by the end of a piece, no M97 and no M30 but as the last block (the
older build ran on after it). R appears only beside a centre word of the plane, where it has always been
ignored, so every program must convert alike with both builds. No macros, units or coordinate systems either
(G20, G10, G28, G52, G65, G66, G68, G51.1, G16, #): those programs are drawn anew since.
"""
import os
import random
import shutil
import subprocess
import sys
import tempfile

HEADING = "作図していないコード"


def word_value(rng):
    v = rng.uniform(-100, 100)
    style = rng.random()
    if style < 0.5:
        return "%.3f" % v
    if style < 0.7:
        return str(int(v * 1000))  # thousandths
    if style < 0.85:
        return "%.1f" % v
    return "%.0f." % v


def random_line(rng):
    r = rng.random()
    coords = lambda letters: " ".join(l + word_value(rng) for l in letters if rng.random() < 0.7)
    if r < 0.25:
        return "G%02d %s" % (rng.choice([0, 1]), coords("XYZ")) + (" F%d" % rng.randint(0, 3000) if rng.random() < 0.3 else "")
    if r < 0.55:
        centre = coords("IJ")
        line = "G17 G0%d X%s %s %s" % (rng.choice([2, 3]), word_value(rng), coords("Y"), centre)
        # R beside a centre word of the plane is ignored.
        if centre and rng.random() < 0.2:
            line += " I%s R%s" % (word_value(rng), word_value(rng))
        # The lines after an arc are read in G01 mode: a line without axis words no longer draws in G02/G03.
        return line + "\nG01"
    if r < 0.6:
        return "G80"
    if r < 0.65:
        return "G%d D%d %s" % (rng.choice([40, 41, 42]), rng.randint(0, 20), coords("XY"))
    if r < 0.7:
        return "(T%d DIA%s)" % (rng.randint(1, 9), word_value(rng))
    if r < 0.73:
        return "T%d M06" % rng.randint(1, 9)
    if r < 0.76:
        return rng.choice(["G91", "G90"]) + " " + coords("XYZ")
    if r < 0.78:
        return "G92 " + coords("XYZ")
    if r < 0.83:  # listed as not drawn, but drawn as before
        return "G01 X1. E5 Y2."
    if r < 0.86:
        return coords("XYZ") + "(COMMENT %d)" % rng.randint(0, 99)
    if r < 0.88:
        head = "N%d %s" % (rng.randint(1, 9999), coords("XY"))
        pad = rng.randint(0, 300)
        # A word that the 255-byte piece boundary cuts is read apart: the older build took a letter at the end
        # of a piece as a word of value 0.
        if len(head) + pad < 255 < len(head) + pad + len("G01 X1."):
            pad = 255 - len(head)
        return head + " " * pad + "G01 X1."
    if r < 0.9:
        return rng.choice(["%", "", "   ", "; note", "M08", "S1200 M03"])
    return coords("XYZ")


def convert(exe, nc, dxf):
    p = subprocess.run([exe, "-q", "-o", dxf, nc], capture_output=True)
    return p.returncode, p.stdout.decode("utf-8", "replace"), p.stderr


def strip_undrawn(text):
    lines = text.split("\n")
    if HEADING in lines:
        i = lines.index(HEADING)
        tail = lines[i + 1:]
        assert all(l.startswith("    ") or l == "" for l in tail), tail
        return "\n".join(lines[:i]) + ("\n" if text.endswith("\n") else ""), True
    return text, False


def main():
    old, new, count, seed = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
    files = list(sys.argv[5:])
    tmp = tempfile.mkdtemp(prefix="plotra-compare-")
    rng = random.Random(seed)
    for n in range(count):
        path = os.path.join(tmp, "gen%04d.nc" % n)
        with open(path, "w") as f:
            lines = [random_line(rng) for _ in range(rng.randint(5, 400))]
            f.write("\n".join(lines + rng.choice([[], ["M30"], ["M30", "%"]])) + "\n")
        files.append(path)
    same = listed = 0
    for nc in files:
        a = convert(old, nc, os.path.join(tmp, "old.dxf"))
        b = convert(new, nc, os.path.join(tmp, "new.dxf"))
        da = open(os.path.join(tmp, "old.dxf"), "rb").read()
        db = open(os.path.join(tmp, "new.dxf"), "rb").read()
        old_report = strip_undrawn(a[1])[0]
        report, had = strip_undrawn(b[1])
        listed += had
        if da != db or a[0] != b[0] or old_report != report or a[2] != b[2]:
            print("DIFFERS:", nc, da == db, a[0], b[0], old_report == report)
            continue
        same += 1
    print("%d of %d programs alike (%d with a list of codes not drawn)" % (same, len(files), listed))
    shutil.rmtree(tmp)
    sys.exit(0 if same == len(files) else 1)


if __name__ == "__main__":
    main()
