"""Where the tool of an NC program goes, and so what its drawing must hold, worked out from the NC text alone.

The words are read by the plain rules of Plotra's dialect: any case, comments anywhere, blanks after a letter,
";", a skip slash, ":" program numbers, LinuxCNC-only lines left undrawn, numbers without a point in thousandths
(ten-thousandths of an inch under G20, every length in mm as G20 and G21 switch). The blocks are then followed
as a machine moves: straight moves, arcs about their centre in their turning, helices, canned-cycle holes,
M97/M98/M99 calls, G65 and G66 macro calls with their arguments, programs found in other files of the NC file's
folder, and the main program's end at M30 or M02, with the Custom Macro B variables, expressions and statements
worked out by a small evaluator of its own; every point passes through the work offsets and transforms in force
(coordinate_frame.py) into the frame of G54. The drawing is predicted from that geometry alone: each entity with
its points, the extents as the bounding box of the path, and the machining time.
"""
import collections
import math
import operator
import os
import re

from coordinate_frame import EXTERNAL, G54, PLANES, Frame, offset_place

RAPID, COMPENSATED, UNCOMPENSATED = "早送り", "補正あり", "補正無し"
CYCLE, CENTRE, INFO = "固定サイクル", "中心線", "情報"

ADDRESS = set("GONXYZABCIJKFSTHDMRQPL")
ARGUMENT_ONLY = set("EUVW")  # address letters only as the arguments of a G65 or G66 block
INCH = 25.4
PIECE = 255
# A byte below 32 other than tab, LF and CR, or DEL, ends what is read of its line.
CONTROL = re.compile("[\x00-\x08\x0b\x0c\x0e-\x1f\x7f]")
MAX_CALL_DEPTH = 10
MAX_MACRO_DEPTH = 5
FIRST_LINES = 20  # a file in the folder names its program in an O line among these
# Argument list I: the local each letter of a G65 or G66 block sets. I, J and K beyond the first triple go on
# from #7 in threes (list II).
ARGUMENTS = dict(zip("ABCIJKDEFHMQRSTUVWXYZ", (1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 13, 17, 18, 19, 20, 21, 22, 23,
                                                  24, 25, 26)))
RAPID_RATE = 5000.0
TURN = 2 * math.pi
G_GROUPS = {"motion": {0, 1, 2, 3, 33}, "plane": {17, 18, 19}, "distance": {90, 91}, "compensation": {40, 41, 42},
            "cycle": {73, 74, 76} | set(range(80, 90)), "return": {98, 99}, "units": {20, 21}}
DECIMAL_CODES = {50.1, 51.1, 54.1}  # told apart from the whole codes before them
SYSTEMS = dict(zip(range(54, 60), range(1, 7)))
SETTINGS = {10, 50.1, 51, 51.1, 52, 68}  # their X Y Z words set something and move nothing
REFERENCE_RETURNS = {28, 30}
KEEPING_X = {4, 29, 92}  # X in such a block is no target (G04 dwell, G29 and G92 as ever)
# X Y Z words that are never polar: settings, machine and reference points, and the blocks that keep X.
CARTESIAN = SETTINGS | REFERENCE_RETURNS | KEEPING_X | {53}

# points: a LINE's group 10 and 11 points; a CIRCLE's centre; an ARC's centre and its points at groups 50 and
# 51; a POLYLINE's vertices. radius None: not predicted (the mark of a hole).
Entity = collections.namedtuple("Entity", "layer kind points radius", defaults=(None,))
Drawing = collections.namedtuple("Drawing", "entities box minutes")

NUMBER = re.compile(r"[-+]?([0-9]+(\.[0-9]*)?|\.[0-9]*)")
O_WORD = re.compile(r"[Oo][ \t]*(<|(%s)[ \t]*(sub|endsub|call|return|do|while|endwhile|if|elseif|else|endif|repeat|"
                    r"endrepeat|break|continue)(?![A-Za-z]))" % NUMBER.pattern, re.IGNORECASE)


MACRO_VALUE = re.compile(r"[-+]?(\[|#(?!<))")
STATEMENT = re.compile(r"(N[ \t]*[0-9]+[ \t]*)?(#(?!<)|IF|GOTO|WHILE|END|DO)", re.IGNORECASE)
TOKEN = re.compile(r"[ \t]*([0-9]+\.?[0-9]*|\.[0-9]+|[A-Za-z]+|\S)")
DIVIDED = re.compile(r"[ \t]*/[ \t]*\[")
LEVELS = ({"EQ", "NE", "GT", "GE", "LT", "LE"}, {"+", "-", "OR", "XOR"}, {"*", "/", "AND", "MOD"})
OPERATIONS = {"GT": operator.gt, "GE": operator.ge, "LT": operator.lt, "LE": operator.le, "+": operator.add,
              "-": operator.sub, "*": operator.mul, "/": operator.truediv, "MOD": math.fmod, "AND": operator.and_,
              "OR": operator.or_, "XOR": operator.xor}


def half_away(x):
    return math.copysign(math.floor(abs(x) + 0.5), x)


FUNCTIONS = {"SIN": lambda a: math.sin(math.radians(a)), "COS": lambda a: math.cos(math.radians(a)),
             "TAN": lambda a: math.tan(math.radians(a)), "ASIN": lambda a: math.degrees(math.asin(a)),
             "ACOS": lambda a: math.degrees(math.acos(a)), "SQRT": math.sqrt, "SQR": math.sqrt, "ABS": abs,
             "ATAN": lambda a, b=1.0: math.degrees(math.atan2(a, b)) % 360, "ROUND": half_away, "ROUN": half_away,
             "FIX": math.trunc, "FUP": lambda a: math.copysign(math.ceil(abs(a)), a), "LN": math.log,
             "EXP": math.exp, "POW": math.pow, "BIN": float, "BCD": float}


class Macro:
    """The variables of a run (the locals #1-#33 of the call level in force, the commons and the work offsets;
    any other reads null), and expressions and statements read token by token from self.text at self.pos. A value
    is a float, None when null, or a bool from a comparison. An error in an expression or a #3000 alarm raises an
    ArithmeticError or a ValueError: the drawing stops."""

    def __init__(self):
        self.locals, self.commons = {}, {}
        self.work_offsets = None  # what reads and writes the work offset variables

    def read(self, number):
        place = offset_place(number)
        if place is not None and self.work_offsets:
            return self.work_offsets.offset_value(place)
        return self.variables(number).get(number)

    def variables(self, number):
        return self.locals if 1 <= number <= 33 else self.commons

    def take(self, peek=False):
        found = TOKEN.match(self.text, self.pos)
        self.pos = found.end() if found and not peek else self.pos
        return found.group(1).upper() if found else ""

    def expression(self, level=0):
        operand = (lambda: self.expression(level + 1)) if level < 2 else self.primary
        value = operand()
        while self.take(peek=True) in LEVELS[level]:
            op, a, b = self.take(), value, operand()
            if op in ("EQ", "NE"):  # null equals only null
                value = (a == b) == (op == "EQ")
            elif op in ("AND", "OR", "XOR"):  # logical on two conditions, else bitwise on the integer parts
                both = isinstance(a, bool) and isinstance(b, bool)
                value = (bool if both else float)(OPERATIONS[op](int(a or 0), int(b or 0)))
            else:
                value = self.compute(OPERATIONS[op], a, b)
        return value

    def compute(self, function, *args):
        value = function(*(0.0 if a is None else a for a in args))  # null counts as 0
        if not math.isfinite(value):
            raise ArithmeticError("infinite")
        return value

    def primary(self):
        token = self.take()
        if token in ("+", "-"):
            value = self.primary()
            return value if value is None or token == "+" else -value  # minus a null stays null
        if token == "#":
            return self.read(self.index())
        if token in FUNCTIONS:
            self.take()  # [
            args = [self.expression()]
            while self.take() == ",":  # up to and with the closing bracket
                args.append(self.expression())
            if token == "ATAN" and len(args) == 1 and DIVIDED.match(self.text, self.pos):
                args.append(self.take() and self.primary())  # ATAN[a]/[b]
            return self.compute(FUNCTIONS[token], *args)
        if token == "[":
            value = self.expression()
            self.take()  # ]
            return value
        if re.fullmatch(r"[0-9.]+", token):
            return float(token)
        raise ValueError(token)

    def index(self):
        return int(half_away(self.primary() or 0))

    def statement(self, text):
        """Runs a statement: (None for the next line, "GOTO", "DO" or "END"; its number; whether it holds)."""
        self.text, self.pos = text, 0
        token, holds = self.take(), True
        if token in ("IF", "WHILE"):
            holds = bool(self.primary())
            token = self.take()
            if token == "THEN":
                token = self.take() if holds else None
        if token == "#":
            number = self.index()
            self.take()  # =
            value = self.expression()
            if number == 3000:
                raise ValueError("alarm")
            if 1 <= number <= 33 or 100 <= number <= 199 or 500 <= number <= 999:
                self.variables(number)[number] = value
            elif offset_place(number) is not None and self.work_offsets:
                self.work_offsets.write_offset(offset_place(number), value)
        if token == "DO" or token in ("GOTO", "END") and holds:
            return token, self.index(), holds
        return None, 0, holds


def statement(text, in_comment):
    """The statement that a line holds after an optional N number, without its comments; None for a block."""
    text = re.sub(r"\([^)]*\)?", "", text[block_start(text, in_comment):]).split(";")[0]
    found = STATEMENT.match(text)
    return text[found.start(2):] if found else None


def skip_blanks_and_comments(text, pos):
    while True:
        while pos < len(text) and text[pos] in " \t":
            pos += 1
        if not text.startswith("(", pos):
            return pos
        close = text.find(")", pos)
        pos = len(text) if close < 0 else close + 1


def block_start(text, in_comment):
    """Where the first word stands: after the rest of an open comment, blanks, comments and a block skip."""
    pos = 0
    if in_comment:
        close = text.find(")")
        pos = len(text) if close < 0 else close + 1
    pos = skip_blanks_and_comments(text, pos)
    if text.startswith("/", pos):
        pos += 2 if text[pos + 1:pos + 2] in list("123456789") else 1
        pos = skip_blanks_and_comments(text, pos)
    return pos


def is_linuxcnc(rest):
    """Polar words or named parameters in what reading left, outside comments and before a ";"."""
    rest = re.sub(r"\([^)]*\)?", "", rest).split(";")[0]
    return "@" in rest or "^" in rest or "#<" in rest


class Units:
    """How the numbers of a block are read: in the length unit in force before it (G20 inch, G21 mm) unless the
    block switches, into mm; a number without a point is in the unit's smallest step (0.0001 inch, 0.001 mm,
    0.001 degree or factor) or, with calculator-type input, a whole unit. Under G16 the second axis of the plane
    names an angle."""

    def __init__(self, inch=False, calculator=False, polar=False, plane=17):
        self.inch, self.calculator, self.polar, self.plane = inch, calculator, polar, plane

    def words(self, raw, cycle):
        codes = {v for l, v, _ in raw if l == "G"}

        def last(choices, default):  # the block's own code of a group, else the one in force
            return next((v for l, v, _ in reversed(raw) if l == "G" and v in choices), default)

        inch = last((20, 21), 20 if self.inch else 21) == 20
        polar = last((15, 16), 16 if self.polar else 15) == 16 and not codes & CARTESIAN
        angle = "XYZ"[PLANES[last((17, 18, 19), self.plane)][1]] if polar else None
        call = bool(codes & {65, 66})
        counting = not call and (cycle or bool(codes & (G_GROUPS["cycle"] - {80})))
        if not call and any(beyond_eight_digits(number, kind, inch, self.calculator) for letter, number, kind in raw
                            if letter in "XYZIJKRQ" and not (letter == "K" and counting)):
            return []  # the block is left out whole
        words = []
        for letter, number, kind in raw:
            value = self.value(number, kind, self.role(letter, codes, call, counting, angle), inch)
            words.append((letter, value, value if kind == "macro" else number))
        return words

    @staticmethod
    def role(letter, codes, call, counting, angle):
        """length: in steps and scaled; feed: as written and scaled; angle (or factor): in 0.001 steps, never
        scaled; argument: in steps, kept in the program's unit (the macro scales it where it uses it); plain: as
        written; integer: a count or a number; code: a G code."""
        if letter == "G":
            return "code"
        if call:
            return "integer" if letter in "MTDHSPLNO" else "plain" if letter in "FE" else "argument"
        if letter == "K" and counting:
            return "integer"
        if letter in "IJKP" and 51 in codes or letter == "R" and 68 in codes or letter in "ABC" or letter == angle:
            return "angle"
        if letter in "MTDHSPLNO":
            return "integer"
        return "feed" if letter == "F" else "length"

    def value(self, number, kind, role, inch):
        if role == "code":
            return number
        if role == "integer":
            return half_away(number) if kind == "macro" else number
        steps = 10000 if inch and role != "angle" else 1000
        if kind == "macro":  # a value as it is, to the unit's step
            number = half_away(number * steps) / steps
        elif kind == "whole" and role in ("length", "angle", "argument") and not self.calculator:
            number /= steps
        return number * INCH if inch and role in ("length", "feed") else number


def beyond_eight_digits(number, kind, inch, calculator):
    """A control takes eight digits: 99,999,999 steps without a point, else 99,999.999 mm or 9,999.9999 inch."""
    if kind == "whole" and not calculator:
        return abs(number) > 99999999
    return abs(number) > (9999.9999 if inch else 99999.999)


def read_words(text, in_comment=False, macro=None, cycle=False, units=None):
    """The (letter, value, number as written) words of one block, in reading order; the block text is already
    cleaned. A piece that continues a comment left open by the piece before it is read from the comment's
    end. With a macro, values written with # or [ are worked out (cycle: whether a canned cycle is in force).
    Values come out in mm and degrees as the Units in force before the block (mm by default) read them."""
    if not in_comment and text.lstrip(" \t")[:1] in ("-", "%"):
        return []
    raw, pos = [], block_start(text, in_comment)
    while pos < len(text) and text[pos] != ";":
        letter = "O" if text[pos] == ":" else text[pos].upper()
        call = any(l == "G" and v in (65, 66) for l, v, _ in raw)
        if letter not in ADDRESS and not (call and letter in ARGUMENT_ONLY):
            break
        if text[pos] in "Oo" and O_WORD.match(text, pos):
            return []
        start = len(text) - len(text[pos + 1:].lstrip(" \t"))
        if macro and MACRO_VALUE.match(text, start):
            macro.text, macro.pos = text, start
            value = macro.primary()
            pos = skip_blanks_and_comments(text, macro.pos)
            if value is not None:  # a null value leaves the address out
                raw.append((letter, half_away(value * 10) / 10 if letter == "G" else value, "macro"))
            continue
        number = NUMBER.match(text, start)
        if not number:
            break
        digits = number.group(0)
        raw.append((letter, float(digits) if re.search("[0-9]", digits) else 0.0,
                    "point" if "." in digits else "whole"))
        pos = skip_blanks_and_comments(text, number.end())
    if pos < len(text) and text[pos] != ";" and is_linuxcnc(text[pos:]):
        return []
    return (units or Units()).words(raw, cycle)


def offset_system(written):
    """The work offset that a G10 block sets: L2 P0-P6 the external one and G54-G59, L20 P1-P48 G54.1 P1-P48."""
    kind, number = written.get("L", (None,))[0], int(written.get("P", (0,))[0])
    if kind == 2 and 0 <= number <= 6:
        return number
    return 6 + number if kind == 20 and 1 <= number <= 48 else None


def last_word(words, letter):
    values = [value for l, value, _ in words if l == letter]
    return values[-1] if values else None


class Run:
    """The tool's way through the blocks of one run, and the entities, path points and time it makes. The tool
    stands at a drawn point and at a program point (in the work system in force, before the transforms); the two
    part when a transform is set or cancelled, until the next move."""

    def __init__(self, inch=False):
        # Every run starts with a rapid from the home position (0, 0, 200) down to the origin, not drawn.
        self.at, self.program = [0.0, 0.0, 0.0], [0.0, 0.0, 0.0]
        self.path = [(0.0, 0.0)]
        self.minutes = 200 / RAPID_RATE
        self.mode = {"motion": 0, "plane": 17, "distance": 90, "compensation": 40, "cycle": 80, "return": 98,
                     "units": 20 if inch else 21}
        self.feed, self.q, self.held = 0.0, 1.0, 0.0
        self.levels = None  # initial level, R level, bottom, whether the bottom is an increment from R
        self.frame = Frame()
        self.polar = None  # under G16: the centre (first, second axis of the plane), radius and angle in force
        self.entities = []

    def add(self, layer, kind, points, radius=None):
        self.entities.append(Entity(layer, kind, points, radius))

    def go(self, point, program):
        self.at, self.program = point, program
        self.path.append(tuple(point[:2]))

    def layer(self):
        return UNCOMPENSATED if self.mode["compensation"] == 40 else COMPENSATED

    def block(self, words):
        codes, written, groups = set(), {}, set()
        for letter, value, number in words:
            if letter != "G":
                written[letter] = (value, number)
                continue
            code = round(value, 1) if round(value, 1) in DECIMAL_CODES else int(value)
            codes.add(code)
            group = next((g for g, members in G_GROUPS.items() if code in members), None)
            if group == "motion":  # a motion word ends a canned cycle
                self.mode["cycle"] = 80
                groups.add("cycle")
            if group:
                self.mode[group] = code
                groups.add(group)
        self.transforms(codes, written)
        self.offsets(codes, written)
        if "cycle" in groups:
            z = self.program[2]
            self.levels = None if self.mode["cycle"] == 80 else self.levels or [z, z, None, False]
        self.q = written.get("Q", (self.q,))[0]
        if codes & (SETTINGS | {53} | REFERENCE_RETURNS):
            self.feed = abs(written.get("F", (self.feed,))[0])
            if 53 in codes:
                self.machine_move(written)
            elif codes & REFERENCE_RETURNS:
                self.reference_return(written)
            return
        jump = codes & KEEPING_X and "X" in written
        target = self.target(written, polar=not codes & KEEPING_X)
        if self.levels and not jump:
            self.drill(target, written)  # with the feed known before the block: a depth at F0 waits
        self.feed = abs(written.get("F", (self.feed,))[0])
        if jump:  # the tool does not move, and X stays
            self.program = [self.program[0]] + target[1:]
            self.at = self.frame.drawn(self.program)
        elif self.levels is None and self.mode["motion"] < 2 and set(written) & set("XYZ"):
            self.line(self.frame.drawn(target), target, self.mode["motion"] == 0)
        elif self.levels is None and self.mode["motion"] > 1:
            self.arc(target, written, self.mode["motion"])

    def target(self, written, polar=True):
        """The program point that the block's X Y Z words name, from the program point; under G16 the plane's
        first axis word is the radius and its second the angle, about the work origin or, for a radius written
        under G91, about the program point."""
        incremental = self.mode["distance"] == 91
        target = list(self.program)
        for axis, letter in enumerate("XYZ"):
            if letter in written:
                target[axis] = written[letter][0] + (self.program[axis] if incremental else 0.0)
        u, v, _ = PLANES[self.mode["plane"]]
        radius, angle = "XYZ"[u], "XYZ"[v]
        if self.polar is None or not polar or not {radius, angle} & set(written):
            return target
        cu, cv, r, degrees = self.polar
        if radius in written:
            r = written[radius][0]
            cu, cv = (self.program[u], self.program[v]) if incremental else (0.0, 0.0)
        if angle in written:
            degrees = written[angle][0] + (degrees if incremental else 0.0)
        self.polar = [cu, cv, r, degrees]
        target[u] = cu + r * math.cos(math.radians(degrees))
        target[v] = cv + r * math.sin(math.radians(degrees))
        return target

    def transforms(self, codes, written):
        """Polar coordinates, mirror, scaling and rotation set or cancelled, in their order; the tool stays where
        it is drawn and where it is in the program."""
        frame, u, v = self.frame, *PLANES[self.mode["plane"]][:2]
        if 15 in codes:
            self.polar = None
        if 16 in codes and self.polar is None:  # the tool's own radius and angle until the block names them
            pu, pv = self.program[u], self.program[v]
            self.polar = [0.0, 0.0, math.hypot(pu, pv), math.degrees(math.atan2(pv, pu))]
        if 50.1 in codes:
            frame.mirror = [None] * 3
        if 51.1 in codes:
            frame.mirror = [written[l][0] if l in written else m for l, m in zip("XYZ", frame.mirror)]
        centre = [written[l][0] if l in written else x for l, x in zip("XYZ", self.program)]
        if 50 in codes:
            frame.scaling = None
        if 51 in codes:
            every = written.get("P", (1.0,))[0]
            frame.set_scaling(centre, [written.get(l, (every,))[0] for l in "IJK"])
        if 69 in codes:
            frame.rotation = None
        if 68 in codes:
            degrees = written.get("R", (0.0,))[0]
            if self.mode["distance"] == 91 and frame.rotation:
                degrees += frame.rotation[2]
            frame.set_rotation(self.mode["plane"], centre, degrees)

    def offsets(self, codes, written):
        """Work offsets, the work system and the local shift: when the system in force moves, the tool stays where
        it is drawn and its program point is worked out anew; a change of G54 or the external offset moves only
        the frame of the drawing."""
        frame, moved = self.frame, False
        system = offset_system(written) if 10 in codes else None
        if system is not None:
            for axis, letter in enumerate("XYZ"):
                if letter in written:
                    self.set_offset((system, axis), written[letter][0], self.mode["distance"] == 91)
        chosen = next((SYSTEMS[c] for c in codes if c in SYSTEMS), None)
        if 54.1 in codes:
            chosen = 6 + int(written.get("P", (1,))[0])
        if chosen is not None and chosen != frame.system:
            frame.system, moved = chosen, True
        if 52 in codes:
            shift = [written[l][0] if l in written else s for l, s in zip("XYZ", frame.shift)]
            moved, frame.shift = shift != frame.shift, shift
        if moved:
            self.program = frame.program(self.at)

    def set_offset(self, place, value, added=False):
        self.frame.offsets[place] = value + (self.frame.offsets[place] if added else 0.0)
        if place[0] == self.frame.system and place[0] not in (EXTERNAL, G54):
            self.program = self.frame.program(self.at)

    def offset_value(self, place):
        """A work offset variable as the program reads it, in its unit."""
        return self.frame.offsets[place] / (INCH if self.mode["units"] == 20 else 1.0)

    def write_offset(self, place, value):
        self.set_offset(place, (value or 0.0) * (INCH if self.mode["units"] == 20 else 1.0))

    def machine_move(self, written):
        """G53: the named axes go to machine coordinates as a rapid, in G90 and G91 alike."""
        zero, end = self.frame.machine_zero(), list(self.at)
        for axis, letter in enumerate("XYZ"):
            if letter in written:
                end[axis] = written[letter][0] + zero[axis]
        self.line(end, self.frame.program(end), True)

    def reference_return(self, written):
        """G28, G30: a rapid to the intermediate point; then the named axes stand at machine 0, reached unseen."""
        middle = self.target(written, polar=False)
        self.line(self.frame.drawn(middle), middle, True)
        self.at = [zero if letter in written else x for letter, zero, x in zip("XYZ", self.frame.machine_zero(),
                                                                                 self.at)]
        self.program = self.frame.program(self.at)

    def line(self, end, program, rapid):
        if end != self.at:
            self.add(RAPID if rapid else self.layer(), "LINE", [end, self.at])
        self.charge(math.dist(self.at, end), rapid)
        self.go(end, program)

    def charge(self, length, rapid=False):
        rate = RAPID_RATE if rapid else self.feed
        self.minutes += length / (rate or 1.0)

    def arc(self, target, written, code):
        """From the drawn point to the drawn target; the centre offset or radius as the transforms draw them."""
        plane = self.mode["plane"]
        u, v, n = PLANES[plane]
        start, end, offsets = self.at, self.frame.drawn(target), ["IJK"[u], "IJK"[v]]
        if code != 33 and not set(written) & set("XYZIJKR"):
            return  # a G02/G03 block that names no axis moves nothing
        size, _, reverse = self.frame.arc_size(plane)
        ccw = (code != 2) != reverse
        if code != 33 and "R" in written and not set(offsets) & set(written):
            if (target[u], target[v]) == (self.program[u], self.program[v]):
                self.at, self.program = end, target  # no arc has the same start and end and a radius
                return
            cu, cv = centre_from_radius(start[u], start[v], end[u], end[v], written["R"][0] * size, ccw)
        else:
            du, dv = self.frame.arc_offset(plane, *(written.get(letter, (0.0,))[0] for letter in offsets))
            cu, cv = start[u] + du, start[v] + dv
        radius = math.hypot(start[u] - cu, start[v] - cv)
        a0 = math.atan2(start[v] - cv, start[u] - cu)
        a1 = math.atan2(end[v] - cv, end[u] - cu)
        sweep = (a1 - a0) % TURN if ccw else -((a0 - a1) % TURN)
        # A control reads thousandths: an end within half of one of the start in the plane is a whole turn.
        if sweep == 0 or (abs(target[u] - self.program[u]) < 5e-4 and abs(target[v] - self.program[v]) < 5e-4):
            sweep = TURN if ccw else -TURN
        self.charge(abs(radius * sweep))
        if code != 33 and (n != 2 or end[n] != start[n]):
            steps = max(4, math.ceil(abs(sweep) / math.radians(5) - 1e-9))
            points = []
            for k in range(steps + 1):
                point, angle = [0.0] * 3, a0 + sweep * k / steps
                point[u], point[v] = cu + radius * math.cos(angle), cv + radius * math.sin(angle)
                point[n] = start[n] + (end[n] - start[n]) * k / steps
                points.append(point)
            points[0], points[-1] = start, end
            self.add(self.layer(), "POLYLINE", points)
            self.path += [tuple(p[:2]) for p in points]
        else:
            centre = [cu, cv, start[2]]
            on_circle = [[cu + radius * math.cos(a), cv + radius * math.sin(a), start[2]] for a in (a0, a1)]
            if abs(sweep) == TURN:
                self.add(self.layer(), "CIRCLE", [centre], radius)
            else:  # DXF arcs run counter-clockwise from group 50 to group 51
                self.add(self.layer(), "ARC", [centre] + (on_circle if ccw else on_circle[::-1]), radius)
            for k in range(4):  # the axis-extreme points within the swept angle
                angle = k * math.pi / 2
                if ((angle - a0) % TURN if ccw else (a0 - angle) % TURN) <= abs(sweep):
                    self.path.append((cu + radius * math.cos(angle), cv + radius * math.sin(angle)))
        self.go(end, target)

    def drill(self, target, written):
        """The holes of one block in cycle mode; the tool ends at the return level over the last one. A repeat
        reads the block's X and Y again from where the last hole left the tool."""
        levels, incremental = self.levels, self.mode["distance"] == 91
        if "R" in written:
            levels[1] = written["R"][0] + (levels[0] if incremental else 0.0)
        if "Z" in written:
            levels[2:] = [written["Z"][0], incremental]
        repeats = written.get("K", written.get("L", (1, 1)))[1]
        count = min(9999, math.floor(repeats + 0.5)) if repeats > 0 else 0
        if not set(written) & set("XYZR") or levels[2] is None or count == 0:
            return
        r_level, bottom = levels[1], levels[2] + (levels[1] if levels[3] else 0.0)
        for k in range(count):
            x, y = (target if k == 0 else self.target(written))[:2]
            hole, top, end = (self.frame.drawn([x, y, z]) for z in (self.program[2], r_level, bottom))
            if hole != self.at:
                self.add(RAPID, "LINE", [hole, self.at])
            self.charge(math.dist(hole, self.at), rapid=True)
            self.add(RAPID, "LINE", [top, hole])
            self.add(CYCLE, "LINE", [top, end])
            self.add(CYCLE, "CIRCLE", [end])
            depth = math.dist(top, end)
            if self.feed == 0:
                self.held = depth
            else:
                self.minutes += (depth + self.held) / self.feed
                self.held = 0.0
            if self.mode["cycle"] == 83 and self.q != 0:
                self.minutes += depth / abs(self.q) * 0.2 / RAPID_RATE  # 0.2 per peck at the rapid rate
            back = [x, y, levels[0] if self.mode["return"] == 98 else r_level]
            self.go(self.frame.drawn(back), back)


def centre_from_radius(u0, v0, u1, v1, r, ccw):
    """The centre r from both ends: left of the chord for a counter-clockwise turn of R > 0 (the short way round),
    right of it when either is reversed; the midpoint when r is shorter than half the chord."""
    du, dv = u1 - u0, v1 - v0
    chord = math.hypot(du, dv)
    h = math.sqrt(max(r * r - chord * chord / 4, 0.0)) * (1 if ccw == (r > 0) else -1)
    return u0 + du / 2 - h * dv / chord, v0 + dv / 2 + h * du / chord


def pieces(path):
    """The lines as the run reads them: CR LF as LF, at most 255 bytes each, a line up to its first control
    character, cleaned as the dispatch does, each with whether it starts inside a comment that the piece before
    it of the same line left open."""
    with open(path, "rb") as f:
        data = f.read().replace(b"\r\n", b"\n")
    pos, in_comment = 0, False
    while pos < len(data):
        end = data.find(b"\n", pos, pos + PIECE)
        end = min(pos + PIECE, len(data)) if end < 0 else end + 1
        text = data[pos:end].decode("latin-1")
        control = CONTROL.search(text)
        if control:  # the rest of the line is not read
            text = text[:control.start()]
            line_end = data.find(b"\n", pos)
            end = len(data) if line_end < 0 else line_end + 1
        yield text.rstrip("".join(map(chr, range(33)))), in_comment
        if control or data[end - 1:end] == b"\n":
            in_comment = False
        else:
            for c in text:
                in_comment = c != ")" if in_comment else c == "("
        pos = end


def g_codes(words):
    return {int(value) for letter, value, _ in words if letter == "G"}


def call_of(words, starts):
    """(subprogram number, repeats) of an M98 block; the number is None without P."""
    p, count = last_word(words, "P"), last_word(words, "L")
    if p is None:
        return None, 0
    number, repeats = int(p), 1
    if number > 9999 and number not in starts:
        number, repeats = number % 10000, number // 10000
    return number, int(count) if count is not None else repeats


def macro_call(words):
    """(program number, repeats, {local: value}) of a G65 or G66 block; the number is None without P."""
    p, count = last_word(words, "P"), last_word(words, "L")
    arguments, triple, last = {}, 0, None
    for letter, value, _ in words:
        if letter in "IJK":
            place = "IJK".index(letter)
            if last is not None and place <= last:  # a letter again, or out of order: the next triple
                triple += 1
            last, local = place, 4 + 3 * triple + place
        else:
            local = ARGUMENTS.get(letter, 0)
        if 1 <= local <= 33:
            arguments[local] = value  # where two words name one local, the later wins
    return None if p is None else int(p), 1 if count is None else int(count), arguments


def main_program(words, statements, named):
    """The index of the O block the run starts at, None when the main program has none: a block before the
    first O block starts it there; else the first program that no call names, or that meets M30 or M02 before
    its M99 and before the next O block."""
    programs = [i for i, block in enumerate(words) if block and block[0][0] == "O"]
    if not programs or any(words[i] or statements[i] for i in range(programs[0])):
        return None
    for start, end in zip(programs, programs[1:] + [len(words)]):
        ends = next((m for m in (last_word(w, "M") for w in words[start + 1:end]) if m in (2, 30, 99)), None)
        if int(words[start][0][1]) not in named or ends in (2, 30):
            return start
    return None


def programs(words, named, main):
    """Per block, the definition it lies in (the index of its O block; up to the next O block) and whether the
    main program reads it: everything but the definitions that M98, G65 or G66 name, from their O block to their
    M99 or to the main program's O block."""
    definition, in_main, current, in_named = [], [], None, False
    for index, block in enumerate(words):
        is_o = bool(block) and block[0][0] == "O"
        if is_o:
            current, in_named = index, index != main and (in_named or int(block[0][1]) in named)
        definition.append(current)
        in_main.append(not in_named)
        if in_named and not is_o and last_word(block, "M") == 99:
            in_named = False
    return definition, in_main


class Source:
    """One NC file as a run reads it: its lines with their words (macro values aside) and statements, where its
    O-number programs start, and per block the definition it lies in and whether its main program reads it."""

    def __init__(self, path):
        self.path = path
        self.lines = list(pieces(path))
        self.words = [read_words(*line) for line in self.lines]
        self.statements = [statement(*line) for line in self.lines]
        self.starts = {}
        for index, block in enumerate(self.words):
            if block and block[0][0] == "O":
                self.starts.setdefault(int(block[0][1]), index)
        self.named = {call_of(w, self.starts)[0] for w in self.words if last_word(w, "M") == 98} | \
            {macro_call(w)[0] for w in self.words if g_codes(w) & {65, 66}}
        self.main = main_program(self.words, self.statements, self.named)
        self.definition, self.in_main = programs(self.words, self.named, self.main)

    def numbered(self, n, program, after):
        """Block N n of the program (an O block's index, or "main"): the first after `after`, else the first."""
        found = [i for i, block in enumerate(self.words) if block and block[0][0] == "N" and block[0][2] == n and
                 (self.in_main[i] if program == "main" else self.definition[i] == program)]
        return next((i for i in found if i > after), found[0] if found else None)

    def matching(self, index, step, pattern):
        """The nearest statement from index on in the direction of step that matches the pattern."""
        return next((i for i in range(index + step, len(self.lines) if step > 0 else -1, step)
                     if self.statements[i] and re.match(pattern, self.statements[i], re.IGNORECASE)), None)

    def after_definition(self, index):
        """The block after the M99 of the definition whose O block is at index, or the main program's O block
        when that comes first."""
        index += 1
        while index < len(self.words) and last_word(self.words[index], "M") != 99:
            if index == self.main:
                return index
            index += 1
        return index + 1


def first_program(path):
    """The number of the first O block among the first lines of a file, None when there is none."""
    with open(path, "rb") as f:
        for _, line in zip(range(FIRST_LINES), f):
            text = line.decode("latin-1")
            words = read_words(CONTROL.split(text)[0].rstrip("".join(map(chr, range(33)))))
            if words and words[0][0] == "O":
                return int(words[0][1])
    return None


def program_file(folder, number):
    """The file of the folder that holds program O number: one named O1234 or 1234 first, then one whose first
    O block is that number; None when there is neither."""
    names = sorted(n for n in os.listdir(folder) if os.path.isfile(os.path.join(folder, n)))
    by_name = [n for n in names if re.fullmatch(r"[Oo]?0*%d" % number, os.path.splitext(n)[0])]
    found = by_name[0] if by_name else next((n for n in names if first_program(os.path.join(folder, n)) == number),
                                            None)
    return found and os.path.join(folder, found)


class Files:
    """The NC file and the files of its folder that calls reach, each read once."""

    def __init__(self, path):
        self.main = Source(path)
        self.found = {}

    def find(self, number, caller):
        """(source, program, first block) of program O number called from the Source caller: in the caller's
        file, the NC file, then the NC file's folder; None when it is nowhere."""
        if number is None:
            return None
        for source in (caller, self.main):
            if number in source.starts:
                return source, source.starts[number], source.starts[number] + 1
        if number not in self.found:
            path = program_file(os.path.dirname(self.main.path) or ".", number)
            self.found[number] = path and Source(path)
        source = self.found[number]
        if not source:
            return None
        start = source.starts.get(number)
        return (source, "main", 0) if start is None else (source, start, start + 1)


class Call:
    """One call level: where the caller goes on and with which locals, where each run of the callee starts, and
    the locals its arguments set (None for M98 and M97, which share the caller's)."""

    def __init__(self, caller, back, runs, start, arguments, modal):
        self.source, self.program, self.called_at, self.locals = caller
        self.back, self.runs, self.start, self.arguments, self.modal = back, runs, start, arguments, modal


class Execution:
    """The way of one run through the programs of the NC file and of the files its calls reach."""

    def __init__(self, path, inch=False, calculator=False):
        self.files = Files(path)
        self.macro, self.run, self.calculator = Macro(), Run(inch), calculator
        self.macro.work_offsets = self.run
        self.calls = []
        self.modal = None  # (number, repeats, arguments) of the G66 in force
        self.source, self.program, self.index = self.files.main, "main", 0

    def follow(self):
        while self.index < len(self.source.words) or self.calls:
            if self.index >= len(self.source.words):  # a program without M99 runs to the end of its file
                self.leave()
            elif not self.step():
                break
        return self.run

    def call(self, found, runs, arguments=None, modal=False):
        """Enters the program found (source, program, first block) for runs runs; False when there is nothing to
        enter or the calls nest too deep."""
        macros = sum(call.arguments is not None for call in self.calls)
        if found is None or runs <= 0 or len(self.calls) >= MAX_CALL_DEPTH or \
                arguments is not None and macros >= MAX_MACRO_DEPTH:
            return False
        caller = (self.source, self.program, self.index, self.macro.locals)
        self.calls.append(Call(caller, self.index + 1, runs - 1, found, arguments, modal))
        self.begin(self.calls[-1])
        return True

    def begin(self, call):
        """One run of the callee, from the arguments again."""
        self.source, self.program, self.index = call.start
        if call.arguments is not None:
            self.macro.locals = dict(call.arguments)

    def leave(self, back=None):
        call = self.calls.pop()
        self.source, self.program, self.macro.locals = call.source, call.program, call.locals
        self.index = call.back if back is None else back

    def statement(self, text):
        """The block after a statement; None when the run's drawing stops there."""
        source, index = self.source, self.index
        kind, n, holds = self.macro.statement(text)
        if kind == "END":  # back to its DO line, which reads its condition again
            back = source.matching(index, -1, r"(WHILE.*)?DO[ \t]*%d[ \t]*$" % n)
            return index + 1 if back is None else back
        if kind == "DO":
            end = source.matching(index, 1, r"END[ \t]*%d[ \t]*$" % n)
            return None if end is None else index + 1 if holds else end + 1
        return source.numbered(n, self.program, index) if kind == "GOTO" else index + 1

    def step(self):
        """Runs the block at self.index; False when the run's drawing ends there."""
        source, index = self.source, self.index
        words = source.words[index]
        if self.calls and source is self.files.main and index == source.main:
            self.leave()  # a called program without M99 ends at the main program's O block
            return True
        if not self.calls and index != source.main and words and words[0][0] == "O" and \
                int(words[0][1]) in source.named:
            self.index = source.after_definition(index)  # a called definition is left out where it stands
            return True
        try:
            if source.statements[index] is not None:
                self.index = self.statement(source.statements[index])
                return self.index is not None
            run = self.run
            units = Units(run.mode["units"] == 20, self.calculator, run.polar is not None, run.mode["plane"])
            block = read_words(*source.lines[index], self.macro, self.run.mode["cycle"] != 80, units)
        except (ArithmeticError, ValueError, TypeError):  # a macro error or alarm stops the drawing here
            return False
        codes = g_codes(block)
        if codes & {65, 66}:  # a call block moves nothing
            number, runs, arguments = macro_call(block)
            if 66 in codes:
                self.modal = number, runs, arguments
            if 66 in codes or not self.call(self.files.find(number, source), runs, arguments):
                self.index += 1
            return True
        self.run.block(block)
        if 67 in codes:
            self.modal = None
        m, p, count = last_word(block, "M"), last_word(block, "P"), last_word(block, "L")
        if m in (2, 30):
            return False
        if m == 98 and p is not None:
            number, repeats = call_of(block, source.starts)
            if self.call(self.files.find(number, source), repeats):
                return True
        elif m == 97 and p is not None:
            target = source.numbered(int(p), self.program, index)
            found = None if target is None else (source, self.program, target)
            if self.call(found, 1 if count is None else int(count)):
                return True
        elif m == 99 and self.calls and p is not None:
            call = self.calls[-1]
            back = call.source.numbered(int(p), call.program, call.called_at)
            if back is not None:
                self.leave(back)
            return back is not None
        elif m == 99 and self.calls and self.calls[-1].runs > 0:
            self.calls[-1].runs -= 1
            self.begin(self.calls[-1])
            return True
        elif m == 99 and self.calls:
            self.leave()
            return True
        elif self.modal and set(l for l, _, _ in block) & set("XYZ") and not codes & {4, 10, 52, 92} and \
                not any(call.modal for call in self.calls):
            number, runs, arguments = self.modal  # the G66 call after a block that moves
            if self.call(self.files.find(number, source), runs, arguments, modal=True):
                return True
        self.index += 1
        return True


def expected_drawing(path, options=()):
    """The Drawing of the NC file at path as plotra-convert draws it with the options (--inch starts in inch,
    --calculator-decimals reads a number without a point as a whole unit): the entities in drawing order (the
    centre lines last), the bounding box (xmin, xmax, ymin, ymax) of the path, None when it never leaves the
    origin, and the minutes."""
    run = Execution(path, "--inch" in options, "--calculator-decimals" in options).follow()
    xs, ys = zip(*run.path)
    box = min(xs), max(xs), min(ys), max(ys)
    if box[0] == box[1] and box[2] == box[3]:
        return Drawing(run.entities, None, run.minutes)
    run.add(CENTRE, "LINE", [[box[0], 0.0, 0.0], [box[1], 0.0, 0.0]])
    run.add(CENTRE, "LINE", [[0.0, box[2], 0.0], [0.0, box[3], 0.0]])
    return Drawing(run.entities, box, run.minutes)
