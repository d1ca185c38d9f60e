"""What the drawing of an NC program must hold, worked out from the NC text alone.

A second, deliberately plain reading of Plotra's dialect: words (any case, comments anywhere, blanks after a
letter, ";", a skip slash, ":" program numbers, LinuxCNC-only lines left undrawn), implied decimals, G91, the
modal groups, the non-modal X, linear and circular moves (centre words or R), helices and arcs out of the XY plane
as 3D polylines, canned-cycle holes as a machine drills them, extents, machining time and in-file M98/M99
subprograms. It shares no code with the converter, so a drawing that changes shows up as a difference between the
two. It yields the entities per (layer, type), the three information texts, the polylines and the holes.
"""
import collections
import math
import re
from fractions import Fraction

RAPID, COMPENSATED, UNCOMPENSATED = "早送り", "補正あり", "補正無し"
CYCLE, CENTRE, INFO = "固定サイクル", "中心線", "情報"

UNSET = -99999.0
ADDRESS = set("GONXYZABCIJKFSTHDMRQPL")
IMPLIED_DECIMALS = "ABCIJKQRXYZ"
PIECE = 255
MAX_CALL_DEPTH = 4
RAPID_RATE = 5000.0
DEG = 0.017453292519943295
START = {"other": 0, "nonmodal": 92, "motion": 0, "plane": 17, "distance": 90, "compensation": 40, "length": 49,
         "cycle": 80, "return": 98, "work": 54, "O": 1000, "N": 1, "X": UNSET, "Y": UNSET, "Z": UNSET,
         "A": 0, "B": 0, "C": 0, "I": 0, "J": 0, "K": 0,
         "F": 10, "S": 10, "T": 0, "H": 0, "D": 0, "M": 9, "R": 5, "Q": 1, "P": 2000, "L": 1}
G_GROUPS = [("nonmodal", {4, 28, 29, 30, 52, 53, 92}), ("motion", {0, 1, 2, 3, 33}), ("plane", {17, 18, 19}),
            ("distance", {90, 91}), ("compensation", {40, 41, 42}), ("length", {43, 44, 49}),
            ("cycle", {73, 74, 76} | set(range(80, 90))), ("return", {98, 99}), ("work", set(range(54, 60)))]
# Plane axes, centre offsets and the axis normal to the plane.
PLANES = {17: ("X", "Y", "I", "J", "Z"), 18: ("X", "Z", "I", "K", "Y"), 19: ("Y", "Z", "J", "K", "X")}

Drawing = collections.namedtuple("Drawing", "entities texts polylines holes")


def slot_of(letter, value):
    if letter != "G":
        return letter
    code = int(value)
    return next((slot for slot, codes in G_GROUPS if code in codes), "other")


NUMBER = re.compile(r"[-+]?([0-9]+(\.[0-9]*)?|\.[0-9]*)")
O_WORD = re.compile(r"[Oo][ \t]*(<|(%s)[ \t]*(sub|endsub|call|return|do|while|endwhile|if|elseif|else|endif|repeat|"
                    r"endrepeat|break|continue)(?![A-Za-z]))" % NUMBER.pattern, re.IGNORECASE)


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


def read_words(text, in_comment=False):
    """The (letter, value, number as written) words of one block, in reading order; the block text is already
    cleaned. A piece that continues a comment left open by the piece before it is read from the comment's
    end."""
    text = text[:PIECE]
    if not in_comment and text.lstrip(" \t")[:1] in ("-", "%"):
        return []
    words, pos = [], block_start(text, in_comment)
    while pos < len(text) and text[pos] != ";":
        letter = "O" if text[pos] == ":" else text[pos].upper()
        if letter not in ADDRESS:
            break
        if text[pos] in "Oo" and O_WORD.match(text, pos):
            return []
        number = NUMBER.match(text, len(text) - len(text[pos + 1:].lstrip(" \t")))
        if not number:
            break
        digits = number.group(0)
        written = float(digits) if re.search("[0-9]", digits) else 0.0
        value = written
        if letter in IMPLIED_DECIMALS and "." not in digits:
            value = float(Fraction(digits) / 1000)
        words.append((letter, value, written))
        pos = skip_blanks_and_comments(text, number.end())
    if pos < len(text) and text[pos] != ";" and is_linuxcnc(text[pos:]):
        return []
    return words


def last_word(words, letter):
    values = [value for l, value, _ in words if l == letter]
    return values[-1] if values else None


class Machine:
    """The modal state of one run and the drawing it makes so far."""

    def __init__(self):
        self.words = dict(START)
        self.previous = dict(START)
        self.present = set()
        self.written = {}
        self.motion_code = 0
        self.cycle = self.compensation = False
        self.rapid = True
        self.arc = None
        self.feed = self.total = self.line_angle = 0.0
        self.initial_level = self.r_level = self.held_depth = 0.0
        self.bottom = None
        self.move = dict(sx=0.0, sy=0.0, sz=0.0, ex=0.0, ey=0.0, ez=0.0)
        self.extents = [9999.0, -9999.0, 9999.0, -9999.0]
        self.entities = collections.Counter()
        self.polylines, self.holes = [], []
        self.load("G90G00X0.0Y0.0Z0.0")

    def w(self, slot):
        return self.words[slot]

    def layer(self):
        return COMPENSATED if self.compensation else UNCOMPENSATED

    def load(self, text, in_comment=False):
        self.previous = dict(self.words)
        for letter in "IJK":
            self.words[letter] = 0.0
        self.present = {"motion"} if "motion" in self.present else set()
        self.written = {}
        for letter, value, written in read_words(text, in_comment):
            slot = slot_of(letter, value)
            if slot == "motion":
                self.words["cycle"] = 80
                self.present.add("cycle")
                self.motion_code = int(value)
            self.words[slot] = value
            self.present.add(slot)
            incremental = self.words["distance"] == 91
            if incremental and slot in ("X", "Y", "Z", "A", "B", "C"):
                self.words[slot] += self.previous[slot]
            self.written[letter] = (value, written, incremental)
        self.interpret()

    def interpret(self):
        if "cycle" in self.present:
            active = self.w("cycle") != 80
            if active and not self.cycle:
                self.initial_level = self.r_level = self.previous["Z"]
                self.bottom = None
            self.cycle = active
        if self.cycle:
            self.drill()  # before the block's F is taken: with no feed yet, the depth waits for the next hole
        if "F" in self.present:
            self.feed = self.w("F")
        if "compensation" in self.present:
            self.compensation = self.w("compensation") != 40
        if self.cycle:
            return
        if "nonmodal" in self.present and "X" in self.present:
            # The converter loads a block of X alone at the former X; under G91 it writes an increment of 0.
            former = self.previous["X"]
            self.words["X"] = former
            self.load("X%.5f" % (0.0 if self.w("distance") == 91 else former))
        motion = self.w("motion")
        if "motion" in self.present:
            self.rapid = motion == 0
            if self.rapid:
                self.linear_move()
        if motion == 1:
            self.linear_move()
        if motion > 1:
            self.circular_move()
        if "X" in self.present and "nonmodal" not in self.present:
            self.fold(0, self.w("X"))
        if "Y" in self.present:
            self.fold(2, self.w("Y"))

    def drill(self):
        """The holes of one block in cycle mode; the tool ends at the return level of the last one."""
        tool = [self.previous[a] for a in "XYZ"]
        if "R" in self.written:
            value, _, incremental = self.written["R"]
            self.r_level = self.initial_level + value if incremental else value
        if "Z" in self.written:
            value, _, incremental = self.written["Z"]
            self.bottom = (value, incremental)
        self.words["Z"] = tool[2]
        if not self.present & {"X", "Y", "Z", "R"}:
            return
        count = self.repeats()
        if self.bottom is None or count == 0:
            self.words["X"], self.words["Y"] = tool[:2]
            return
        bottom = self.r_level + self.bottom[0] if self.bottom[1] else self.bottom[0]
        step = [self.written[a][0] if a in self.written and self.written[a][2] else 0.0 for a in "XY"]
        hole = [self.w("X"), self.w("Y")]
        for n in range(count):
            if n:
                hole = [hole[0] + step[0], hole[1] + step[1]]
            distance = math.hypot(hole[0] - tool[0], hole[1] - tool[1])
            if distance != 0:
                self.entities[(RAPID, "LINE")] += 1
                self.total += distance / RAPID_RATE
            self.entities.update([(RAPID, "LINE"), (CYCLE, "LINE"), (CYCLE, "CIRCLE")])
            self.holes.append((hole[0], hole[1], self.r_level, bottom))
            self.charge_hole(abs(self.r_level - bottom))
            self.fold(0, hole[0])
            self.fold(2, hole[1])
            tool = hole + [self.initial_level if self.w("return") == 98 else self.r_level]
        self.words["X"], self.words["Y"], self.words["Z"] = tool

    def repeats(self):
        """K (or L) of a drilling block: a count as written, half away from zero, at most 9999."""
        letter = "K" if "K" in self.written else "L" if "L" in self.written else None
        if letter is None:
            return 1
        written = self.written[letter][1]
        return min(int(math.copysign(math.floor(abs(written) + 0.5), written)), 9999)

    def charge_hole(self, depth):
        if self.feed == 0:
            self.held_depth = depth
        else:
            self.total += (depth + self.held_depth) / self.feed
            self.held_depth = 0.0
        if int(self.w("cycle")) == 83 and self.w("Q") != 0:
            self.total += depth / self.w("Q") * 0.2 / RAPID_RATE

    def charge(self, length):
        rate = RAPID_RATE if self.rapid else self.feed
        self.total += length / (rate if rate != 0 else 1.0)

    def direction(self, x0, y0, x1, y1):
        dx, dy = x1 - x0, y1 - y0
        if dy == 0 and dx != 0:
            self.line_angle = 0.0 if dx > 0 else 180 * DEG
        elif dx == 0 and dy != 0:
            self.line_angle = 90 * DEG if dy > 0 else 270 * DEG
        elif dx != 0:
            self.line_angle = math.atan(dy / dx) + (math.pi if dx < 0 else 2 * math.pi if dy < 0 else 0.0)
        return math.sqrt(dx * dx + dy * dy)

    def linear_move(self):
        home = {"X": 0.0, "Y": 0.0, "Z": 200.0}
        start = [home[a] if self.previous[a] == UNSET else self.previous[a] for a in "XYZ"]
        end = [home[a] if self.w(a) == UNSET else self.w(a) for a in "XYZ"]
        self.move = dict(zip(("sx", "sy", "sz", "ex", "ey", "ez"), start + end))
        plane = self.direction(start[0], start[1], end[0], end[1])
        self.charge(math.sqrt(plane * plane + (start[2] - end[2]) ** 2))

    def circular_move(self):
        self.arc = None
        code, plane = self.motion_code, int(self.w("plane"))
        if code in (2, 3) and not self.present & set("XYZIJKR"):
            return  # a G02/G03 block that names no axis moves nothing
        u, v, i, j, normal = PLANES[plane]
        u0, v0, u1, v1 = self.previous[u], self.previous[v], self.w(u), self.w(v)
        di, dj = self.w(i), self.w(j)
        if code in (2, 3) and "R" in self.present and i not in self.present and j not in self.present:
            if u0 == u1 and v0 == v1:
                return
            di, dj = self.centre_from_r(u0, v0, u1, v1)
        cu, cv, r = u0 + di, v0 + dj, math.sqrt(di * di + dj * dj)
        self.direction(cu, cv, u0, v0)
        start = self.line_angle
        self.direction(cu, cv, u1, v1)
        end = self.line_angle if self.line_angle != 0 else 2 * math.pi
        first = start
        g18 = plane == 18
        if g18:
            start, end = end, start
        d = end - start
        direction = -1 if code == 2 else 1
        sweep = abs(d) if (d > 0) - (d < 0) == direction else 2 * math.pi - abs(d)
        sweep = sweep if sweep != 0 else 2 * math.pi
        self.charge(abs(r * sweep))
        if code in (2, 3) and (plane != 17 or self.previous[normal] != self.w(normal)):
            # Seen from the plus end of the normal G02 turns clockwise: in G18 counter-clockwise in (X, Z).
            sense = (1 if code == 3 else -1) * (-1 if g18 else 1)
            self.polyline(u, v, normal, cu, cv, r, first, sense * sweep)
            return
        full = self.w("X") == self.previous["X"] and self.w("Y") == self.previous["Y"]
        self.arc = "CIRCLE" if full else "ARC"
        if full and code != 33:
            for axis, centre in ((0, cu), (2, cv)):
                self.fold(axis, centre - r)
                self.fold(axis, centre + r)
        else:
            # The extents of an arc: its ends and the quadrant points that it passes in its turning.
            sense = ({2: 1, 3: -1, 33: -1} if g18 else {2: -1, 3: 1}).get(code, 0)
            self.fold_arc(u, cu, cv, r, u0, v0, u1, v1, end if g18 else start, start if g18 else end, sense)

    def polyline(self, u, v, normal, cu, cv, r, angle, turn):
        """A 3D polyline from the exact start to the exact end, evenly spaced, at most 5 degrees apart."""
        start = {a: self.previous[a] for a in "XYZ"}
        end = {a: self.w(a) for a in "XYZ"}
        segments = max(4, math.ceil(abs(turn) / (5 * DEG) - 1e-9))
        points = [start]
        for n in range(1, segments):
            at = angle + turn * n / segments
            points.append({u: cu + r * math.cos(at), v: cv + r * math.sin(at),
                           normal: start[normal] + (end[normal] - start[normal]) * n / segments})
        points.append(end)
        for point in points:
            self.fold(0, point["X"])
            self.fold(2, point["Y"])
        self.arc = "POLYLINE"
        ends = [tuple(p[a] for a in "XYZ") for p in (start, end)]
        self.polylines.append((self.layer(), len(points), ends[0], ends[1]))

    def centre_from_r(self, u0, v0, u1, v1):
        du, dv, r = u1 - u0, v1 - v0, abs(self.w("R"))
        d = math.sqrt(du * du + dv * dv)
        h2 = r * r - (d / 2) * (d / 2)
        h = math.sqrt(h2) if h2 > 0 else 0.0
        counter_clockwise = (self.motion_code == 3) != (self.w("plane") == 18)
        s = 1 if counter_clockwise == (self.w("R") > 0) else -1
        cu, cv = u0 + du / 2 - s * h * dv / d, v0 + dv / 2 + s * h * du / d
        return cu - u0, cv - v0

    def fold_arc(self, u, cu, cv, r, us, vs, ue, ve, start, end, sense):
        def quadrant(angle):
            degrees = angle * 57.29577951308232
            return 1 if 0 <= degrees < 90 else 2 if 90 <= degrees < 180 else 3 if 180 <= degrees < 270 else 4

        qs, qe = quadrant(start), quadrant(end)
        passed = []
        if sense and qs != qe:
            q = qs
            while q != qe:
                passed.append((q - 1) * 90 if sense < 0 else q * 90 % 360)
                q = (q - 2) % 4 + 1 if sense < 0 else q % 4 + 1
        elif (sense < 0 and end >= start) or (sense > 0 and start >= end):
            passed = [0, 90, 180, 270]
        for boundary in passed:
            if boundary == 0:
                us = cu + r
            elif boundary == 90:
                vs = cv + r
            elif boundary == 180:
                ue = cu - r
            else:
                ve = cv - r
        axis = 0 if u == "X" else 2
        self.fold(axis, max(us, ue))
        self.fold(axis, min(us, ue))
        if self.w("plane") == 17:
            self.fold(2, max(vs, ve))
            self.fold(2, min(vs, ve))

    def fold(self, axis, value):
        low, high = self.extents[axis], self.extents[axis + 1]
        low, high = min(low, value), max(high, value)
        self.extents[axis] = 99999.0 if abs(low) == 99999 else low
        self.extents[axis + 1] = -99999.0 if abs(high) == 99999 else high

    def draw(self):
        """The entities of one line's move; a block in cycle mode drew its holes as it drilled them."""
        if self.cycle:
            return
        m = self.move
        moved = (m["sx"], m["sy"], m["sz"]) != (m["ex"], m["ey"], m["ez"])
        if self.motion_code == 0 and moved:
            self.entities[(RAPID, "LINE")] += 1
        elif self.motion_code == 1 and moved:
            self.entities[(self.layer(), "LINE")] += 1
        elif self.motion_code > 1 and self.arc:
            self.entities[(self.layer(), self.arc)] += 1

    def information(self):
        xmin, xmax, ymin, ymax = self.extents
        if xmin == xmax and ymin == ymax:
            return []
        self.entities[(CENTRE, "LINE")] += 2
        self.entities[(INFO, "TEXT")] += 3
        scale = 150.0 / (abs(min(xmin, ymin)) + abs(max(xmax, ymax)))
        hours = int(self.total * (1 / 60))
        minutes = int(self.total - hours * 60)
        return ["Xmin:%s Xmax:%s" % (rounded(xmin), rounded(xmax)),
                "Ymin:%s Ymax:%s" % (rounded(ymin), rounded(ymax)),
                "TotalTime:%dH%dm Scale:%s" % (hours, minutes, rounded(scale))]


def rounded(value):
    """One decimal, half away from zero, without trailing zeros."""
    tenths = int(float(abs(Fraction(value)) * 10 + Fraction(1, 2)))
    text = "%.15g" % float(Fraction(tenths if value > 0 else -tenths, 10))
    return "0" if text == "-0" else text


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


def expected_drawing(path):
    """The Drawing of the NC file at path: entities per (layer, type), information texts, polylines as
    (layer, vertices, start, end) in drawing order and holes as (x, y, R level, bottom)."""
    lines = list(pieces(path))
    words = [read_words(*line) for line in lines]
    numbers = [int(w[0][1]) if w and w[0][0] == "O" else None for w in words]
    starts = {}
    for index, number in enumerate(numbers):
        if number is not None:
            starts.setdefault(number, index)
    calls = [call_of(w, starts) for w in words if last_word(w, "M") == 98]
    named = {number for number, _ in calls if number is not None}

    def returns(index):
        return last_word(words[index], "M") == 99

    machine = Machine()

    def process(index, stack):
        machine.load(*lines[index])
        machine.draw()
        if last_word(words[index], "M") != 98:
            return
        number, repeats = call_of(words[index], starts)
        if number not in starts or len(stack) >= MAX_CALL_DEPTH or (stack and stack[-1] == number):
            return
        for _ in range(repeats):
            line = starts[number] + 1
            while line < len(lines):
                process(line, stack + [number])
                if returns(line):
                    break
                line += 1

    index = 0
    while index < len(lines):
        if numbers[index] in named:
            index += 1
            while index < len(lines) and not returns(index):
                index += 1
        else:
            process(index, [])
        index += 1
    texts = machine.information()  # adds the centre lines and the texts to the entities
    return Drawing(dict(machine.entities), texts, machine.polylines, machine.holes)


def call_of(words, starts):
    """(subprogram number, repeats) of an M98 block; the number is None without P."""
    p, count = last_word(words, "P"), last_word(words, "L")
    if p is None:
        return None, 0
    number, repeats = int(p), 1
    if number > 9999 and number not in starts:
        number, repeats = number % 10000, number // 10000
    return number, int(count) if count is not None else repeats
