"""A Custom Macro B program as a tree of statements, written in Fanuc's syntax for Plotra and in LinuxCNC's
for rs274 so that both mean the same, and run with Fanuc's meaning to know the moves it makes.

Dialects are "f" (Fanuc) and "l" (LinuxCNC). Where the two read a text apart, the LinuxCNC text is written
otherwise; compare_rs274_macros.py lists the differences. Whatever the two may still read apart (a value on
an edge, see Hazard) is found while the program runs here, and the generator then draws another.
"""
import math

from compare_rs274 import num

WORD_LIMIT = 1e4
VALUE_LIMIT = 1e6
ATOM = 9


class Hazard(Exception):
    """Something the two dialects may read apart, or a program that does not end: another is drawn."""


def near(a, b, scale=1.0):
    return abs(a - b) <= 1e-9 * max(scale, abs(a), abs(b))


def half_away(v):
    return math.floor(v + 0.5) if v >= 0 else -math.floor(-v + 0.5)


def bracket(rendered, need):
    text, prec = rendered
    return "[%s]" % text if need(prec) else text


# ---------------------------------------------------------------- expressions
# written(dialect) gives (text, precedence): ATOM for what needs no brackets, 2 for * / MOD, 1 for + -, 0 for
# a sign. evaluate(sim) gives (value, exact): exact values are the same double in both programs (literals, + - * /, ABS,
# SQRT, MOD, ROUND, FIX, FUP of exact values); the others come from trigonometry or libm and may differ a bit.

class Num:
    def __init__(self, value, text):
        self.value, self.text = value, text

    def written(self, d):
        return self.text, ATOM if self.value >= 0 else 0

    def evaluate(self, sim):
        return self.value, True

    def kids(self):
        return []


class Var:
    def __init__(self, n):
        self.n = n

    def written(self, d):
        return ("0" if d == "l" and self.n == 0 else "#%d" % self.n), ATOM

    def evaluate(self, sim):
        if self.n == 0 or sim.vars.get(self.n) is None:
            raise Hazard("#%d null outside + - * and comparisons" % self.n)
        return sim.vars[self.n]

    def kids(self):
        return []


def operand(node, sim):
    """An operand of + - * or of a comparison: there a null reads as 0 in both dialects."""
    return sim.read(node.n) if isinstance(node, Var) else node.evaluate(sim)


LINUX_SYSTEM = {5001: "#5420", 5002: "#5421", 5003: "#5422", 4003: "[90 + #<_incremental>]",
                4001: "[#<_motion_mode> / 10]"}


class Sys:
    def __init__(self, n):
        self.n = n

    def written(self, d):
        return ("#%d" % self.n if d == "f" else LINUX_SYSTEM[self.n]), ATOM

    def evaluate(self, sim):
        if self.n in (5001, 5002, 5003):
            return sim.pos[self.n - 5001], False
        if self.n == 4003:
            return (90.0 if sim.absolute else 91.0), True
        if sim.motion is None:
            raise Hazard("#4001 before any motion code")
        return float(sim.motion), True

    def kids(self):
        return []


class Neg:
    def __init__(self, a):
        self.a = a

    def written(self, d):
        return "-" + bracket(self.a.written(d), lambda p: p < ATOM), 0

    def evaluate(self, sim):
        v, exact = self.a.evaluate(sim)
        return -v, exact

    def kids(self):
        return [self.a]


PREC = {"+": 1, "-": 1, "*": 2, "/": 2}


class Bin:
    def __init__(self, op, a, b, extra=False):
        self.op, self.a, self.b, self.extra = op, a, b, extra

    def written(self, d):
        p = PREC[self.op]
        left = bracket(self.a.written(d), lambda q: q < p or self.extra)
        right = bracket(self.b.written(d), lambda q: q <= p or self.extra)
        return "%s %s %s" % (left, self.op, right), p

    def evaluate(self, sim):
        a, ea = operand(self.a, sim) if self.op != "/" else self.a.evaluate(sim)
        b, eb = operand(self.b, sim) if self.op != "/" else self.b.evaluate(sim)
        if self.op == "/":
            if abs(b) < 1e-6:
                raise Hazard("division by almost zero")
            v = a / b
        else:
            v = a + b if self.op == "+" else a - b if self.op == "-" else a * b
        return checked(v), ea and eb

    def kids(self):
        return [self.a, self.b]


class Mod:
    def __init__(self, a, b):
        self.a, self.b = a, b

    def written(self, d):
        if d == "f":
            left = bracket(self.a.written(d), lambda q: q < 2)
            right = bracket(self.b.written(d), lambda q: q <= 2)
            return "%s MOD %s" % (left, right), 2
        a, b = self.a.written(d)[0], self.b.written(d)[0]
        return "[[ABS[%s] MOD ABS[%s]] * [1 - 2 * [%s LT 0]]]" % (a, b, a), ATOM

    def evaluate(self, sim):
        a, ea = self.a.evaluate(sim)
        b, eb = self.b.evaluate(sim)
        if abs(b) < 1e-6:
            raise Hazard("MOD by almost zero")
        v = math.fmod(a, b)
        if not (ea and eb) and (near(v, 0, abs(a)) or near(abs(v), abs(b), abs(a))):
            raise Hazard("MOD near a multiple")
        return v, ea and eb

    def kids(self):
        return [self.a, self.b]


class Func:
    def __init__(self, name, a, spelling=None):
        self.name, self.a, self.spelling = name, a, spelling or name

    def written(self, d):
        inner = self.a.written(d)[0]
        if d == "f":
            return "%s[%s]" % (self.spelling, inner), ATOM
        if self.name in ("FIX", "FUP"):
            return "[%s[ABS[%s]] * [1 - 2 * [%s LT 0]]]" % (self.name, inner, inner), ATOM
        return "%s[%s]" % (self.name, inner), ATOM

    def evaluate(self, sim):
        x, exact = self.a.evaluate(sim)
        name = self.name
        if name in ("SIN", "COS", "TAN"):
            v = {"SIN": math.sin, "COS": math.cos, "TAN": math.tan}[name](math.radians(x))
            return checked(v), False
        if name in ("ASIN", "ACOS"):
            if abs(x) > 1:
                raise Hazard("%s out of range" % name)
            return math.degrees(math.asin(x) if name == "ASIN" else math.acos(x)), False
        if name == "SQRT":
            if x < 0:
                raise Hazard("SQRT of a negative")
            return math.sqrt(x), exact
        if name == "ABS":
            return abs(x), exact
        if name == "LN":
            if x <= 0:
                raise Hazard("LN of zero or less")
            return math.log(x), False
        if name == "EXP":
            if x > 13:
                raise Hazard("EXP too large")
            return math.exp(x), False
        whole = round(x)
        if name == "ROUND":
            if not exact and near(abs(x) - math.floor(abs(x)), 0.5):
                raise Hazard("ROUND near n.5")
            return float(half_away(x)), True
        if not exact and near(x, whole):
            raise Hazard("%s near an integer" % name)
        if name == "FIX":
            return float(math.trunc(x)), True
        return float(math.copysign(math.ceil(abs(x)), x)) if x else 0.0, True

    def kids(self):
        return [self.a]


class Atan:
    def __init__(self, a, b, comma=False):
        self.a, self.b, self.comma = a, b, comma

    def written(self, d):
        a, b = self.a.written(d)[0], self.b.written(d)[0]
        if d == "f":
            return ("ATAN[%s,%s]" if self.comma else "ATAN[%s]/[%s]") % (a, b), ATOM
        return "[[ATAN[%s]/[%s] + 360] MOD 360]" % (a, b), ATOM

    def evaluate(self, sim):
        a, ea = self.a.evaluate(sim)
        b, eb = self.b.evaluate(sim)
        if abs(a) < 1e-6 and abs(b) < 1e-6:
            raise Hazard("ATAN of two zeros")
        v = math.degrees(math.atan2(a, b))
        if b > 0 and abs(v) < 1e-6 and not (ea and a == 0 and math.copysign(1, a) > 0):
            raise Hazard("ATAN near 0/360")
        return (v + 360 if v < 0 else v), False

    def kids(self):
        return [self.a, self.b]


class Pow:
    def __init__(self, a, b):
        self.a, self.b = a, b

    def written(self, d):
        if d == "f":
            return "POW[%s,%s]" % (self.a.written(d)[0], self.b.written(d)[0]), ATOM
        base, exponent = (bracket(x.written(d), lambda q: q < ATOM) for x in (self.a, self.b))
        return "[%s ** %s]" % (base, exponent), ATOM

    def evaluate(self, sim):
        a, _ = self.a.evaluate(sim)
        b, _ = self.b.evaluate(sim)
        if a < 0 and b != int(b) or abs(a) < 1e-3 and b <= 0:
            raise Hazard("POW out of its domain")
        try:
            return checked(math.pow(a, b)), False
        except OverflowError:
            raise Hazard("POW too large")

    def kids(self):
        return [self.a, self.b]


def checked(v, limit=VALUE_LIMIT):
    if not math.isfinite(v) or abs(v) > limit:
        raise Hazard("value %g too large" % v)
    return v


# ---------------------------------------------------------------- conditions

CMP = {"EQ": lambda a, b: a == b, "NE": lambda a, b: a != b, "GT": lambda a, b: a > b,
       "GE": lambda a, b: a >= b, "LT": lambda a, b: a < b, "LE": lambda a, b: a <= b}


class Cmp:
    def __init__(self, op, a, b):
        self.op, self.a, self.b = op, a, b

    def written(self, d):
        return "%s %s %s" % (self.a.written(d)[0], self.op, self.b.written(d)[0])

    def test(self, sim):
        for side in (self.a, self.b):
            if self.op in ("EQ", "NE") and isinstance(side, Var) and sim.vars.get(side.n) is None:
                raise Hazard("null in EQ/NE")
        a, ea = operand(self.a, sim)
        b, eb = operand(self.b, sim)
        if self.op in ("EQ", "NE") and abs(a - b) < 1e-3 and not (ea and eb and (a == b or abs(a - b) > 2e-4)):
            raise Hazard("EQ/NE of values closer than 0.001")
        if not (ea and eb) and near(a, b, 1e-3):
            raise Hazard("comparison on the edge")
        return CMP[self.op](a, b)


class Logic:
    def __init__(self, op, a, b):
        self.op, self.a, self.b = op, a, b

    def written(self, d):
        return "[%s] %s [%s]" % (self.a.written(d), self.op, self.b.written(d))

    def test(self, sim):
        a, b = self.a.test(sim), self.b.test(sim)
        return a and b if self.op == "AND" else a or b if self.op == "OR" else a != b


class NullTest:
    """`#n EQ #0`: LinuxCNC has no null, so its text holds the answer the generator knows."""

    def __init__(self, n, is_null, eq):
        self.n, self.is_null, self.eq = n, is_null, eq

    def written(self, d):
        if d == "f":
            return "#%d %s #0" % (self.n, "EQ" if self.eq else "NE")
        return "1 EQ %d" % (1 if self.is_null == self.eq else 0)

    def test(self, sim):
        if (sim.vars.get(self.n) is None) != self.is_null:
            raise Hazard("#%d null where the generator did not mean it" % self.n)
        return self.is_null == self.eq


# ---------------------------------------------------------------- statements

class Out:
    """Lines of one dialect; a pending sequence number goes onto the next line written."""

    def __init__(self, dialect):
        self.d, self.lines, self.label, self.oword = dialect, [], None, 100

    def emit(self, text, style=None):
        if self.d == "f" and style == "lower":
            text = text.lower()
        elif self.d == "f" and style == "tight":
            text = text.replace(" ", "")
        if self.label is not None:
            text = "%s %s" % (self.label, text)
            self.label = None
        self.lines.append(text)

    def place(self, label):
        if self.label is not None:
            self.lines.append(self.label)
        self.label = label

    def next_o(self):
        self.oword += 1
        return self.oword

    def block(self, stmts):
        for s in stmts:
            s.render(self)


class Raw:
    def __init__(self, text):
        self.text = text

    def render(self, out):
        out.emit(self.text)

    def run(self, sim):
        pass


class Assign:
    def __init__(self, target, expr, indirect=None, bare=True, style=None):
        self.target, self.expr, self.indirect, self.bare, self.style = target, expr, indirect, bare, style

    def text(self, d):
        if self.indirect:
            base, offset = self.indirect
            target = "#[#%d + %d]" % (base, offset)
        else:
            target = "#%d" % self.target
        text, prec = self.expr.written(d)
        if prec < ATOM and (d == "l" or not self.bare):
            text = "[%s]" % text
        return "%s = %s" % (target, text)

    def render(self, out):
        out.emit(self.text(out.d), self.style)

    def run(self, sim):
        sim.step()
        if self.indirect and sim.vars.get(self.indirect[0]) != (self.target - self.indirect[1], True):
            raise Hazard("#[#%d + %d] is not #%d" % (self.indirect + (self.target,)))
        if isinstance(self.expr, Var):  # a plain copy keeps a null
            sim.vars[self.target] = sim.vars.get(self.expr.n)
        else:
            v, exact = self.expr.evaluate(sim)
            sim.vars[self.target] = (checked(v), exact)


class Lit:
    def __init__(self, um, thousandths=False):
        self.um, self.thousandths = um, thousandths

    def written(self, d):
        return str(self.um) if d == "f" and self.thousandths else num(self.um)


class VarWord:
    def __init__(self, n, negative, null):
        self.n, self.negative, self.null = n, negative, null

    def written(self, d):
        sign = "-" if self.negative else ""
        if d == "f":
            return "%s#%d" % (sign, self.n)
        return None if self.null else "[ROUND[[%s#%d] * 1000] / 1000]" % (sign, self.n)


class ExprWord:
    def __init__(self, expr):
        self.expr = expr

    def written(self, d):
        text = self.expr.written(d)[0]
        return "[%s]" % text if d == "f" else "[ROUND[[%s] * 1000] / 1000]" % text


def word_value(word, sim):
    """The value an address takes, rounded as Plotra rounds it, or None when Fanuc leaves it out."""
    if isinstance(word, Lit):
        return word.um / 1000.0
    if isinstance(word, VarWord):
        value = sim.vars.get(word.n) if word.n else None
        if (value is None) != word.null:
            raise Hazard("word #%d null where the generator did not mean it" % word.n)
        if value is None:
            return None
        v, exact = value
        v = -v if word.negative else v
    else:
        v, exact = word.expr.evaluate(sim)
    checked(v, WORD_LIMIT)
    if not exact and near(abs(v * 1000) - math.floor(abs(v * 1000)), 0.5):
        raise Hazard("a word's value x 1000 near n.5")
    return half_away(v * 1000) / 1000.0


class Move:
    """A motion block; code None keeps the modal code, code_var names the variable of G#n."""

    def __init__(self, code, words, mode=None, code_var=None, spelling=None, feed=None, style=None):
        self.code, self.words, self.mode, self.code_var = code, words, mode, code_var
        self.spelling, self.feed, self.style = spelling, feed, style

    def render(self, out):
        parts = ["G%d" % self.mode] if self.mode else []
        if self.code_var:
            parts.append("G#%d" % self.code_var)
        elif self.code is not None:
            parts.append(self.spelling if out.d == "f" and self.spelling else "G%d" % self.code)
        blank = " " if out.d == "f" and self.style == "spaced" else ""
        for letter, word in self.words:
            text = word.written(out.d)
            if text is not None:
                parts.append(letter + blank + text)
        if self.feed:
            parts.append("F[ABS[%s] + 100]" % self.feed.written(out.d)[0])
        out.emit(" ".join(parts), self.style)

    def run(self, sim):
        sim.step()
        # A block's expressions are read before its G codes act: #4001 and #4003 tell the modes before it.
        values = {}
        for letter, word in self.words:
            v = word_value(word, sim)
            if v is not None:
                values[letter] = v
        if self.feed:
            self.feed.evaluate(sim)
        if self.mode:
            sim.absolute = self.mode == 90
        if self.code_var:
            value = sim.vars.get(self.code_var)
            if value is None or value[0] not in (0, 1, 2, 3):
                raise Hazard("G#%d is not a motion code" % self.code_var)
            code = int(value[0])
        elif self.code is not None:
            code = self.code
        else:
            code = sim.motion
            if code not in (0, 1):
                raise Hazard("modal line outside G00/G01")
        sim.motion = code
        start = list(sim.pos)
        end = list(start)
        for axis, letter in enumerate("XYZ"):
            if letter in values:
                end[axis] = values[letter] if sim.absolute else start[axis] + values[letter]
        if code in (0, 1):
            if not any(letter in values for letter in "XYZ"):
                raise Hazard("a straight move without axis words")
            sim.record("rapid" if code == 0 else "feed", start, end)
        else:
            sim.record_arc(code, start, end, values)
        sim.pos = end


class IfThen:
    def __init__(self, cond, assign):
        self.cond, self.assign = cond, assign

    def render(self, out):
        if out.d == "f":
            out.emit("IF [%s] THEN %s" % (self.cond.written("f"), self.assign.text("f")), self.assign.style)
            return
        o = out.next_o()
        out.emit("o%d if [%s]" % (o, self.cond.written("l")))
        self.assign.render(out)
        out.emit("o%d endif" % o)

    def run(self, sim):
        sim.step()
        if self.cond.test(sim):
            self.assign.run(sim)


class Skip:
    """IF [c] GOTO n (or GOTO n when cond is None) over the body to the block numbered n."""

    def __init__(self, cond, body, label, target, holder=None):
        self.cond, self.body, self.label, self.target, self.holder = cond, body, label, target, holder

    def render(self, out):
        if out.d == "f":
            if self.holder:
                out.emit("#%d = %d" % (self.holder, self.label))
            jump = self.target % {"n": self.label, "v": self.holder, "a": self.label - 7}
            out.emit(("IF [%s] %s" % (self.cond.written("f"), jump)) if self.cond else jump)
            out.block(self.body)
            out.place("N%04d" % self.label if self.label % 20 == 0 else "N%d" % self.label)
            return
        if self.holder:
            out.emit("#%d = %d" % (self.holder, self.label))
        if self.cond is None:
            return
        o = out.next_o()
        out.emit("o%d if [%s]" % (o, self.cond.written("l")))
        out.emit("o%d else" % o)
        out.block(self.body)
        out.emit("o%d endif" % o)

    def run(self, sim):
        sim.step()
        if self.holder:
            sim.vars[self.holder] = (float(self.label), True)
        if self.cond is not None and not self.cond.test(sim):
            sim.block(self.body)


class While:
    def __init__(self, cond, body, m):
        self.cond, self.body, self.m = cond, body, m

    def render(self, out):
        if out.d == "f":
            out.emit("WHILE [%s] DO%d" % (self.cond.written("f"), self.m))
            out.block(self.body)
            out.emit("END%d" % self.m)
            return
        o = out.next_o()
        out.emit("o%d while [%s]" % (o, self.cond.written("l")))
        out.block(self.body)
        out.emit("o%d endwhile" % o)

    def run(self, sim):
        while True:
            sim.step()
            if not self.cond.test(sim):
                break
            sim.block(self.body)


class DoWhile:
    """Nn ... IF [c] GOTO n: a loop closed by a jump backwards."""

    def __init__(self, cond, body, label):
        self.cond, self.body, self.label = cond, body, label

    def render(self, out):
        if out.d == "f":
            out.place("N%d" % self.label)
            out.block(self.body)
            out.emit("IF [%s] GOTO%d" % (self.cond.written("f"), self.label))
            return
        o = out.next_o()
        out.emit("o%d do" % o)
        out.block(self.body)
        out.emit("o%d while [%s]" % (o, self.cond.written("l")))

    def run(self, sim):
        while True:
            sim.block(self.body)
            sim.step()
            if not self.cond.test(sim):
                break


COMPOUND = (IfThen, Skip, While, DoWhile)


def render(stmts, dialect):
    out = Out(dialect)
    out.block(stmts)
    if out.label is not None:
        out.lines.append(out.label)
    return "\n".join(out.lines) + "\n"


# ---------------------------------------------------------------- running a program with Fanuc's meaning

class Sim:
    MAX_STEPS = 20000
    MAX_MOVES = 3000

    def __init__(self):
        self.vars, self.pos, self.absolute, self.motion = {}, [0.0, 0.0, 0.0], True, None
        self.moves, self.steps = [], 0

    def read(self, n):
        value = self.vars.get(n) if n else None
        return (0.0, True) if value is None else value

    def step(self):
        self.steps += 1
        if self.steps > self.MAX_STEPS:
            raise Hazard("more than %d blocks" % self.MAX_STEPS)

    def block(self, stmts):
        for s in stmts:
            s.run(self)

    def record(self, kind, start, end, **arc):
        if len(self.moves) >= self.MAX_MOVES:
            raise Hazard("too many moves")
        self.moves.append(dict(kind=kind, start=tuple(start), end=tuple(end), **arc))

    def record_arc(self, code, start, end, values):
        if "R" in values:
            chord = math.dist(start[:2], end[:2])
            r = values["R"]
            if chord < 0.01 or abs(r) < chord / 2 * 1.001 + 0.002:
                raise Hazard("R arc without room")
            h = math.sqrt(r * r - chord * chord / 4)
            mx, my = (start[0] + end[0]) / 2, (start[1] + end[1]) / 2
            ux, uy = (end[0] - start[0]) / chord, (end[1] - start[1]) / chord
            # The centre lies left of the chord for G3 with R > 0 and for G2 with R < 0.
            side = 1 if (code == 3) == (r > 0) else -1
            centre = (mx - uy * h * side, my + ux * h * side)
        else:
            if "I" not in values and "J" not in values:
                raise Hazard("an arc without centre words")
            centre = (start[0] + values.get("I", 0.0), start[1] + values.get("J", 0.0))
            r0 = math.dist(start[:2], centre)
            if r0 < 0.01 or abs(math.dist(end[:2], centre) - r0) > 0.002:
                raise Hazard("arc end off its circle")
        self.record("arc", start, end, centre=centre, rotation=1 if code == 3 else -1)


def simulate(stmts):
    for dialect in ("f", "l"):
        if max(len(line) for line in render(stmts, dialect).splitlines()) > 250:
            raise Hazard("a line longer than rs274 reads")  # and than Plotra reads as one
    sim = Sim()
    sim.block(stmts)
    return sim.moves
