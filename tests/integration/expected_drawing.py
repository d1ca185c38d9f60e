"""Where the tool of an NC program goes, and so what its drawing must hold, worked out from the NC text alone.

The words are read by the plain rules of Plotra's dialect: any case, comments anywhere, blanks after a letter,
";", a skip slash, ":" program numbers, LinuxCNC-only lines left undrawn, numbers without a point in thousandths
(ten-thousandths of an inch under G20, every length in mm as G20 and G21 switch). The blocks are then followed
as a machine moves: straight moves, arcs about their centre in their turning, helices, canned-cycle holes,
M97/M98/M99 calls, G65 and G66 macro calls with their arguments, programs found in other files of the NC file's
folder, and the main program's end at M30 or M02, with the Custom Macro B variables, expressions and statements
worked out by a small evaluator of its own. The drawing is predicted from that geometry alone: each entity with
its points, the extents as the bounding box of the path, and the machining time.
"""
import collections
import math
import operator
import os
import re

RAPID, COMPENSATED, UNCOMPENSATED = "早送り", "補正あり", "補正無し"
CYCLE, CENTRE, INFO = "固定サイクル", "中心線", "情報"

ADDRESS = set("GONXYZABCIJKFSTHDMRQPL")
ARGUMENT_ONLY = set("EUVW")  # address letters only as the arguments of a G65 or G66 block
INCH = 25.4
PIECE = 255
MAX_CALL_DEPTH = 10
MAX_MACRO_DEPTH = 5
FIRST_LINES = 20  # a file in the folder names its program in an O line among these
# Argument list I: the local each letter of a G65 or G66 block sets. I, J and K beyond the first triple go on
# from #7 in threes (list II).
ARGUMENTS = dict(zip("ABCIJKDEFHMQRSTUVWXYZ", (1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 13, 17, 18, 19, 20, 21, 22, 23,
                                                  24, 25, 26)))
RAPID_RATE = 5000.0
TURN = 2 * math.pi
G_GROUPS = {"nonmodal": {4, 28, 29, 30, 52, 53, 92}, "motion": {0, 1, 2, 3, 33}, "plane": {17, 18, 19},
            "distance": {90, 91}, "compensation": {40, 41, 42}, "cycle": {73, 74, 76} | set(range(80, 90)),
            "return": {98, 99}, "units": {20, 21}}
# The plane's two axes and its normal as a right-handed triple: seen from the plus end of the normal, G03 turns
# counter-clockwise from the first axis toward the second in every plane.
PLANES = {17: (0, 1, 2), 18: (2, 0, 1), 19: (1, 2, 0)}

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
    """The variables of a run (the locals #1-#33 of the call level in force and the commons; any other reads
    null), and expressions and statements read token by token from self.text at self.pos. A value is a float,
    None when null, or a bool from a comparison. An error in an expression or a #3000 alarm raises an
    ArithmeticError or a ValueError: the drawing stops."""

    def __init__(self):
        self.locals, self.commons = {}, {}

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
            number = self.index()
            return self.variables(number).get(number)
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
    0.001 degree) or, with calculator-type input, a whole unit."""

    def __init__(self, inch=False, calculator=False):
        self.inch, self.calculator = inch, calculator

    def words(self, raw, cycle):
        codes = {v for l, v, _ in raw if l == "G"}
        inch = next((v == 20 for l, v, _ in reversed(raw) if l == "G" and v in (20, 21)), self.inch)
        call = bool(codes & {65, 66})
        counting = not call and (cycle or bool(codes & (G_GROUPS["cycle"] - {80})))
        words = []
        for letter, number, kind in raw:
            value = self.value(number, kind, self.role(letter, call, counting), inch)
            words.append((letter, value, value if kind == "macro" else number))
        return words

    @staticmethod
    def role(letter, call, counting):
        """length: in steps and scaled; feed: as written and scaled; angle: in 0.001 steps, never scaled;
        argument: in steps, kept in the program's unit (the macro scales it where it uses it); plain: as
        written; integer: a count or a number; code: a G code."""
        if letter == "G":
            return "code"
        if letter in "MTDHSPLNO" or letter == "K" and counting:
            return "integer"
        if call:
            return "plain" if letter in "FE" else "argument"
        return "angle" if letter in "ABC" else "feed" if letter == "F" else "length"

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


def last_word(words, letter):
    values = [value for l, value, _ in words if l == letter]
    return values[-1] if values else None


class Run:
    """The tool's way through the blocks of one run, and the entities, path points and time it makes."""

    def __init__(self, inch=False):
        # Every run starts with a rapid from the home position (0, 0, 200) down to the origin, not drawn.
        self.at = [0.0, 0.0, 0.0]
        self.path = [(0.0, 0.0)]
        self.minutes = 200 / RAPID_RATE
        self.mode = {"motion": 0, "plane": 17, "distance": 90, "compensation": 40, "cycle": 80, "return": 98,
                     "units": 20 if inch else 21}
        self.feed, self.q, self.held = 0.0, 1.0, 0.0
        self.levels = None  # initial level, R level, bottom, whether the bottom is an increment from R
        self.entities = []

    def add(self, layer, kind, points, radius=None):
        self.entities.append(Entity(layer, kind, points, radius))

    def go(self, point):
        self.at = point
        self.path.append(tuple(point[:2]))

    def layer(self):
        return UNCOMPENSATED if self.mode["compensation"] == 40 else COMPENSATED

    def block(self, words):
        target, written, groups = list(self.at), {}, set()
        for letter, value, number in words:
            if letter == "G":
                group = next((g for g, codes in G_GROUPS.items() if int(value) in codes), None)
                if group == "motion":  # a motion word ends a canned cycle
                    self.mode["cycle"] = 80
                    groups.add("cycle")
                if group:
                    self.mode[group] = int(value)
                    groups.add(group)
                continue
            written[letter] = (value, number)
            if letter in "XYZ":
                axis = "XYZ".index(letter)
                target[axis] = value + (self.at[axis] if self.mode["distance"] == 91 else 0.0)
        if "cycle" in groups:
            self.levels = None if self.mode["cycle"] == 80 else self.levels or [self.at[2], self.at[2], None, False]
        self.q = written.get("Q", (self.q,))[0]
        jump = "nonmodal" in groups and "X" in written
        if self.levels and not jump:
            self.drill(target, written)  # with the feed known before the block: a depth at F0 waits
        self.feed = abs(written.get("F", (self.feed,))[0])
        if jump:  # X of G92, G28 and the like is no target, and the tool does not move
            self.at = [self.at[0]] + target[1:]
        elif self.levels is None and self.mode["motion"] < 2:
            self.line(target)
        elif self.levels is None:
            self.arc(target, written, self.mode["motion"])

    def line(self, end):
        rapid = self.mode["motion"] == 0
        if end != self.at:
            self.add(RAPID if rapid else self.layer(), "LINE", [end, self.at])
        self.charge(math.dist(self.at, end), rapid)
        self.go(end)

    def charge(self, length, rapid=False):
        rate = RAPID_RATE if rapid else self.feed
        self.minutes += length / (rate or 1.0)

    def arc(self, end, written, code):
        u, v, n = PLANES[self.mode["plane"]]
        start, offsets = self.at, ["IJK"[u], "IJK"[v]]
        if code != 33 and not set(written) & set("XYZIJKR"):
            return  # a G02/G03 block that names no axis moves nothing
        if code != 33 and "R" in written and not set(offsets) & set(written):
            if (end[u], end[v]) == (start[u], start[v]):
                self.at = end  # no arc has the same start and end and a radius
                return
            cu, cv = centre_from_radius(start[u], start[v], end[u], end[v], written["R"][0], code == 3)
        else:
            cu, cv = (start[a] + written.get(letter, (0.0,))[0] for a, letter in zip((u, v), offsets))
        radius = math.hypot(start[u] - cu, start[v] - cv)
        a0 = math.atan2(start[v] - cv, start[u] - cu)
        a1 = math.atan2(end[v] - cv, end[u] - cu)
        ccw = code != 2
        sweep = (a1 - a0) % TURN if ccw else -((a0 - a1) % TURN)
        # A control reads thousandths: an end within half of one of the start in the plane is a whole turn.
        if sweep == 0 or (abs(end[u] - start[u]) < 5e-4 and abs(end[v] - start[v]) < 5e-4):
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
        self.go(end)

    def drill(self, target, written):
        """The holes of one block in cycle mode; the tool ends at the return level over the last one."""
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
        step = [written[a][0] if incremental and a in written else 0.0 for a in "XY"]
        for k in range(count):
            hole = [target[0] + step[0] * k, target[1] + step[1] * k, self.at[2]]
            if hole != self.at:
                self.add(RAPID, "LINE", [hole, self.at])
            self.charge(math.dist(hole, self.at), rapid=True)
            self.add(RAPID, "LINE", [hole[:2] + [r_level], hole])
            self.add(CYCLE, "LINE", [hole[:2] + [r_level], hole[:2] + [bottom]])
            self.add(CYCLE, "CIRCLE", [hole[:2] + [bottom]])
            depth = abs(r_level - bottom)
            if self.feed == 0:
                self.held = depth
            else:
                self.minutes += (depth + self.held) / self.feed
                self.held = 0.0
            if self.mode["cycle"] == 83 and self.q != 0:
                self.minutes += depth / abs(self.q) * 0.2 / RAPID_RATE  # 0.2 per peck at the rapid rate
            self.go(hole[:2] + [levels[0] if self.mode["return"] == 98 else r_level])


def centre_from_radius(u0, v0, u1, v1, r, ccw):
    """The centre r from both ends: left of the chord for a counter-clockwise turn of R > 0 (the short way round),
    right of it when either is reversed; the midpoint when r is shorter than half the chord."""
    du, dv = u1 - u0, v1 - v0
    chord = math.hypot(du, dv)
    h = math.sqrt(max(r * r - chord * chord / 4, 0.0)) * (1 if ccw == (r > 0) else -1)
    return u0 + du / 2 - h * dv / chord, v0 + dv / 2 + h * du / chord


def pieces(path):
    """The lines as the run reads them: CR LF as LF, at most 255 bytes each, cleaned as the dispatch does, each
    with whether it starts inside a comment that the piece before it of the same line left open."""
    with open(path, "rb") as f:
        data = f.read().replace(b"\r\n", b"\n")
    pos, in_comment = 0, False
    while pos < len(data):
        end = data.find(b"\n", pos, pos + PIECE)
        end = min(pos + PIECE, len(data)) if end < 0 else end + 1
        text = data[pos:end].split(b"\0")[0].decode("latin-1")
        yield text.rstrip("".join(map(chr, range(33)))), in_comment
        if data[end - 1:end] == b"\n":
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


def programs(words, named):
    """Per block, the definition it lies in (the index of its O block; up to the next O block) and whether the
    main program reads it: everything but the definitions that M98, G65 or G66 name, from their O block to their
    M99."""
    definition, in_main, current, in_named = [], [], None, False
    for index, block in enumerate(words):
        is_o = bool(block) and block[0][0] == "O"
        if is_o:
            current, in_named = index, int(block[0][1]) in named
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
        self.definition, self.in_main = programs(self.words, self.named)

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
        """The block after the M99 of the definition whose O block is at index."""
        index += 1
        while index < len(self.words) and last_word(self.words[index], "M") != 99:
            index += 1
        return index + 1


def first_program(path):
    """The number of the first O block among the first lines of a file, None when there is none."""
    with open(path, "rb") as f:
        for _, line in zip(range(FIRST_LINES), f):
            words = read_words(line.split(b"\0")[0].decode("latin-1").rstrip("".join(map(chr, range(33)))))
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
        if not self.calls and words and words[0][0] == "O" and int(words[0][1]) in source.named:
            self.index = source.after_definition(index)  # a called definition is left out where it stands
            return True
        try:
            if source.statements[index] is not None:
                self.index = self.statement(source.statements[index])
                return self.index is not None
            units = Units(self.run.mode["units"] == 20, self.calculator)
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
