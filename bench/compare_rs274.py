#!/usr/bin/env python3
"""Checks plotra-convert's drawing of canned cycles, helices and arcs in G18/G19 against LinuxCNC's rs274.

Usage: compare_rs274.py [--show N] [--keep DIR] RS274-COMMAND PLOTRA-CONVERT COUNT SEED

COUNT random programs (seeded by SEED) are run through both. Each holds G21, G17/G18/G19, G90/G91 mixed,
G98/G99, G81/G82/G83/G73/G85 blocks with X Y Z R (Q, P, F), L repeats (rows of holes under G91), G80, a move
along X after every cycle, helices (G2/G3 with the plane's centre words and a change of the normal axis, both
turnings, some full turns) and arcs in G18/G19. The programs keep to what both read alike: R and Z are written
in a cycle's first block, when the cycle code changes and when G90/G91 changes; R never lies above the tool
(the tool would first climb to R in rs274) and the hole bottom always lies below R; G91 is used in a cycle
block only while the tool stands at the initial level (rs274 takes a G91 R from the tool's Z, not from the
initial level); G99 never turns back to G98 within a cycle; an arc's end lies exactly on its circle.

Compared, with a tolerance of 1e-3 mm (rs274 prints 4 decimals):
  holes    every hole's X, Y, R level and bottom, per cycle: from rs274 the feeds of each cycle block (a hole
           starts with the feed that leaves the block's R level), from Plotra the "固定サイクル" LINEs
           (10/20/30 = X, Y, R level; 31 = bottom) found before the move that follows the cycle;
  after    the Z at which the move after each cycle starts (LINE groups 31, the start of a move);
  arcs     every helix and G18/G19 arc: start, end, distance of each vertex from the centre, the angle swept
           (turning and full turns) and the normal axis rising evenly, against Plotra's POLYLINE.
The generator also works out what the machine does; a program where rs274 differs from it is reported apart
(such a program cannot be a fair test), as is a program rs274 refuses.
Exit status: 0 when nothing differs, 1 when something does, 2 for a usage error.

Getting rs274 (Debian 12, without installing LinuxCNC):
    mkdir -p /work/rs274 && cd /work/rs274
    apt-get download linuxcnc-uspace libboost-python1.74.0
    for f in *.deb; do dpkg -x "$f" root; done
    : > tool.tbl
and a wrapper, e.g. /work/rs274/rs274.sh:
    #!/bin/sh
    R=/work/rs274/root
    LD_LIBRARY_PATH=$R/usr/lib:$R/usr/lib/x86_64-linux-gnu exec $R/usr/bin/rs274 "$@"
It is run as `rs274.sh -g -t tool.tbl PROGRAM` (-g: run without asking; an empty tool table will do) and
prints one canonical call a line, e.g. "   13 N3     STRAIGHT_FEED(10.0000, 5.0000, -3.0000, 0, 0, 0)".
An error prints its message and the block and makes the exit status non-zero. The N column is the block's N
word ("N....." without one), so every block is numbered. An arc is ARC_FEED(first end, second end, first centre,
second centre, rotation, normal end, ...) with the plane's axes in the order X Y (G17), Z X (G18), Y Z (G19);
rotation is +1 for G3, -1 for G2, and an arc that ends where it starts is a full turn. rs274 retracts to R
(G99) until told otherwise, so every cycle names G98 or G99, and it wants L, never K, as the repeat count.
Positions and centres are printed in the program's units (USE_LENGTH_UNITS) and in the coordinates of the work
system in force, less the G52/G92 shift: run_rs274 adds the last SET_G5X_OFFSET and SET_G92_OFFSET (printed in
the units of their own time) and scales to mm, so the moves it returns are in machine coordinates in mm.
"""
import argparse
import contextlib
import math
import os
import random
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

TOL = 1e-3
RAPID = "早送り"
FEED_LAYERS = ("補正無し", "補正あり")
CYCLE = "固定サイクル"


# ---------------------------------------------------------------- program generator (lengths in µm)

def num(um):
    """A length word's value with a decimal point, exact to the micrometre."""
    sign = "-" if um < 0 else ""
    whole, frac = divmod(abs(um), 1000)
    return "%s%d.%s" % (sign, whole, ("%03d" % frac).rstrip("0") if frac else "")


# Unit vectors whose multiples of 0.5 mm are whole micrometres, so an arc ends exactly on its circle.
UNITS = [(1, 0), (0, 1), (-1, 0), (0, -1)] + [(sx * a, sy * b) for a, b in ((0.6, 0.8), (0.8, 0.6))
                                                for sx in (1, -1) for sy in (1, -1)]
PLANE_AXES = {17: (0, 1, 2), 18: (0, 2, 1), 19: (1, 2, 0)}  # two plane axes and the normal
LETTERS = "XYZ"
CENTRE = "IJK"


class Generator:
    def __init__(self, rng):
        self.rng = rng
        self.lines = []
        self.n = 0
        self.pos = [0, 0, 0]
        self.absolute = True
        self.plane = 17
        self.segment = 0
        self.cycles = []  # per cycle: dict with the blocks, the move after it and what the machine does
        self.arcs = []

    def length(self, lo, hi):
        v = self.rng.uniform(lo, hi)
        return int(round(v, self.rng.choice([0, 1, 2, 3])) * 1000)

    def emit(self, words):
        self.n += 1
        self.lines.append("N%d %s" % (self.n, " ".join(w for w in words if w)))
        return self.n

    def mode_word(self, absolute):
        if absolute == self.absolute:
            return ""
        self.absolute = absolute
        return "G90" if absolute else "G91"

    def pick_mode(self, keep=0.7):
        return self.absolute if self.rng.random() < keep else not self.absolute

    def program(self):
        rng = self.rng
        self.emit(["G21 G17 G90"])
        self.pos = [self.length(-50, 50), self.length(-50, 50), self.length(10, 30)]
        self.emit(["G0", "X" + num(self.pos[0]), "Y" + num(self.pos[1]), "Z" + num(self.pos[2])])
        self.moves(1, feed=True)
        for _ in range(rng.randint(3, 9)):
            r = rng.random()
            if r < 0.45:
                self.cycle()
            elif r < 0.8:
                self.arc()
            else:
                self.moves(rng.randint(1, 2))
        self.emit(["M2"])
        return "\n".join(self.lines) + "\n"

    def moves(self, count, feed=False):
        rng = self.rng
        for i in range(count):
            absolute = self.pick_mode()
            words = [self.mode_word(absolute), "G1" if feed or rng.random() < 0.5 else "G0"]
            target = list(self.pos)
            for axis in range(3):
                if axis < 2 and rng.random() < 0.8 or axis == 2 and rng.random() < 0.4:
                    target[axis] = self.length(-60, 60) if axis < 2 else self.length(0, 30)
                    value = target[axis] if absolute else target[axis] - self.pos[axis]
                    words.append(LETTERS[axis] + num(value))
            if len(words) == 2:
                target[0] = self.pos[0] + 5000
                words.append("X" + num(target[0] if absolute else 5000))
            if feed and i == 0:
                words.append("F%d." % rng.randint(100, 900))
            self.pos = target
            self.emit(words)

    def cycle(self):
        rng = self.rng
        if self.plane != 17:
            self.emit(["G17"])
            self.plane = 17
        initial = self.pos[2]
        tool_z = initial
        retract = rng.choice([98, 99])
        code = None
        r_level = bottom = z_increment = None
        r_mode = z_mode = None
        blocks, holes = [], []
        for b in range(rng.randint(1, 4)):
            first = b == 0
            words = []
            if first:
                words.append("G%d" % retract)
            elif retract == 98 and rng.random() < 0.15:
                retract = 99  # the other way rs274 keeps the Z the block began at
                words.append("G99")
            absolute = self.pick_mode()
            if not absolute and tool_z != initial:
                absolute = True
            words.insert(0, self.mode_word(absolute))
            new_code = first or rng.random() < 0.2
            if new_code:
                code = rng.choice([81, 82, 83, 73, 85])
                words.append("G%d" % code)
            both = new_code or r_mode != absolute or z_mode != absolute
            write_r = both or rng.random() < 0.3
            write_z = both or rng.random() < 0.3
            rest = []
            if write_r:
                drop = 0 if rng.random() < 0.2 else self.length(0.5, 8)
                r_level = tool_z - drop
                rest.append("R" + num(r_level if absolute else -drop))
                r_mode = absolute
                if not absolute and z_mode is False:
                    bottom = r_level + z_increment
            if not write_z and bottom > r_level - 500:
                write_z = True
            if write_z:
                depth = self.length(0.5, 15)
                bottom = r_level - depth
                z_increment = -depth
                z_mode = absolute
                rest.insert(0, "Z" + num(bottom if absolute else -depth))
            repeats = rng.randint(2, 4) if rng.random() < 0.3 else 1
            step = [0, 0]
            xy = []
            for axis in range(2):
                if rng.random() < 0.75:
                    if absolute:
                        target = self.length(-60, 60)
                        xy.append(LETTERS[axis] + num(target))
                        step[axis] = target - self.pos[axis]
                    else:
                        step[axis] = self.length(-30, 30)
                        xy.append(LETTERS[axis] + num(step[axis]))
            if not xy and not write_z:
                step[0] = 10000 if absolute else 7500
                xy.append("X" + num(self.pos[0] + step[0] if absolute else step[0]))
            words += xy + rest
            if code in (73, 83) and (new_code or rng.random() < 0.2):
                words.append("Q" + num(self.length(0.5, 4)))
            if code == 82 and new_code:
                words.append("P0.5")
            if repeats > 1:
                words.append("L%d" % repeats)
            if first and rng.random() < 0.5:
                words.append("F%d." % rng.randint(50, 400))
            for i in range(repeats):
                if absolute:
                    if i == 0:
                        self.pos[0] += step[0]
                        self.pos[1] += step[1]
                else:
                    self.pos[0] += step[0]
                    self.pos[1] += step[1]
                holes.append((self.pos[0], self.pos[1], r_level, bottom))
            tool_z = initial if retract == 98 else r_level
            self.pos[2] = tool_z
            blocks.append(self.emit(words))
        if rng.random() < 0.6:
            self.emit(["G80"])
        absolute = self.pick_mode(0.8)
        index = len(self.cycles)
        # The move after the cycle runs along X by an amount no other move has, so it can be found.
        value = 300000 + 20000 * index + (517 if absolute else 263)
        if absolute and value == self.pos[0]:
            value += 5000  # a move of zero length draws nothing
        move = rng.choice(["G0", "G1"])
        marker = self.emit([self.mode_word(absolute), move, "X" + num(value)])
        self.pos[0] = value if absolute else self.pos[0] + value
        self.cycles.append(dict(segment=self.segment, blocks=blocks, marker=marker, move=move,
                                absolute=absolute, value=value, holes=holes, after_z=tool_z))
        self.segment += 1

    def arc(self):
        rng = self.rng
        plane = rng.choice([17, 18, 19])
        a, b, normal = PLANE_AXES[plane]
        words = []
        if plane != self.plane:
            words.append("G%d" % plane)
            self.plane = plane
        absolute = self.pick_mode()
        words.insert(0, self.mode_word(absolute))
        clockwise = rng.random() < 0.5
        words.append("G2" if clockwise else "G3")
        size = rng.choice([5, 6, 10, 15, 20, 25, 30]) * 500
        u1 = rng.choice(UNITS)
        full = rng.random() < 0.15
        u2 = (-u1[0], -u1[1]) if full else rng.choice(UNITS)
        offset = [0, 0, 0]
        offset[a], offset[b] = int(round(size * u1[0])), int(round(size * u1[1]))
        centre = [p + o for p, o in zip(self.pos, offset)]
        end = list(self.pos)
        end[a] = centre[a] + int(round(size * u2[0]))
        end[b] = centre[b] + int(round(size * u2[1]))
        if plane == 17 or rng.random() < 0.5:
            end[normal] = self.pos[normal] + rng.choice([-1, 1]) * self.length(0.5, 10)
        end_words = []
        for axis in (a, b, normal):
            same = end[axis] == self.pos[axis]
            if same and (axis == normal or full and rng.random() < 0.5 or rng.random() < 0.3):
                continue
            end_words.append(LETTERS[axis] + num(end[axis] if absolute else end[axis] - self.pos[axis]))
        words += end_words
        for axis in (a, b):
            if offset[axis] or rng.random() < 0.5:
                words.append(CENTRE[axis] + num(offset[axis]))
        n = self.emit(words)
        self.arcs.append(dict(segment=self.segment, block=n, plane=plane, start=list(self.pos), end=list(end),
                              centre=centre, clockwise=clockwise))
        self.pos = end


# ---------------------------------------------------------------- rs274

CALL = re.compile(r"^\s*\d+\s+N(\S+)\s+([A-Z0-9_]+)\((.*)\)\s*$")
PLANES = {"CANON_PLANE_XY": 17, "CANON_PLANE_XZ": 18, "CANON_PLANE_YZ": 19}


def plane_coords(plane, p):
    """(first, second, normal) in the order of rs274's ARC_FEED: XY, ZX (G18), YZ (G19)."""
    x, y, z = p
    return {17: (x, y, z), 18: (z, x, y), 19: (y, z, x)}[plane]


def from_plane(plane, f, s, n):
    return {17: (f, s, n), 18: (s, n, f), 19: (n, f, s)}[plane]


def run_rs274(command, tool_table, path):
    """The moves rs274 makes in machine coordinates in mm, as (block number, kind, start, end, arc or None);
    or an error text."""
    proc = subprocess.run(command + ["-g", "-t", tool_table, path], stdin=subprocess.DEVNULL,
                          capture_output=True, text=True, errors="replace", timeout=60)
    moves, other = [], []
    pos, plane = (0.0, 0.0, 0.0), 17
    scale, work, shift = 1.0, (0.0, 0.0, 0.0), (0.0, 0.0, 0.0)

    def machine(p):
        return tuple(scale * v + w + g for v, w, g in zip(p, work, shift))

    for line in proc.stdout.splitlines():
        m = CALL.match(line)
        if not m:
            if line.strip() and line.strip() != "executing":
                other.append(line.strip())
            continue
        block, name, args = m.group(1), m.group(2), [a.strip() for a in m.group(3).split(",")]
        block = int(block) if block.isdigit() else None
        if name == "SELECT_PLANE":
            plane = PLANES[args[0]]
        elif name == "USE_LENGTH_UNITS":
            scale = 25.4 if args[0] == "CANON_UNITS_INCHES" else 1.0
        elif name == "SET_G5X_OFFSET":
            work = tuple(scale * float(v) for v in args[1:4])
        elif name == "SET_G92_OFFSET":
            shift = tuple(scale * float(v) for v in args[:3])
        elif name in ("STRAIGHT_TRAVERSE", "STRAIGHT_FEED"):
            end = machine(float(v) for v in args[:3])
            moves.append((block, name, pos, end, None))
            pos = end
        elif name == "ARC_FEED":
            f, s, cf, cs, rotation, n = (float(v) for v in args[:6])
            end = machine(from_plane(plane, f, s, n))
            origin = plane_coords(plane, machine((0.0, 0.0, 0.0)))
            centre = (scale * cf + origin[0], scale * cs + origin[1])
            moves.append((block, name, pos, end, dict(plane=plane, centre=centre, rotation=int(rotation))))
            pos = end
    if proc.returncode != 0 or other and not moves:
        return None, "\n".join(other + proc.stderr.splitlines()) or "exit status %d" % proc.returncode
    return moves, None


def block_holes(moves):
    """Holes of one cycle block: a hole begins with the feed that leaves the block's R level."""
    downs = [m for m in moves if m[1] == "STRAIGHT_FEED" and m[3][2] < m[2][2]]
    if not downs:
        return []
    r_level = max(m[2][2] for m in downs)
    holes = []
    for m in moves:
        if m[1] != "STRAIGHT_FEED":
            continue
        start, end = m[2], m[3]
        if end[2] < start[2] and abs(start[2] - r_level) < 1e-6:
            holes.append([end[0], end[1], r_level, end[2]])
        elif holes:
            holes[-1][3] = min(holes[-1][3], end[2])
    return [tuple(h) for h in holes]


def sweep_of(rotation, start, end, centre):
    """Signed angle an rs274 arc turns through, in radians; an arc that ends where it starts is a full turn."""
    a0 = math.atan2(start[1] - centre[1], start[0] - centre[0])
    a1 = math.atan2(end[1] - centre[1], end[0] - centre[0])
    turns = abs(rotation) - 1
    if math.dist(start[:2], end[:2]) < 1e-6:
        d = 2 * math.pi
    else:
        d = ((a1 - a0) if rotation > 0 else (a0 - a1)) % (2 * math.pi)
    d += 2 * math.pi * turns
    return d if rotation > 0 else -d


# ---------------------------------------------------------------- Plotra's DXF

def read_dxf(path):
    """Entities of the ENTITIES section in file order: dicts with type, layer, group values, vertices."""
    with open(path, "rb") as f:
        text = f.read().decode("cp932", errors="replace")
    lines = text.splitlines()
    pairs = [(lines[i].strip(), lines[i + 1].strip()) for i in range(0, len(lines) - 1, 2)]
    entities, current, section, expect_name = [], None, None, False
    for code, value in pairs:
        if code == "0":
            if value == "SECTION":
                expect_name = True
            elif value == "ENDSEC":
                section = None
            current = None
            if section == "ENTITIES":
                if value == "VERTEX" and entities and entities[-1]["type"] == "POLYLINE":
                    current = {"type": "VERTEX"}
                    entities[-1]["vertices"].append(current)
                elif value != "SEQEND":
                    current = {"type": value, "vertices": []}
                    entities.append(current)
            continue
        if expect_name and code == "2":
            section, expect_name = value, False
            continue
        if current is not None:
            if code == "8":
                current["layer"] = value
            else:
                try:
                    current[int(code)] = float(value)
                except ValueError:
                    current[int(code) if code.isdigit() else code] = value
    return entities


def line_points(e):
    """(start, end) of the move a LINE stands for: groups 11/21/31 are its start, 10/20/30 its end."""
    return (e.get(11, 0.0), e.get(21, 0.0), e.get(31, 0.0)), (e.get(10, 0.0), e.get(20, 0.0), e.get(30, 0.0))


def find_marker(entities, begin, cycle):
    layers = (RAPID,) if cycle["move"] == "G0" else FEED_LAYERS
    want = cycle["value"] / 1000.0
    for i in range(begin, len(entities)):
        e = entities[i]
        if e["type"] != "LINE" or e.get("layer") not in layers:
            continue
        start, end = line_points(e)
        if abs(start[1] - end[1]) > TOL or abs(start[2] - end[2]) > TOL:
            continue
        moved = end[0] if cycle["absolute"] else end[0] - start[0]
        if abs(moved - want) <= TOL:
            return i
    return None


# ---------------------------------------------------------------- comparison

def fmt(p):
    return "(" + ", ".join("%.4f" % v for v in p) + ")"


def close(p, q):
    return all(abs(a - b) <= TOL for a, b in zip(p, q))


def check_polyline(arc, poly):
    """What differs between an rs274 arc and a Plotra POLYLINE, as a list of texts."""
    plane, centre = arc["plane"], arc["centre"]
    start, end = plane_coords(plane, arc["start"]), plane_coords(plane, arc["end"])
    radius = math.dist(start[:2], centre)
    points = [plane_coords(plane, (v.get(10, 0.0), v.get(20, 0.0), v.get(30, 0.0))) for v in poly["vertices"]]
    problems = []
    if len(points) < 2:
        return ["polyline of %d vertices" % len(points)]
    if not close(points[0], start):
        problems.append("starts at %s, rs274 %s" % (fmt(from_plane(plane, *points[0])), fmt(arc["start"])))
    if not close(points[-1], end):
        problems.append("ends at %s, rs274 %s" % (fmt(from_plane(plane, *points[-1])), fmt(arc["end"])))
    worst = max(abs(math.dist(p[:2], centre) - radius) for p in points)
    if worst > TOL:
        problems.append("a vertex lies %.4f off the circle of radius %.4f" % (worst, radius))
    want = sweep_of(arc["rotation"], start, end, centre)
    turned, angles = 0.0, [0.0]
    for p, q in zip(points, points[1:]):
        step = math.atan2(q[1] - centre[1], q[0] - centre[0]) - math.atan2(p[1] - centre[1], p[0] - centre[0])
        step = (step + math.pi) % (2 * math.pi) - math.pi
        turned += step
        angles.append(turned)
    if abs(turned - want) * max(radius, 1.0) > TOL:
        problems.append("turns %.2f°, rs274 %.2f°" % (math.degrees(turned), math.degrees(want)))
    elif abs(want) > 1e-9:
        rise = max(abs(p[2] - (start[2] + (end[2] - start[2]) * t / want)) for p, t in zip(points, angles))
        if rise > TOL:
            problems.append("the normal axis strays %.4f from an even rise" % rise)
    return problems


class Comparison:
    def __init__(self, rs274, plotra, workdir):
        self.rs274, self.plotra, self.workdir = rs274, plotra, workdir
        self.tool_table = os.path.join(workdir, "tool.tbl")
        open(self.tool_table, "w").close()
        self.programs = self.holes = self.cycles = self.arcs = 0
        self.refused, self.unfair = [], []
        self.differences = []  # (program index, text)
        self.kinds = {}

    def differ(self, index, kind, text):
        self.differences.append((index, "%s: %s" % (kind, text)))
        self.kinds[kind] = self.kinds.get(kind, 0) + 1

    def run(self, index, gen, text):
        nc = os.path.join(self.workdir, "prog%d.nc" % index)
        dxf = os.path.join(self.workdir, "prog%d.dxf" % index)
        with open(nc, "w") as f:
            f.write(text)
        moves, error = run_rs274(self.rs274, self.tool_table, nc)
        if moves is None:
            self.refused.append((index, error))
            return
        by_block = {}
        for m in moves:
            by_block.setdefault(m[0], []).append(m)
        self.expectations(index, gen, by_block)
        self.programs += 1

        if os.path.exists(dxf):
            os.remove(dxf)
        proc = subprocess.run([self.plotra, "-q", "-o", dxf, nc], capture_output=True, timeout=60)
        if proc.returncode != 0 or not os.path.exists(dxf):
            self.differ(index, "plotra", "exit status %d: %s" % (proc.returncode,
                                                                   proc.stderr.decode(errors="replace").strip()))
            return
        entities = read_dxf(dxf)

        # Segments of the drawing: what comes before the move that follows each cycle.
        bounds, begin = [], 0
        for k, cycle in enumerate(gen.cycles):
            found = find_marker(entities, begin, cycle)
            if found is None:
                self.differ(index, "after", "cycle %d (N%d): no %s along X by %s found in the drawing"
                            % (k + 1, cycle["blocks"][0], cycle["move"], num(cycle["value"])))
                bounds.append((begin, begin, None))
                continue
            bounds.append((begin, found, found))
            begin = found + 1
        bounds.append((begin, len(entities), None))

        for k, cycle in enumerate(gen.cycles):
            lo, hi, marker = bounds[k]
            want = [h for b in cycle["blocks"] for h in block_holes(by_block.get(b, []))]
            got = [(e.get(10, 0.0), e.get(20, 0.0), e.get(30, 0.0), e.get(31, 0.0)) for e in entities[lo:hi]
                   if e["type"] == "LINE" and e.get("layer") == CYCLE]
            self.holes += len(want)
            self.cycles += 1
            where = "cycle %d (N%d-N%d)" % (k + 1, cycle["blocks"][0], cycle["blocks"][-1])
            if len(got) != len(want):
                self.differ(index, "holes", "%s: %d holes, rs274 %d" % (where, len(got), len(want)))
            for i, (g, w) in enumerate(zip(got, want)):
                if not close(g, w):
                    self.differ(index, "holes", "%s hole %d: X Y R bottom %s, rs274 %s" % (where, i + 1, fmt(g), fmt(w)))
            after = by_block.get(cycle["marker"])
            if marker is not None and after:
                z = line_points(entities[marker])[0][2]
                if abs(z - after[0][2][2]) > TOL:
                    self.differ(index, "after", "N%d after %s starts at Z %.4f, rs274 %.4f"
                                % (cycle["marker"], where, z, after[0][2][2]))

        polys_by_segment = {}
        for s, (lo, hi, _) in enumerate(bounds):
            polys_by_segment[s] = [e for e in entities[lo:hi] if e["type"] == "POLYLINE"]
        arcs_by_segment = {}
        for arc in gen.arcs:
            calls = [m for m in by_block.get(arc["block"], []) if m[1] == "ARC_FEED"]
            if not calls:
                continue
            m = calls[0]
            arcs_by_segment.setdefault(arc["segment"], []).append(
                dict(block=arc["block"], start=m[2], end=m[3], **m[4]))
        for s in sorted(set(arcs_by_segment) | set(polys_by_segment)):
            arcs, polys = arcs_by_segment.get(s, []), list(polys_by_segment.get(s, []))
            self.arcs += len(arcs)
            if len(arcs) == len(polys):
                pairs = list(zip(arcs, polys))
                polys = []
            else:
                pairs = []
                for arc in arcs:
                    first = plane_coords(arc["plane"], arc["start"])
                    match = next((p for p in polys if p["vertices"] and close(
                        plane_coords(arc["plane"], (p["vertices"][0].get(10, 0.0), p["vertices"][0].get(20, 0.0),
                                                    p["vertices"][0].get(30, 0.0))), first)), None)
                    if match is None:
                        self.differ(index, "arcs", "N%d G%d arc to %s: no POLYLINE starts at %s"
                                    % (arc["block"], arc["plane"], fmt(arc["end"]), fmt(arc["start"])))
                        continue
                    polys.remove(match)
                    pairs.append((arc, match))
            for arc, poly in pairs:
                problems = check_polyline(arc, poly)
                if problems:
                    self.differ(index, "arcs", "N%d G%d arc: %s" % (arc["block"], arc["plane"], "; ".join(problems)))
            for poly in polys:
                v = poly["vertices"]
                self.differ(index, "arcs", "a POLYLINE rs274 has no arc for, from %s" % (
                    fmt((v[0].get(10, 0.0), v[0].get(20, 0.0), v[0].get(30, 0.0))) if v else "()"))

    def expectations(self, index, gen, by_block):
        """rs274 against what the generator meant: a mismatch means the program is no fair test."""
        notes = []
        for k, cycle in enumerate(gen.cycles):
            got = [h for b in cycle["blocks"] for h in block_holes(by_block.get(b, []))]
            want = [tuple(v / 1000.0 for v in h) for h in cycle["holes"]]
            if len(got) != len(want) or not all(close(g, w) for g, w in zip(got, want)):
                notes.append("cycle %d holes %s, meant %s" % (k + 1, [fmt(h) for h in got], [fmt(h) for h in want]))
            after = by_block.get(cycle["marker"])
            if not after or abs(after[0][2][2] - cycle["after_z"] / 1000.0) > TOL:
                notes.append("after cycle %d: Z %s, meant %s" % (k + 1, after and after[0][2][2], num(cycle["after_z"])))
        for arc in gen.arcs:
            calls = [m for m in by_block.get(arc["block"], []) if m[1] == "ARC_FEED"]
            if not calls or not close(calls[0][3], [v / 1000.0 for v in arc["end"]]):
                notes.append("N%d: arc %s, meant to end at %s" % (arc["block"], calls and fmt(calls[0][3]), arc["end"]))
            else:
                centre = plane_coords(arc["plane"], [v / 1000.0 for v in arc["centre"]])[:2]
                if not close(calls[0][4]["centre"], centre) or (calls[0][4]["rotation"] < 0) != arc["clockwise"]:
                    notes.append("N%d: centre or turning differs from what was meant" % arc["block"])
        if notes:
            self.unfair.append((index, notes))


def common_arguments(parser):
    """The arguments every comparison takes: the two programs, how many programs from which seed, --keep."""
    parser.add_argument("rs274", metavar="RS274-COMMAND", help="rs274, or a wrapper that sets LD_LIBRARY_PATH")
    parser.add_argument("plotra", metavar="PLOTRA-CONVERT")
    parser.add_argument("count", metavar="COUNT", type=int)
    parser.add_argument("seed", metavar="SEED", type=int)
    parser.add_argument("--keep", metavar="DIR", help="keep the programs and drawings in DIR")
    return parser


@contextlib.contextmanager
def work_folder(keep, prefix):
    """The folder for the programs and drawings: DIR when kept, else a temporary one removed afterwards."""
    workdir = keep or tempfile.mkdtemp(prefix=prefix)
    os.makedirs(workdir, exist_ok=True)
    try:
        yield workdir
    finally:
        if not keep:
            shutil.rmtree(workdir, ignore_errors=True)


def run_generated(args, name, comparison_class, generator_class):
    """Runs args.count programs of generator_class through a comparison_class in a work folder named after
    the script; returns the comparison and the program texts by index."""
    texts = {}
    with work_folder(args.keep, name + ".") as workdir:
        comparison = comparison_class(shlex.split(args.rs274), os.path.abspath(args.plotra), workdir)
        for index in range(args.count):
            gen = generator_class(random.Random("%d/%d" % (args.seed, index)))
            texts[index] = gen.program()
            comparison.run(index, gen, texts[index])
    return comparison, texts


def main():
    parser = common_arguments(argparse.ArgumentParser(description=__doc__.split("\n")[0]))
    parser.add_argument("--show", type=int, default=6, help="differences to print in full (default 6)")
    args = parser.parse_args()

    try:
        comparison, texts = run_generated(args, "compare_rs274", Comparison, Generator)
    except OSError as e:
        print("compare_rs274.py: %s" % e, file=sys.stderr)
        return 2

    c = comparison
    print("programs compared: %d of %d (rs274 refused %d; rs274 not as the generator meant: %d)"
          % (c.programs, args.count, len(c.refused), len(c.unfair)))
    print("holes: %d in %d cycles; helices and G18/G19 arcs: %d" % (c.holes, c.cycles, c.arcs))
    print("differences: %d%s" % (len(c.differences), "" if not c.kinds else " (" + ", ".join(
        "%s %d" % kv for kv in sorted(c.kinds.items())) + ")"))
    for index, error in c.refused[:3]:
        print("\n--- program %d refused by rs274:\n%s\n%s" % (index, error, texts[index]), end="")
    for index, notes in c.unfair[:3]:
        print("\n--- program %d: rs274 differs from the generator:\n  %s\n%s" % (index, "\n  ".join(notes), texts[index]),
              end="")
    shown = set()
    for index, text in c.differences[:args.show]:
        print("\n--- program %d: %s" % (index, text))
        if index not in shown and len(shown) < 3:
            shown.add(index)
            print(texts[index], end="")
    return 1 if c.differences or c.refused or c.unfair else 0


if __name__ == "__main__":
    sys.exit(main())
