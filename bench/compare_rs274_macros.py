#!/usr/bin/env python3
"""Checks plotra-convert's drawing of Custom Macro B programs against LinuxCNC's rs274.

Usage: compare_rs274_macros.py [--show N] [--keep DIR] [--no-reduce] RS274-COMMAND PLOTRA-CONVERT COUNT SEED

COUNT random programs (seeded by SEED) are generated as a tree of statements and written twice: in Fanuc
Custom Macro B for Plotra and in LinuxCNC's syntax for rs274 (see compare_rs274.py for getting rs274). They
hold assignments (also `#[#140 + d] =`) of expressions with + - * / MOD, SIN COS TAN ASIN ACOS ATAN SQRT ABS
ROUND FIX FUP LN EXP POW, unary minus, locals, commons, null variables and system variables; G00/G01 moves and
G02/G03 arcs (I J, R, full circles, helices) whose words are literals, thousandths, `#n`, `-#n`, `[expr]` or
null, G codes from a variable, G90/G91; IF [c] THEN, IF [c] GOTO and GOTO forward (target as a number,
`#n` or `[expr]`), loops by a GOTO backwards, WHILE [c] DOm ... ENDm nested three deep; conditions of EQ NE GT
GE LT LE joined by AND OR XOR; now and then a line in lower case, one without blanks and one with a blank after
each address letter. The tree, both texts and the generator's own run of it are in macro_program.py.

The generator also runs each program itself, with Fanuc's meaning, and draws again until nothing in it can be
read two ways (below). Compared, per program, in the order drawn: the end point of every straight move and
arc (within 0.0011 mm, as Plotra rounds a substituted value to 0.001), whether it is a rapid or a feed, and an
arc's centre, radius and turning. rs274 prints moves of zero length; Plotra draws nothing for them, so they
are left out on both sides. An ARC in the DXF cannot end off its circle: its end is compared with the point
of the circle nearest to rs274's end. An arc that ends where it starts (to rs274's 4 decimals) is a whole turn:
a CIRCLE, or an ARC of 360°. A program where rs274 differs from what the generator meant, or that it refuses,
is reported apart, as are the codes Plotra lists as not drawn. Every difference is shrunk, statement by
statement and expression by expression, to a small program that still shows it (unless --no-reduce), and
printed in both dialects; --keep DIR keeps progN.nc/.ngc/.dxf and the shrunk progN-min.*.
Exit status: 0 when nothing differs, 1 when something does, 2 for a usage error. Run one comparison at a time:
two rs274 running at once crash each other (exit status -7, SIGBUS), which shows as programs rs274 refused.

How the two dialects differ, and how the LinuxCNC text is written so that both mean the same:
  precedence  Fanuc binds AND with * / MOD and OR XOR with + -, comparisons lowest; LinuxCNC has ** above
              * / MOD above + - above the comparisons above AND OR XOR. `[#1 LT 2 OR #2 GT 3 AND #3 GT 0]` groups
              differently, so every comparison joined by AND/OR/XOR is bracketed: `[[a LT b] AND [c GE d]]`.
              AND OR XOR act bitwise on numbers in Fanuc and logically in LinuxCNC: used on conditions only.
  EQ NE       LinuxCNC takes values within 0.0001 as equal, Plotra compares exactly: values compared for
              equality are computed alike on both sides (integers, sums of literals) or lie 0.001 apart.
  FIX FUP     LinuxCNC rounds down and up (FIX[-2.5] = -3), Fanuc towards and away from zero (-2):
              LinuxCNC gets `[FIX[ABS[e]] * [1 - 2 * [e LT 0]]]`.
  MOD         LinuxCNC's result is never negative (-7 MOD 3 = 2), Fanuc's keeps the sign of a (-1):
              LinuxCNC gets `[[ABS[a] MOD ABS[b]] * [1 - 2 * [a LT 0]]]`.
  ATAN        LinuxCNC gives -180..180 (ATAN[-1]/[-1] = -135), Fanuc 0..360 (225): `[[ATAN[a]/[b] + 360] MOD 360]`.
  POW[a,b]    LinuxCNC has no POW: `[a ** b]`. SQR, ROUN and ATAN[a,b] are Fanuc spellings only.
  `#1 = e`    LinuxCNC wants one value after `=`: the expression is bracketed.
  null        LinuxCNC has none (an unset parameter is 0, #0 does not exist). Null variables appear only where
              both read 0 (operands of + - *), in words (left out of the LinuxCNC text, as Fanuc leaves out an
              address whose value is null) and in `[#n EQ #0]` (written as a constant condition).
  rounding    Plotra rounds a value from a variable or expression in an address to 0.001; rs274 does not, and in
              G91 the two would drift apart: LinuxCNC words get `[ROUND[[e] * 1000] / 1000]`. F is not compared.
  X1234       a length word without a decimal point is in thousandths in Fanuc: LinuxCNC gets X1.234.
  system      #5001-#5003 are #5420-#5422, #4003 is `[90 + #<_incremental>]`, #4001 `[#<_motion_mode> / 10]`.
  GOTO        LinuxCNC has none: `IF [c] GOTO n` over some lines becomes `o.. if [c]` `o.. else` lines
              `o.. endif`; a plain GOTO forward leaves the lines out; a GOTO backwards closing a loop becomes
              `o.. do` ... `o.. while [c]`. WHILE/DOm/ENDm is `o.. while`/`o.. endwhile`, IF THEN `o.. if`/`endif`.
  edges       trigonometry, LN, EXP and POW are computed in each program's own way, so nothing is generated
              that sits on an edge: inexact values compared closer than 1e-6, a ROUND argument near n.5 or a
              FIX/FUP argument near an integer, a word whose value x 1000 is near n.5, a MOD near a multiple,
              an ATAN near 0/360, a division by almost zero, values beyond 1e4 in a word or 1e6 in a variable.
  arcs        rs274 refuses an arc whose end lies far off its circle and Plotra draws it its own way: radii at
              start and end differ by at most 0.002; R is always longer than half the chord.
  #5001 #4001 a block's expressions are read before its G codes act, in both: they see the point and the
              modes the block starts from.
"""
import argparse
import copy
import math
import os
import random
import shlex
import subprocess
import sys

from compare_rs274 import UNITS, common_arguments, fmt, num, read_dxf, run_rs274, work_folder
from macro_program import (CMP, COMPOUND, Assign, Atan, Bin, Cmp, DoWhile, ExprWord, Func, Hazard, IfThen, Lit,
                           Logic, Mod, Move, Neg, NullTest, Num, Pow, Raw, Skip, Sys, Var, VarWord, While, render,
                           simulate)

TOL = 0.0011
RAPID = "早送り"
FEED_LAYERS = ("補正無し", "補正あり")
HEADING = "作図していないコード"


# ---------------------------------------------------------------- generator

VALUE_VARS = [1, 2, 3, 4, 5, 7, 8, 9, 11, 13, 17, 18, 19, 20, 24, 25, 26] + list(range(100, 130)) + \
    list(range(500, 510))
NULL_VARS = [0, 0, 27, 28, 32, 33, 150, 151, 163, 199, 530, 999]
COUNTERS = list(range(130, 140))
BASE = 140        # holds 100 for #[#140 + d] = ...
BOUND = 141       # holds an integer loop bound
CODE_VARS = [142, 143]
JUMP_VARS = [145, 146]
FUNCS = ["SIN", "COS", "TAN", "ASIN", "ACOS", "SQRT", "ABS", "ROUND", "FIX", "FUP", "LN", "EXP", "ATAN", "POW"]
SPELLINGS = {"SQRT": ["SQRT", "SQRT", "SQR"], "ROUND": ["ROUND", "ROUND", "ROUN"]}
JUMPS = ["GOTO%(n)d", "GOTO %(n)d", "GOTO%(n)04d", "GOTO #%(v)d", "GOTO [%(a)d + 7]"]


class Generator:
    def __init__(self, rng):
        self.rng = rng
        self.values = rng.sample([v for v in VALUE_VARS if v < 100 or v >= 120], 6) + rng.sample(range(100, 120), 3)
        self.nulls = rng.sample(NULL_VARS, 3)
        self.counters = list(COUNTERS)
        rng.shuffle(self.counters)
        self.label = 0

    # ---- numbers and expressions
    def literal(self, lo=-50, hi=50):
        rng = self.rng
        if rng.random() < 0.4:
            k = rng.randint(math.ceil(lo), math.floor(hi))
            return Num(float(k), str(k))
        um = int(round(rng.uniform(lo, hi), rng.choice([0, 1, 2, 3])) * 1000)
        return Num(um / 1000.0, num(um))

    def leaf(self, nullable=False):
        rng = self.rng
        r = rng.random()
        if nullable and r < 0.06:
            return Var(rng.choice(self.nulls))
        if r < 0.4:
            return self.literal()
        if r < 0.82:
            return Var(rng.choice(self.values))
        if r < 0.9:
            return Var(rng.choice(self.counters[:3] + [BOUND]))
        return Sys(rng.choice([5001, 5002, 5003, 5001, 5002, 4003, 4001]))

    def positive(self, depth):
        """An expression above zero: [ABS[e] + c]."""
        constant = self.literal(0.5, 5) if self.rng.random() < 0.5 else Num(1.0, "1")
        return Bin("+", Func("ABS", self.expr(depth)), constant)

    def unit(self, depth):
        """An expression within -1..1."""
        rng = self.rng
        e = self.expr(depth)
        if rng.random() < 0.5:
            return Func(rng.choice(["SIN", "COS"]), e)
        return Bin("/", e, Bin("+", Func("ABS", e), Num(1.0, "1")))

    def expr(self, depth, nullable=False):
        rng = self.rng
        if depth <= 0 or rng.random() < 0.3:
            return self.leaf(nullable)
        r = rng.random()
        sub = lambda: self.expr(depth - 1, True)
        if r < 0.35:
            return Bin(rng.choice("+-*"), sub(), sub(), rng.random() < 0.15)
        if r < 0.45:
            divisor = self.positive(depth - 1) if rng.random() < 0.5 else \
                Num(*rng.choice([(2.0, "2"), (4.0, "4"), (0.5, "0.5"), (-8.0, "-8")]))
            return Bin("/", self.expr(depth - 1), divisor, rng.random() < 0.15)
        if r < 0.5:
            return Neg(self.expr(depth - 1))
        if r < 0.55:
            return Mod(self.expr(min(depth - 1, 1)), rng.choice([self.literal(1, 20), self.positive(0)]))
        name = rng.choice(FUNCS)
        if name in ("ASIN", "ACOS"):
            return Func(name, self.unit(depth - 1))
        if name in ("SQRT", "LN"):
            arg = self.positive(depth - 1)
        elif name == "EXP":
            arg = Bin("*", self.unit(depth - 1), self.literal(0.5, 4))
        elif name in ("FIX", "FUP"):
            arg = self.expr(min(depth - 1, 1))
        elif name == "ATAN":
            return Atan(self.expr(depth - 1), self.expr(depth - 1), rng.random() < 0.3)
        elif name == "POW":
            if rng.random() < 0.5:
                return Pow(self.expr(depth - 1), Num(*rng.choice([(2.0, "2"), (3.0, "3"), (-1.0, "-1")])))
            exponent = Num(*rng.choice([(0.5, "0.5"), (1.5, "1.5"), (-0.5, "-0.5"), (2.0, "2")]))
            return Pow(self.positive(depth - 1), exponent)
        else:
            arg = self.expr(depth - 1)
        return Func(name, arg, rng.choice(SPELLINGS.get(name, [name])))

    def cond(self, depth=2):
        rng = self.rng
        r = rng.random()
        if depth > 0 and r < 0.3:
            return Logic(rng.choice(["AND", "OR", "XOR"]), self.cond(depth - 1), self.cond(depth - 1))
        if r < 0.36:
            n = rng.choice(self.nulls + self.values)
            return NullTest(n, n in self.nulls, rng.random() < 0.5)
        op = rng.choice(list(CMP))
        if op in ("EQ", "NE"):
            a = rng.choice([Var(rng.choice(self.counters[:3] + [BOUND])),
                            Func(rng.choice(["ROUND", "FIX", "FUP"]), self.expr(1)), Var(rng.choice(self.values))])
            k = rng.randint(-3, 5)
            return Cmp(op, a, Num(float(k), str(k)))
        return Cmp(op, self.expr(rng.randint(0, 2)), self.expr(rng.randint(0, 2)))

    def style(self):
        r = self.rng.random()
        return "lower" if r < 0.05 else "tight" if r < 0.1 else "spaced" if r < 0.15 else None

    # ---- statements
    def assign(self):
        rng = self.rng
        target = rng.choice(self.values)
        expr = self.expr(rng.randint(0, 3))
        indirect = (BASE, target - 100) if 100 <= target < 120 and rng.random() < 0.3 else None
        return Assign(target, expr, indirect, rng.random() < 0.6, self.style())

    def word(self, lo, hi):
        rng = self.rng
        r = rng.random()
        if r < 0.4:
            return Lit(int(round(rng.uniform(lo, hi), rng.choice([0, 1, 2, 3])) * 1000))
        if r < 0.45:
            return Lit(rng.randint(int(lo * 1000), int(hi * 1000)), thousandths=True)
        if r < 0.65:
            return VarWord(rng.choice(self.values), rng.random() < 0.25, False)
        if r < 0.7:
            return VarWord(rng.choice(self.nulls), rng.random() < 0.3, True)
        return ExprWord(self.expr(rng.randint(1, 3)))

    def straight(self, previous):
        rng = self.rng
        code = rng.choice([0, 1, 1])
        stmts = []
        mode = rng.choice([90, 91]) if rng.random() < 0.3 else None
        words = []
        for letter, p, (lo, hi) in (("X", 0.75, (-60, 60)), ("Y", 0.75, (-60, 60)), ("Z", 0.3, (-10, 30))):
            if rng.random() < p:
                words.append((letter, self.word(lo, hi)))
        if all(isinstance(w, VarWord) and w.null for _, w in words):
            words[:1] = [("X" if not words else words[0][0], Lit(int(round(rng.uniform(-60, 60), 2) * 1000)))]
        r = rng.random()
        move = Move(code, words, mode, spelling="G%02d" % code if rng.random() < 0.3 else None, style=self.style())
        if r < 0.15 and isinstance(previous, Move) and previous.code in (0, 1) and not previous.code_var:
            move.code = None
        elif r < 0.25:
            move.code_var = rng.choice(CODE_VARS)
            stmts.append(Assign(move.code_var, Num(float(code), str(code))))
        if code == 1 and rng.random() < 0.1:
            move.feed = self.expr(1)
        return stmts + [move]

    def arc(self):
        rng = self.rng
        code = rng.choice([2, 3])
        r = rng.random()
        helix = [("Z", self.word(-5, 5))] if rng.random() < 0.2 else []
        if r < 0.35:  # in G91 with literals on the circle
            size = rng.choice([4, 5, 10, 15, 20, 25]) * 500
            u1, u2 = rng.choice(UNITS), rng.choice(UNITS)
            i, j = int(round(size * u1[0])), int(round(size * u1[1]))
            x, y = i + int(round(size * u2[0])), j + int(round(size * u2[1]))
            words = [("X", Lit(x)), ("Y", Lit(y))] if (x, y) != (0, 0) else []
            return [Move(code, words + helix + [("I", Lit(i, rng.random() < 0.1)), ("J", Lit(j))], 91)]
        if r < 0.55:  # in G91 with R: the end from literals, R from an expression at least half the chord
            dx, dy = (int(round(rng.uniform(-20, 20), 1) * 1000) for _ in range(2))
            if abs(dx) + abs(dy) < 2000:
                dx = 5000
            chord = Func("SQRT", Bin("+", Bin("*", Num(dx / 1000, num(dx)), Num(dx / 1000, num(dx))),
                                     Bin("*", Num(dy / 1000, num(dy)), Num(dy / 1000, num(dy)))))
            factor = Num(*rng.choice([(0.55, "0.55"), (0.75, "0.75"), (1.0, "1."), (1.5, "1.5"), (2.25, "2.25")]))
            radius = Bin("*", chord, factor if rng.random() < 0.5 else Neg(factor))
            return [Move(code, [("X", Lit(dx)), ("Y", Lit(dy))] + helix + [("R", ExprWord(radius))], 91)]
        # In G90 about a centre from expressions: the end from the current point #5001/#5002.
        vi, vj, vt, vr = rng.sample(self.values, 4)
        stmts = [Assign(vi, self.expr(rng.randint(0, 2))), Assign(vj, self.expr(rng.randint(0, 2))),
                 Assign(vt, self.expr(rng.randint(0, 2))),
                 Assign(vr, Func("SQRT", Bin("+", Bin("*", Var(vi), Var(vi)), Bin("*", Var(vj), Var(vj)))))]
        radius = Var(vr)
        if rng.random() < 0.2:
            words = []  # a full circle
        else:
            words = [("X", ExprWord(Bin("+", Bin("+", Sys(5001), Var(vi)), Bin("*", radius, Func("COS", Var(vt)))))),
                     ("Y", ExprWord(Bin("+", Bin("+", Sys(5002), Var(vj)), Bin("*", radius, Func("SIN", Var(vt))))))]
        centre = [("I", VarWord(vi, False, False)), ("J", VarWord(vj, False, False))]
        return stmts + [Move(code, words + helix + centre, 90)]

    def loop_parts(self, depth, used_m):
        """The counter's first value, the loop's condition and its body, which ends with the counter's step."""
        rng = self.rng
        counter = self.counters[depth]
        n = rng.randint(1, 4)
        bound = Var(BOUND) if rng.random() < 0.2 else Num(float(n), str(n))
        if isinstance(bound, Var):
            n = 3
        up = rng.random() < 0.6
        if up:
            start, op, step = 0, rng.choice(["LT", "NE"]), "+"
            limit = bound
        else:
            start, op, step, limit = n, rng.choice(["GT", "NE"]), "-", Num(0.0, "0")
        test = Cmp(op, Var(counter), limit)
        if rng.random() < 0.3:
            test = Logic("AND", test, self.cond(1))
        init = Assign(counter, bound if not up else Num(float(start), str(start)))
        body = self.block(depth + 1, used_m) + [Assign(counter, Bin(step, Var(counter), Num(1.0, "1")))]
        return init, test, body

    def block(self, depth, used_m=()):
        rng = self.rng
        stmts = []
        for _ in range(rng.randint(2, 6) if depth else rng.randint(8, 16)):
            r = rng.random()
            if r < 0.28:
                stmts.append(self.assign())
            elif r < 0.55:
                stmts += self.straight(stmts[-1] if stmts else None)
            elif r < 0.67:
                stmts += self.arc()
            elif r < 0.73:
                stmts.append(IfThen(self.cond(), self.assign()))
            elif r < 0.82 and depth < 3:
                label = self.next_label()
                target = rng.choice(JUMPS)
                holder = rng.choice(JUMP_VARS) if "%(v)" in target else None
                cond = None if rng.random() < 0.15 else self.cond()
                stmts.append(Skip(cond, self.block(depth + 1, used_m), label, target, holder))
            elif r < 0.93 and depth < 3 and len(used_m) < 3:
                m = rng.choice([k for k in (1, 2, 3) if k not in used_m])
                init, test, body = self.loop_parts(depth, tuple(used_m) + (m,))
                stmts += [init, While(test, body, m)]
            elif depth < 3:
                label = self.next_label()
                init, test, body = self.loop_parts(depth, used_m)
                stmts += [init, DoWhile(test, body, label)]
        return stmts

    def program(self):
        rng = self.rng
        stmts = [Raw("G90 G17 G21 F500.")]
        stmts.append(Assign(BASE, Num(100.0, "100")))
        stmts.append(Assign(BOUND, Num(3.0, "3")))
        for v in self.counters[:3]:  # read in expressions before their loops begin
            stmts.append(Assign(v, Num(0.0, "0")))
        for v in self.values:
            stmts.append(Assign(v, self.literal()))
        copied = [v for v in self.nulls if v]
        if copied and rng.random() < 0.5:  # a plain copy of a null is null
            stmts.append(Assign(copied[0], Var(rng.choice([0] + copied[1:]))))
        start = [("X", Lit(self.word_um())), ("Y", Lit(self.word_um())), ("Z", Lit(rng.randint(5, 30) * 1000))]
        stmts.append(Move(0, start))
        stmts += self.block(0)
        stmts.append(Raw("M30"))
        return stmts

    def next_label(self):
        self.label += 10
        return 100 + self.label

    def word_um(self):
        return int(round(self.rng.uniform(-50, 50), 3) * 1000)


def generate(rng, attempts=200):
    """A program with nothing on an edge, its moves and the number of programs thrown away."""
    for thrown in range(attempts):
        stmts = Generator(rng).program()
        try:
            return stmts, simulate(stmts), thrown
        except Hazard:
            continue
    raise RuntimeError("no program without an edge in %d attempts" % attempts)


# ---------------------------------------------------------------- the two drawings

def rs274_moves(rs_moves):
    moves = []
    for block, name, start, end, arc in rs_moves:
        if name == "ARC_FEED":
            moves.append(dict(kind="arc", start=start, end=end, centre=arc["centre"], rotation=arc["rotation"]))
        elif math.dist(start, end) >= 0.0005:
            moves.append(dict(kind="rapid" if name == "STRAIGHT_TRAVERSE" else "feed", start=start, end=end))
    return moves


def plotra_moves(entities):
    moves = []
    for e in entities:
        kind, layer = e["type"], e.get("layer")
        if kind == "LINE" and (layer == RAPID or layer in FEED_LAYERS):
            start = (e.get(11, 0.0), e.get(21, 0.0), e.get(31, 0.0))
            end = (e.get(10, 0.0), e.get(20, 0.0), e.get(30, 0.0))
            if math.dist(end, start) >= 0.0005:
                moves.append(dict(kind="rapid" if layer == RAPID else "feed", start=start, end=end))
        elif kind in ("ARC", "CIRCLE") and layer in FEED_LAYERS:
            moves.append(dict(kind=kind, centre=(e.get(10, 0.0), e.get(20, 0.0)), z=e.get(30, 0.0),
                              radius=e.get(40, 0.0), angles=(e.get(50, 0.0), e.get(51, 0.0))))
        elif kind == "POLYLINE" and layer in FEED_LAYERS:
            points = [(v.get(10, 0.0), v.get(20, 0.0), v.get(30, 0.0)) for v in e["vertices"]]
            moves.append(dict(kind="POLYLINE", points=points))
    return moves


def close(p, q, tol=TOL):
    return all(abs(a - b) <= tol for a, b in zip(p, q))


def describe(m):
    if m["kind"] in ("rapid", "feed"):
        return "%s to %s" % ("G00" if m["kind"] == "rapid" else "G01", fmt(m["end"]))
    if m["kind"] == "arc":
        return "%s to %s about %s" % ("G03" if m["rotation"] > 0 else "G02", fmt(m["end"]), fmt(m["centre"]))
    if m["kind"] == "POLYLINE":
        return "POLYLINE of %d vertices to %s" % (len(m["points"]), fmt(m["points"][-1]) if m["points"] else "()")
    return "%s about %s radius %.4f angles %s" % (m["kind"], fmt(m["centre"]), m["radius"], fmt(m["angles"]))


def arc_problem(want, got):
    """What differs between an arc (rs274's or the generator's) and Plotra's entity, or None."""
    start, end, centre = want["start"], want["end"], want["centre"]
    radius = math.dist(start[:2], centre)
    if abs(end[2] - start[2]) > 1e-6 or got["kind"] == "POLYLINE":
        if got["kind"] != "POLYLINE":
            return "a helix drawn as %s" % got["kind"]
        points = got["points"]
        if not points or not close(points[0], start) or not close(points[-1], end):
            return "the polyline runs %s-%s" % (fmt(points[0]), fmt(points[-1])) if points else "an empty polyline"
        return None
    full = math.dist(start[:2], end[:2]) < 1e-6
    # rs274 prints 4 decimals: an arc that ends 1e-14 short of its start is a whole turn in both, and
    # Plotra may draw it as an ARC from a to a + 360.
    sweep = (got["angles"][1] - got["angles"][0]) % 360 if got["kind"] == "ARC" else 0
    if got["kind"] == "ARC" and sweep == 0 and got["angles"][1] != got["angles"][0]:
        sweep = 360.0
    whole_arc = sweep > 359.99
    if full and got["kind"] == "ARC" and not whole_arc:
        return "a whole turn in rs274, an ARC of %.3g° in Plotra" % sweep
    if got["kind"] != ("CIRCLE" if full else "ARC") and not (full and whole_arc):
        return "drawn as %s" % got["kind"]
    if not close(got["centre"], centre) or abs(got["radius"] - radius) > TOL or abs(got["z"] - end[2]) > TOL:
        return "centre, radius or Z differs"
    if full and got["kind"] == "CIRCLE":
        return None
    a50, a51 = (math.radians(a) for a in got["angles"])
    (cx, cy), r = got["centre"], got["radius"]
    on_circle = lambda a: (cx + r * math.cos(a), cy + r * math.sin(a))
    first, last = (on_circle(a51), on_circle(a50)) if want["rotation"] < 0 else (on_circle(a50), on_circle(a51))
    toward = math.dist(end[:2], centre)
    nearest = (centre[0] + (end[0] - centre[0]) * radius / toward, centre[1] + (end[1] - centre[1]) * radius / toward)
    if not close(first, start[:2]) or not close(last, nearest):
        return "runs %s-%s, %s %s-%s" % (fmt(first), fmt(last), "G03" if want["rotation"] > 0 else "G02",
                                           fmt(start[:2]), fmt(nearest))
    return None


def first_difference(want, got, plotra=True):
    """Where two move lists part, as a text, or None; want holds rs274's or the generator's moves."""
    for i, (w, g) in enumerate(zip(want, got)):
        if plotra and w["kind"] == "arc":
            problem = arc_problem(w, g) if g["kind"] in ("ARC", "CIRCLE", "POLYLINE") else "drawn as a LINE"
            if problem is None:
                continue
        elif w["kind"] != g["kind"]:
            problem = "kind differs"
        elif not close(w["end"], g["end"]):
            problem = "end differs"
        elif w["kind"] == "arc" and (not close(w["centre"], g["centre"]) or w["rotation"] != g["rotation"]):
            problem = "centre or turning differs"
        else:
            continue
        return "move %d: %s; %s" % (i + 1, describe(g), problem), i
    if len(want) != len(got):
        return "%d moves against %d" % (len(got), len(want)), min(len(want), len(got))
    return None, len(want)


class Comparison:
    def __init__(self, rs274, plotra, workdir):
        self.rs274, self.plotra, self.workdir = rs274, plotra, workdir
        self.tool_table = os.path.join(workdir, "tool.tbl")
        open(self.tool_table, "w").close()
        self.programs = self.moves = self.thrown = 0
        self.refused, self.unfair, self.differences, self.listed = [], [], [], []

    def run_both(self, stmts, name="prog"):
        """(rs274's moves or None, its error, Plotra's moves or None, Plotra's list of codes not drawn)."""
        fanuc, linux = (os.path.join(self.workdir, name + ext) for ext in (".nc", ".ngc"))
        dxf = os.path.join(self.workdir, name + ".dxf")
        with open(fanuc, "w") as f:
            f.write(render(stmts, "f"))
        with open(linux, "w") as f:
            f.write(render(stmts, "l"))
        rs, error = run_rs274(self.rs274, self.tool_table, linux)
        if os.path.exists(dxf):
            os.remove(dxf)
        proc = subprocess.run([self.plotra, "-q", "-o", dxf, fanuc], capture_output=True, timeout=60)
        report = proc.stdout.decode("utf-8", errors="replace").splitlines()
        listed = [l.strip() for l in report[report.index(HEADING) + 1:]] if HEADING in report else []
        if proc.returncode != 0 or not os.path.exists(dxf):
            listed.append("exit status %d: %s" % (proc.returncode, proc.stderr.decode(errors="replace").strip()))
            return (rs274_moves(rs) if rs is not None else None), error, None, listed
        return (rs274_moves(rs) if rs is not None else None), error, plotra_moves(read_dxf(dxf)), listed

    def verdict(self, stmts):
        """('refused'|'unfair'|'differs'|None, text) for one program."""
        try:
            meant = rs274_moves_like(simulate(stmts))
        except Hazard as e:
            return "hazard", str(e)
        rs, error, got, listed = self.run_both(stmts, "reduce")
        if rs is None:
            return "refused", error
        text, _ = first_difference(meant, rs, plotra=False)
        if text:
            return "unfair", text
        text, _ = plotra_difference(meant, rs, got, listed)
        return ("differs", text) if text else (None, None)

    def run(self, index, stmts, meant):
        rs, error, got, listed = self.run_both(stmts, "prog%d" % index)
        if rs is None:
            self.refused.append((index, error, stmts))
            return
        self.programs += 1
        meant = rs274_moves_like(meant)
        text, _ = first_difference(meant, rs, plotra=False)
        if text:
            self.unfair.append((index, text, stmts))
            return
        if listed:
            self.listed.append((index, listed))
        text, compared = plotra_difference(meant, rs, got, listed)
        self.moves += compared
        if text:
            self.differences.append((index, text, stmts))


def plotra_difference(meant, rs, got, listed):
    """Where Plotra's drawing parts from rs274's moves, as a text or None, and the moves compared."""
    if got is None:
        return "plotra-convert failed: " + "; ".join(listed), 0
    text, compared = first_difference(rs, got)
    if text is None:
        return None, compared
    agrees, _ = first_difference(meant, got)
    return "%s (rs274 %s)%s" % (text, describe(rs[compared]) if compared < len(rs) else "ends there",
                                "" if agrees else "; the generator agrees with Plotra"), compared


def rs274_moves_like(moves):
    """The generator's moves without those of zero length, as rs274's are kept."""
    return [m for m in moves if m["kind"] == "arc" or math.dist(m["start"], m["end"]) >= 0.0005]


# ---------------------------------------------------------------- shrinking a difference

def statement_lists(stmts):
    yield stmts
    for s in stmts:
        if isinstance(s, (Skip, While, DoWhile)):
            yield from statement_lists(s.body)


def node_slots(owner):
    """(owner, attribute) of every expression or condition below owner, outermost first."""
    for attr in ("expr", "cond", "a", "b"):
        child = getattr(owner, attr, None)
        if child is not None and not isinstance(child, (int, float)):
            yield owner, attr
            yield from node_slots(child)


def expression_slots(stmts):
    for lst in statement_lists(stmts):
        for s in lst:
            yield from node_slots(s)
            if isinstance(s, IfThen):
                yield from node_slots(s.assign)
            if isinstance(s, Move):
                for _, word in s.words:
                    if isinstance(word, ExprWord):
                        yield from node_slots(word)


def parts_of(node):
    if isinstance(node, Logic):
        return [node.a, node.b]
    return node.kids() if hasattr(node, "kids") else []


def smaller(stmts):
    """Edits that make the program one step smaller, each a function of a copy of it: a statement left out
    or unwrapped, a word left out, an expression replaced by a part of itself."""
    for li, lst in enumerate(statement_lists(stmts)):
        for i, s in enumerate(lst):
            at = lambda c, li=li, i=i: (list(statement_lists(c))[li], i)
            if not isinstance(s, Raw):
                yield lambda c, at=at: delete(*at(c))
            if isinstance(s, COMPOUND):
                yield lambda c, at=at: unwrap(*at(c))
            if isinstance(s, Move):
                for k in range(len(s.words)):
                    yield lambda c, at=at, k=k: at(c)[0][at(c)[1]].words.pop(k)
    for k, (owner, attr) in enumerate(expression_slots(stmts)):
        for p in range(len(parts_of(getattr(owner, attr)))):
            yield lambda c, k=k, p=p: cut(list(expression_slots(c))[k], p)


def delete(lst, i):
    del lst[i]


def unwrap(lst, i):
    s = lst[i]
    lst[i:i + 1] = [s.assign] if isinstance(s, IfThen) else s.body


def cut(slot, p):
    owner, attr = slot
    setattr(owner, attr, parts_of(getattr(owner, attr))[p])


def shrink(comparison, stmts, kind, budget=800):
    """The smallest program found that still gives the same kind of verdict, and its verdict text."""
    tries, start, improved = 0, 0, True
    while improved and tries < budget:
        improved = False
        for k, edit in enumerate(smaller(stmts)):
            if k < start:
                continue
            tries += 1
            candidate = copy.deepcopy(stmts)
            edit(candidate)
            if comparison.verdict(candidate)[0] == kind:
                # The candidates before this one were tried on a larger program; go on from here.
                stmts, start, improved = candidate, k, True
                break
            if tries >= budget:
                break
        else:
            if start:
                start, improved = 0, True  # one more pass from the beginning
    return stmts, comparison.verdict(stmts)[1]


# ---------------------------------------------------------------- main

def main():
    parser = common_arguments(argparse.ArgumentParser(description=__doc__.split("\n")[0]))
    parser.add_argument("--show", type=int, help="differences of each kind to print in full (default all)")
    parser.add_argument("--no-reduce", action="store_true", help="print differences without shrinking them")
    args = parser.parse_args()

    try:
        with work_folder(args.keep, "compare_rs274_macros.") as workdir:
            c = Comparison(shlex.split(args.rs274), os.path.abspath(args.plotra), workdir)
            run_and_report(c, args)
    except OSError as e:
        print("compare_rs274_macros.py: %s" % e, file=sys.stderr)
        return 2
    return 1 if c.differences or c.refused or c.unfair else 0


def run_and_report(c, args):
    """Runs the programs, then prints the counts and the differences, shrunk unless --no-reduce."""
    for index in range(args.count):
        stmts, meant, thrown = generate(random.Random("%d/%d" % (args.seed, index)))
        c.thrown += thrown
        c.run(index, stmts, meant)

    print("programs compared: %d of %d (rs274 refused %d; rs274 not as the generator meant: %d; "
          "drawn anew for an edge: %d)" % (c.programs, args.count, len(c.refused), len(c.unfair), c.thrown))
    print("moves compared: %d; programs that differ: %d; programs where Plotra listed codes: %d"
          % (c.moves, len(c.differences), len(c.listed)))
    kinds = {}
    for _, lines in c.listed:
        for line in lines:
            kind = line.split(" ×")[0].split(":")[0]
            kinds.setdefault(kind, []).append(line)
    for kind, lines in sorted(kinds.items(), key=lambda kv: -len(kv[1])):
        print("  %s: %d times, first: %s" % (kind, len(lines), lines[0]))
    for title, kind, items in (("refused by rs274", "refused", c.refused),
                               ("rs274 differs from the generator", "unfair", c.unfair),
                               ("Plotra differs from rs274", "differs", c.differences)):
        for index, text, stmts in items[:args.show]:
            if not args.no_reduce and c.verdict(stmts)[0] != kind:
                text += " (not so on a second run)"
            elif not args.no_reduce:
                stmts, text = shrink(c, stmts, kind)
                c.run_both(stmts, "prog%d-min" % index)  # kept with --keep
            print("\n--- program %d: %s: %s\n--- Fanuc (Plotra):\n%s--- LinuxCNC (rs274):\n%s"
                  % (index, title, text, render(stmts, "f"), render(stmts, "l")), end="")


if __name__ == "__main__":
    sys.exit(main())
