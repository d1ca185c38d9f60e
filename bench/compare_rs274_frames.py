#!/usr/bin/env python3
"""Checks plotra-convert's drawing of units and work coordinate systems against LinuxCNC's rs274.

Usage: compare_rs274_frames.py [--show N] [--keep DIR] RS274-COMMAND PLOTRA-CONVERT COUNT SEED

COUNT random programs (seeded by SEED) are run through both (see compare_rs274.py for getting rs274). Each holds
G20/G21 switches (alone, or in a block with a move), G10 L2 P1-P6 with X Y Z, G54-G59, G52 (a shift, a partial
zero or all axes 0), G0 G53 moves, G28/G30 with an intermediate point under G90 or G91, and between them G00/G01
moves under G90/G91 and G17 arcs (I J, R, full turns, helices). One text is read by both. Every length is a
whole multiple of 0.005 inch = 0.127 mm, so it has at most three decimals in either unit and rs274's four
printed decimals are exact after any change of units.

rs274 prints positions in the program's units, from the origin of the work system in force moved by the G52
shift (LinuxCNC keeps G52 in its G92 registers); run_rs274 turns them into machine coordinates in mm, adding
the SET_G5X_OFFSET and SET_G92_OFFSET it printed last and scaling inches by 25.4. Plotra draws in the
coordinates of G54, so a machine point m is drawn at m - offset(G54), with offset(G54) as it stands at that
block. rs274 prints an offset only for the system in force, so offset(G54) comes from the generator, which
writes every G10 L2 P1 itself. The generator also works out the moves itself; a program where rs274 differs
from it is reported apart (it cannot be a fair test), as is a program rs274 refuses.

Compared, in the order drawn: the start and end of every straight move (the start shows where G28/G30 left
the tool), whether it is a rapid or a feed, and an arc's start, centre, radius, turning, end and Z (a helix: the
ends of its POLYLINE), within 0.0011 mm; a difference is reported with its block's N number. Moves of zero
length are left out on both sides. The codes Plotra lists as not drawn are counted. --keep DIR keeps progN.nc
and progN.dxf. Exit status: 0 when nothing differs, 1 when something does, 2 for a usage error. Run one
comparison at a time: two rs274 running at once crash each other, which shows as programs rs274 refused.

Where LinuxCNC reads the same words otherwise, and what the programs do about it:
  G10 L2 G91  LinuxCNC sets the offset to the words under G91 too; Fanuc adds them: G10 is written under G90.
  G10 L2 P0   LinuxCNC's P0 is the system in force, Fanuc's the external offset: P0 is not written, nor R
              (LinuxCNC's rotation of a system).
  G53         rs274 refuses G53 under G91 and moves at the modal G0/G1: written as `G0 G53` under G90.
  G28 G30     rs274 prints the return from the intermediate point to the reference point (machine 0 while
              #5161-#5163 and #5181-#5183 are unset) as a traverse; Plotra draws the intermediate move only and
              starts the next move at the reference point: the last traverse of such a block is left out.
  G54 offset  when G10 L2 P1 changes G54's offset, the machine stays put in LinuxCNC and the program position
              changes; Plotra moves its drawing frame and keeps the drawn tool and the program position. The
              next motion is therefore a G90 move naming X, Y and Z (its start is not compared), before any
              arc, G53 or G28/G30.
"""
import argparse
import math
import os
import subprocess
import sys

from compare_rs274 import UNITS, common_arguments, fmt, num, read_dxf, run_generated, run_rs274
from compare_rs274_macros import HEADING, close, describe, first_difference, plotra_moves

TICK_MM = 0.127
TICK_WORD = {False: 127, True: 5}  # one tick in thousandths of a millimetre or of an inch
LETTERS = "XYZ"
SYSTEMS = range(1, 7)  # G54..G59 are G10 L2 P1..P6


class Generator:
    """Writes one program and works out its moves, all lengths in ticks of 0.127 mm."""

    def __init__(self, rng):
        self.rng = rng
        self.lines, self.n = [], 0
        self.inch, self.absolute = False, True
        self.system = 1
        self.offsets = {n: [0, 0, 0] for n in SYSTEMS}
        self.shift = [0, 0, 0]
        self.machine = [0, 0, 0]
        self.frame_moved = False  # G54's offset changed since the last move
        self.moved_under = [0, 0, 0]  # G54's offset at the last move: Plotra's tool is drawn in its frame
        self.meant = []           # the moves in G54's coordinates, in mm
        self.g54 = {}             # block number -> G54's offset in force
        self.returns = set()      # blocks of G28/G30
        self.restarts = set()     # blocks of the first move after G54's offset changed

    # -------------------------------------------------------------- state

    def program_position(self):
        return [m - o - s for m, o, s in zip(self.machine, self.offsets[self.system], self.shift)]

    def to_machine(self, program_point):
        return [p + o + s for p, o, s in zip(program_point, self.offsets[self.system], self.shift)]

    def drawn(self, machine_point):
        return tuple((m - o) * TICK_MM for m, o in zip(machine_point, self.offsets[1]))

    def word(self, letter, ticks):
        return letter + num(ticks * TICK_WORD[self.inch])

    def emit(self, words):
        self.n += 1
        self.lines.append("N%d %s" % (self.n, " ".join(w for w in words if w)))
        self.g54[self.n] = list(self.offsets[1])
        return self.n

    def move_to(self, kind, target, block):
        start, end = self.drawn(self.machine), self.drawn(target)
        if math.dist(start, end) >= 0.0005:
            self.meant.append(dict(kind=kind, start=start, end=end, block=block))
        self.machine = list(target)
        self.moved_under = list(self.offsets[1])

    # -------------------------------------------------------------- blocks

    def program(self):
        rng = self.rng
        self.inch = rng.random() < 0.3
        self.emit(["G20" if self.inch else "G21", "G17 G90 G54 F300."])
        blocks = [(self.straight, 30), (self.arc, 16), (self.units, 8), (self.set_offset, 12),
                  (self.select, 10), (self.local_shift, 8), (self.machine_move, 6), (self.reference, 6)]
        motions = (self.straight, self.arc, self.machine_move, self.reference)
        for _ in range(rng.randint(12, 30)):
            block = rng.choices([b for b, _ in blocks], [w for _, w in blocks])[0]
            if self.frame_moved and block in motions:
                block = self.straight
            block()
        self.emit(["M2"])
        return "\n".join(self.lines) + "\n"

    def mode_word(self, absolute):
        if absolute == self.absolute:
            return ""
        self.absolute = absolute
        return "G90" if absolute else "G91"

    def axes(self):
        chosen = [a for a in range(3) if self.rng.random() < 0.5]
        return chosen or [self.rng.randrange(3)]

    def prefix(self):
        """A unit or work system change that now and then shares a block with a move."""
        r = self.rng.random()
        if r < 0.1:
            self.inch = not self.inch
            return "G20" if self.inch else "G21"
        if r < 0.2:
            self.system = self.rng.choice(SYSTEMS)
            return "G%d" % (53 + self.system)
        return ""

    def straight(self):
        rng = self.rng
        forced = self.frame_moved
        words = [self.prefix()]
        absolute = True if forced else (self.absolute if rng.random() < 0.7 else not self.absolute)
        words.append(self.mode_word(absolute))
        motion = rng.choice(["G0", "G1"])
        words.append(motion)
        position = self.program_position()
        target = list(position)
        for axis in (range(3) if forced else self.axes()):
            target[axis] = rng.randint(-470, 470) if axis < 2 else rng.randint(0, 236)
        # Neither side may see a move of zero length: rs274's tool stands at self.machine, Plotra's where the
        # last move left it in G54's frame of that time.
        tool = [m - o for m, o in zip(self.machine, self.moved_under)]
        while self.to_machine(target) == self.machine or [t - o for t, o in zip(
                self.to_machine(target), self.offsets[1])] == tool:
            target[0] += 40
        named = range(3) if forced else [a for a in range(3) if target[a] != position[a]]
        for axis in named:
            words.append(self.word(LETTERS[axis], target[axis] if absolute else target[axis] - position[axis]))
        n = self.emit(words)
        self.move_to("rapid" if motion == "G0" else "feed", self.to_machine(target), n)
        if forced:
            self.restarts.add(n)
        self.frame_moved = False

    def arc(self):
        rng = self.rng
        words = [self.prefix()]
        absolute = self.absolute if rng.random() < 0.7 else not self.absolute
        words.append(self.mode_word(absolute))
        clockwise = rng.random() < 0.5
        words.append("G2" if clockwise else "G3")
        size = 5 * rng.randint(2, 30)
        u1 = rng.choice(UNITS)
        full = rng.random() < 0.15
        u2 = (-u1[0], -u1[1]) if full else rng.choice([u for u in UNITS if u != u1])
        start = self.program_position()
        centre = [start[0] + round(size * u1[0]), start[1] + round(size * u1[1])]
        end = [centre[0] + round(size * u2[0]), centre[1] + round(size * u2[1]), start[2]]
        if rng.random() < 0.3:
            end[2] += rng.choice([-1, 1]) * rng.randint(4, 80)
        for axis in range(3):
            if end[axis] == start[axis] and (axis == 2 or rng.random() < (0.5 if full else 0.3)):
                continue
            words.append(self.word(LETTERS[axis], end[axis] if absolute else end[axis] - start[axis]))
        by_radius = not full and u2 != (-u1[0], -u1[1]) and rng.random() < 0.35
        if by_radius:
            a0 = math.atan2(-u1[1], -u1[0])
            a1 = math.atan2(u2[1], u2[0])
            sweep = ((a0 - a1) if clockwise else (a1 - a0)) % (2 * math.pi)
            words.append(self.word("R", -size if sweep > math.pi else size))
        else:
            for axis, letter in enumerate("IJ"):
                offset = centre[axis] - start[axis]
                if offset or rng.random() < 0.5:
                    words.append(self.word(letter, offset))
        n = self.emit(words)
        target = self.to_machine(end)
        origin = self.drawn(self.to_machine([0, 0, 0]))
        self.meant.append(dict(kind="arc", start=self.drawn(self.machine), end=self.drawn(target),
                               centre=(origin[0] + centre[0] * TICK_MM, origin[1] + centre[1] * TICK_MM),
                               rotation=-1 if clockwise else 1, block=n))
        self.machine = target
        self.moved_under = list(self.offsets[1])

    def units(self):
        if self.rng.random() < 0.85:
            self.inch = not self.inch
        self.emit(["G20" if self.inch else "G21"])

    def set_offset(self):
        rng = self.rng
        system = rng.choice(SYSTEMS)
        words = [self.mode_word(True), "G10 L2 P%d" % system]
        before = list(self.offsets[1])
        for axis in self.axes():
            value = 0 if rng.random() < 0.15 else rng.randint(-630, 630)
            self.offsets[system][axis] = value
            words.append(self.word(LETTERS[axis], value))
        self.emit(words)
        self.frame_moved = self.frame_moved or self.offsets[1] != before

    def select(self):
        self.system = self.rng.choice(SYSTEMS)
        self.emit(["G%d" % (53 + self.system)])

    def local_shift(self):
        rng = self.rng
        words = [self.mode_word(self.absolute if rng.random() < 0.7 else not self.absolute), "G52"]
        axes = range(3) if rng.random() < 0.2 else self.axes()
        cancel = len(axes) == 3 and rng.random() < 0.5
        for axis in axes:
            value = 0 if cancel or rng.random() < 0.15 else rng.randint(-157, 157)
            self.shift[axis] = value
            words.append(self.word(LETTERS[axis], value))
        self.emit(words)

    def machine_move(self):
        rng = self.rng
        words = [self.mode_word(True), "G0 G53"]
        target = list(self.machine)
        for axis in self.axes():
            target[axis] = rng.randint(-470, 470) if axis < 2 else rng.randint(-160, 240)
            words.append(self.word(LETTERS[axis], target[axis]))
        self.move_to("rapid", target, self.emit(words))

    def reference(self):
        rng = self.rng
        absolute = self.absolute if rng.random() < 0.6 else not self.absolute
        words = [self.mode_word(absolute), rng.choice(["G28", "G30"])]
        position = self.program_position()
        between = list(position)
        axes = self.axes()
        for axis in axes:
            step = 0 if rng.random() < 0.3 else rng.randint(-200, 200)
            between[axis] = position[axis] + step if not absolute else (
                rng.randint(-470, 470) if axis < 2 else rng.randint(0, 236))
            words.append(self.word(LETTERS[axis], between[axis] if absolute else between[axis] - position[axis]))
        n = self.emit(words)
        self.move_to("rapid", self.to_machine(between), n)
        for axis in axes:
            self.machine[axis] = 0
        self.returns.add(n)


# ---------------------------------------------------------------- the two drawings

def rs274_drawn(rs_moves, gen):
    """rs274's moves in G54's coordinates, without the returns of G28/G30 and moves of zero length."""
    last_traverse = {}
    for i, (block, name, *_) in enumerate(rs_moves):
        if block in gen.returns and name == "STRAIGHT_TRAVERSE":
            last_traverse[block] = i
    returns = set(last_traverse.values())
    moves = []
    for i, (block, name, start, end, arc) in enumerate(rs_moves):
        if i in returns:
            continue
        g54 = [v * TICK_MM for v in gen.g54.get(block, (0, 0, 0))]
        start, end = (tuple(a - b for a, b in zip(p, g54)) for p in (start, end))
        if name == "ARC_FEED":
            centre = (arc["centre"][0] - g54[0], arc["centre"][1] - g54[1])
            moves.append(dict(kind="arc", start=start, end=end, centre=centre, rotation=arc["rotation"], block=block))
        elif math.dist(start, end) >= 0.0005:
            moves.append(dict(kind="rapid" if name == "STRAIGHT_TRAVERSE" else "feed", start=start, end=end,
                              block=block))
    return moves


def run_plotra(plotra, nc, dxf):
    """(Plotra's moves or None, the lines it listed under codes not drawn)."""
    if os.path.exists(dxf):
        os.remove(dxf)
    proc = subprocess.run([plotra, "-q", "-o", dxf, nc], capture_output=True, timeout=60)
    report = proc.stdout.decode("utf-8", errors="replace").splitlines()
    listed = [l.strip() for l in report[report.index(HEADING) + 1:]] if HEADING in report else []
    if proc.returncode != 0 or not os.path.exists(dxf):
        return None, listed + ["exit status %d: %s" % (proc.returncode, proc.stderr.decode(errors="replace").strip())]
    return plotra_moves(read_dxf(dxf)), listed


def at_block(text, moves, index):
    return "N%d %s" % (moves[index]["block"], text) if index < len(moves) else text


class Comparison:
    def __init__(self, rs274, plotra, workdir):
        self.rs274, self.plotra, self.workdir = rs274, plotra, workdir
        self.tool_table = os.path.join(workdir, "tool.tbl")
        open(self.tool_table, "w").close()
        self.programs = self.moves = 0
        self.refused, self.unfair, self.differences, self.listed = [], [], [], []

    def run(self, index, gen, text):
        nc, dxf = (os.path.join(self.workdir, "prog%d%s" % (index, ext)) for ext in (".nc", ".dxf"))
        with open(nc, "w") as f:
            f.write(text)
        rs, error = run_rs274(self.rs274, self.tool_table, nc)
        if rs is None:
            self.refused.append((index, error))
            return
        self.programs += 1
        want = rs274_drawn(rs, gen)
        problem, at = first_difference(gen.meant, want, plotra=False)
        if problem:
            self.unfair.append((index, at_block(problem, gen.meant, at)))
            return
        got, listed = run_plotra(self.plotra, nc, dxf)
        if listed:
            self.listed.append((index, listed))
        if got is None:
            self.differences.append((index, "plotra-convert failed: " + "; ".join(listed)))
            return
        problem, at = first_difference(want, got)
        if problem is None:
            problem, at = self.first_wrong_start(gen, want, got)
        self.moves += at
        if problem:
            self.differences.append((index, "%s (rs274 %s)" % (at_block(problem, want, at), describe(want[at])
                                                                if at < len(want) else "ends there")))

    @staticmethod
    def first_wrong_start(gen, want, got):
        """Where a straight move starts elsewhere (the point after G28/G30 is seen only here)."""
        for i, (w, g) in enumerate(zip(want, got)):
            if w["kind"] != "arc" and w["block"] not in gen.restarts and not close(w["start"], g["start"]):
                return "move %d: %s; starts at %s" % (i + 1, describe(g), fmt(g["start"])), i
        return None, len(want)


def main():
    parser = common_arguments(argparse.ArgumentParser(description=__doc__.split("\n")[0]))
    parser.add_argument("--show", type=int, default=6, help="programs of each kind to print in full (default 6)")
    args = parser.parse_args()

    try:
        c, texts = run_generated(args, "compare_rs274_frames", Comparison, Generator)
    except OSError as e:
        print("compare_rs274_frames.py: %s" % e, file=sys.stderr)
        return 2

    print("programs compared: %d of %d (rs274 refused %d; rs274 not as the generator meant: %d)"
          % (c.programs, args.count, len(c.refused), len(c.unfair)))
    print("moves compared: %d; programs that differ: %d; programs where Plotra listed codes: %d"
          % (c.moves, len(c.differences), len(c.listed)))
    kinds = {}
    for _, lines in c.listed:
        for line in lines:
            kinds.setdefault(line.split(" ×")[0], []).append(line)
    for kind, lines in sorted(kinds.items(), key=lambda kv: -len(kv[1])):
        print("  %s: in %d programs, first: %s" % (kind, len(lines), lines[0]))
    for title, items in (("refused by rs274", c.refused), ("rs274 differs from the generator", c.unfair),
                         ("Plotra differs from rs274", c.differences)):
        for index, text in items[:args.show]:
            print("\n--- program %d: %s: %s\n%s" % (index, title, text, texts[index]), end="")
    return 1 if c.differences or c.refused or c.unfair else 0


if __name__ == "__main__":
    sys.exit(main())
