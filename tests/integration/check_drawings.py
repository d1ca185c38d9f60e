#!/usr/bin/python3
"""Converts the example programs and the public sample programs with plotra-convert and reads every drawing
back with ezdxf, a DXF reader that has nothing to do with Plotra: no audit errors, Japanese layer names, a few
coordinates worked out by hand from the examples, and for every program what expected_drawing.py works out from
the NC text by geometry: every entity in drawing order with its points (line ends, arc centres, radii and ends in
their turning, polyline vertices on the helix, hole levels), the extents, the scale and the machining time.

Usage: check_drawings.py CONVERTER EXAMPLES-DIR SAMPLES-DIR WORK-DIR
"""
import collections
import math
import os
import re
import subprocess
import sys
import unittest

import ezdxf

from expected_drawing import CENTRE, COMPENSATED, CYCLE, INFO, RAPID, UNCOMPENSATED, Entity, expected_drawing

CONVERTER, EXAMPLES, SAMPLES, WORK = sys.argv[1:5]
del sys.argv[1:5]
# The programs of work systems, offsets and transforms are compared once plotra-convert follows them.
TRANSFORMS_BUILT = True


def convert(nc_path, options=()):
    return convert_with_report(nc_path, options)[0]


def convert_with_report(nc_path, options=()):
    """The DXF file's path and the tool report printed on standard output."""
    name = os.path.splitext(os.path.basename(nc_path))[0] + "".join(options)
    dxf_path = os.path.join(WORK, name + ".dxf")
    result = subprocess.run([CONVERTER, "-q", *options, "-o", dxf_path, nc_path], capture_output=True)
    if result.returncode != 0:
        raise AssertionError("%s failed: %s" % (nc_path, result.stderr.decode("utf-8", "replace")))
    return dxf_path, result.stdout.decode("utf-8")


def read_clean(test, dxf_path):
    doc = ezdxf.readfile(dxf_path)
    auditor = doc.audit()
    test.assertEqual([str(e) for e in auditor.errors], [], dxf_path)
    return doc


def counts(entities):
    return dict(collections.Counter((entity.dxf.layer, entity.dxftype()) for entity in entities))


def point(vector):
    return tuple(vector)[:3]


def shape(entity):
    """The entity as an Entity of expected_drawing: its layer, type, points and radius."""
    kind = entity.dxftype()
    if kind == "LINE":
        return Entity(entity.dxf.layer, kind, [point(entity.dxf.start), point(entity.dxf.end)])
    if kind == "POLYLINE":
        assert entity.is_3d_polyline, "a POLYLINE without the 3D flag"
        return Entity(entity.dxf.layer, kind, [point(v.dxf.location) for v in entity.vertices])
    ends = [point(entity.start_point), point(entity.end_point)] if kind == "ARC" else []
    return Entity(entity.dxf.layer, kind, [point(entity.dxf.center)] + ends, entity.dxf.radius)


def alike(got, want):
    return (got[:2] == want[:2] and len(got.points) == len(want.points) and
            all(math.dist(p, q) < 1e-6 for p, q in zip(got.points, want.points)) and
            (want.radius is None or abs(got.radius - want.radius) < 1e-6))


def holes(doc):
    """(x, y, R level, bottom) of every feed line of a hole, sorted, to a micrometre's thousandth."""
    lines = [e for e in doc.modelspace() if e.dxf.layer == CYCLE and e.dxftype() == "LINE"]
    return sorted(tuple(round(v, 6) + 0.0 for v in (e.dxf.start.x, e.dxf.start.y, e.dxf.start.z, e.dxf.end.z))
                  for e in lines)


def vertical_rapids(doc):
    """(x, y, lower z, upper z) of every rapid line that only moves in Z, sorted."""
    return sorted((round(e.dxf.start.x, 6), round(e.dxf.start.y, 6)) + tuple(sorted((e.dxf.start.z, e.dxf.end.z)))
                  for e in doc.modelspace() if e.dxf.layer == RAPID and e.dxftype() == "LINE"
                  and (e.dxf.start.x, e.dxf.start.y) == (e.dxf.end.x, e.dxf.end.y))


def close(a, b):
    return all(math.isclose(p, q, rel_tol=1e-9, abs_tol=1e-9) for p, q in zip(a, b))


class Examples(unittest.TestCase):
    def test_contour(self):
        doc = read_clean(self, convert(os.path.join(EXAMPLES, "contour.nc")))
        self.assertEqual(counts(doc.modelspace()), {
            (RAPID, "LINE"): 3,
            (UNCOMPENSATED, "LINE"): 2,
            (COMPENSATED, "LINE"): 9,
            (COMPENSATED, "ARC"): 5,
            (CENTRE, "LINE"): 2,
            (INFO, "TEXT"): 3,
        })
        arcs = [e for e in doc.modelspace() if e.dxftype() == "ARC"]
        # G02 X20. Y80. I20. J0 from (0, 60): clockwise around (20, 60) from 180 to 90 degrees, written
        # counter-clockwise from 90 to 180.
        first = arcs[0]
        self.assertEqual((first.dxf.center.x, first.dxf.center.y, first.dxf.center.z), (20, 60, -5))
        self.assertEqual((first.dxf.radius, first.dxf.start_angle, first.dxf.end_angle), (20, 90, 180))
        texts = [e.dxf.text for e in doc.modelspace() if e.dxftype() == "TEXT"]
        self.assertEqual(texts[:2], ["Xmin:-20 Xmax:100", "Ymin:-20 Ymax:80"])
        # Scale 150 / (20 + 100) = 1.25, text height int(4 / 1.25) = 3, first text 2.4 heights below ymin.
        first_text = [e for e in doc.modelspace() if e.dxftype() == "TEXT"][0]
        self.assertEqual(first_text.dxf.height, 3)
        self.assertAlmostEqual(first_text.dxf.insert.y, -27.2)
        self.assertTrue(texts[2].endswith(" Scale:1.3"), texts[2])

    def test_drill_plate(self):
        doc = read_clean(self, convert(os.path.join(EXAMPLES, "drill-plate.nc")))
        self.assertEqual(counts(doc.modelspace()), {
            # Z50 and Z10 at the start, per hole a positioning and a rapid between R and the current Z, Z10
            # after the G99 row, Z50 at the end; the G00 Z10 after the first row finds the tool there already.
            (RAPID, "LINE"): 2 + 9 + 9 + 1 + 1,
            (CYCLE, "LINE"): 9,
            (CYCLE, "CIRCLE"): 9,
            (CENTRE, "LINE"): 2,
            (INFO, "TEXT"): 3,
        })
        # The G98 rows start from and return to the initial level 10; the G99 row returns to R2, so its second
        # and third rapid lines have zero length and the later G00 Z10 climbs from 2. G91 X20. moves along the
        # row and leaves R and Z as written under G90.
        self.assertEqual(holes(doc), sorted([(x, 20, 2, -15) for x in (20, 40, 60)] +
                                            [(x, 50, 2, -30) for x in (20, 40, 60)] +
                                            [(x, 80, 1, -12) for x in (20, 40, 60)]))
        self.assertEqual(vertical_rapids(doc), sorted(
            [(0, 0, 0, 50), (0, 0, 10, 50), (60, 50, 2, 10), (60, 80, 10, 50)] +
            [(x, 20, 2, 10) for x in (20, 40, 60)] + [(20, 50, 2, 10), (40, 50, 2, 2), (60, 50, 2, 2)] +
            [(x, 80, 1, 10) for x in (20, 40, 60)]))
        marks = [(round(c.dxf.center.x, 6), round(c.dxf.center.y, 6), c.dxf.radius)
                 for c in doc.modelspace() if c.dxftype() == "CIRCLE"]
        self.assertEqual(marks, [(20, 20, 4), (40, 20, 4), (60, 20, 4),
                                 (20, 50, 3), (40, 50, 3), (60, 50, 3),
                                 (20, 80, 2.5), (40, 80, 2.5), (60, 80, 2.5)])
        bottoms = [c.dxf.center.z for c in doc.modelspace() if c.dxftype() == "CIRCLE"]
        self.assertEqual(bottoms, [-15] * 3 + [-30] * 3 + [-12] * 3)

    def test_arcs_in_three_planes(self):
        doc = read_clean(self, convert(os.path.join(EXAMPLES, "arcs-three-planes.nc")))
        tally = counts(doc.modelspace())
        self.assertEqual(tally[(UNCOMPENSATED, "ARC")], 2)
        self.assertEqual(tally[(UNCOMPENSATED, "POLYLINE")], 2)
        self.assertEqual(tally[(UNCOMPENSATED, "CIRCLE")], 1)
        circle = [e for e in doc.modelspace() if e.dxftype() == "CIRCLE"][0]
        self.assertEqual((circle.dxf.center.x, circle.dxf.center.y, circle.dxf.radius), (60, 30, 10))
        # Half circles of radius 10 in 36 steps of 5 degrees. Seen from +Y, G18 G02 from X40 to X60 about X50
        # turns clockwise from Z toward X, through Z-10; seen from +X, G19 G03 from Y0 to Y20 about Y10 turns
        # counter-clockwise from Y toward Z, also through Z-10.
        g18, g19 = [[point(v.dxf.location) for v in e.vertices]
                    for e in doc.modelspace() if e.dxftype() == "POLYLINE"]
        self.assertEqual((len(g18), g18[0], g18[-1]), (37, (40, 0, 0), (60, 0, 0)))
        self.assertTrue(close(g18[18], (50, 0, -10)), g18[18])
        self.assertEqual((len(g19), g19[0], g19[-1]), (37, (60, 0, 0), (60, 20, 0)))
        self.assertTrue(close(g19[18], (60, 10, -10)), g19[18])

    def test_bracket(self):
        doc = read_clean(self, convert(os.path.join(EXAMPLES, "bracket.nc")))
        # Nine holes from three calls of O1001: per hole a rapid between R2 and the current Z, per call two
        # positionings (the first hole is where the tool stands) and a rapid up; the first rapid, five between
        # the rows and two of the outline. Four R10 arcs and seven lines under G41.
        self.assertEqual(counts(doc.modelspace()), {
            (RAPID, "LINE"): 9 + 3 * 3 + 1 + 5 + 2,
            (CYCLE, "LINE"): 9,
            (CYCLE, "CIRCLE"): 9,
            (COMPENSATED, "LINE"): 7,
            (COMPENSATED, "ARC"): 4,
            (UNCOMPENSATED, "LINE"): 2,
            (CENTRE, "LINE"): 2,
            (INFO, "TEXT"): 3,
        })
        # Every R10 arc turns a quarter circle about a centre 10 from both of its ends.
        arcs = [tuple(round(v, 9) for v in (e.dxf.center.x, e.dxf.center.y, e.dxf.radius))
                for e in doc.modelspace() if e.dxftype() == "ARC"]
        self.assertEqual(arcs, [(10, 40, 10), (50, 40, 10), (70, 30, 10), (90, 10, 10)])
        # Holes: 9 x 14 deep at F10 = 12.6 minutes; the first depth waits for the F of its own block and is
        # charged once, with the second hole. Outline: 311.1 long plus 10 down at F200 = 1.6; rapids 0.1.
        texts = [e.dxf.text for e in doc.modelspace() if e.dxftype() == "TEXT"]
        self.assertEqual(texts, ["Xmin:-10 Xmax:100", "Ymin:-10 Ymax:50", "TotalTime:0H14m Scale:1.4"])

    def test_cycles_and_helices(self):
        doc = read_clean(self, convert(os.path.join(EXAMPLES, "cycles-and-helices.nc")))
        # Rapids: two before the row, per hole a positioning and a rapid between R and the current Z, Z25, two
        # to the bore, Z25, the move to the edge and the last Z25. The M08 under G03 draws nothing.
        self.assertEqual(counts(doc.modelspace()), {
            (RAPID, "LINE"): 2 + 5 * 2 + 1 + 2 + 1 + 1 + 1,
            (CYCLE, "LINE"): 5,
            (CYCLE, "CIRCLE"): 5,
            (UNCOMPENSATED, "POLYLINE"): 4,
            (UNCOMPENSATED, "CIRCLE"): 1,
            (UNCOMPENSATED, "LINE"): 3,
            (CENTRE, "LINE"): 2,
            (INFO, "TEXT"): 3,
        })
        # G91 from X0 at the initial level 5: R level 5 - 3 = 2, bottom 2 - 14 = -12, five holes 15 apart.
        self.assertEqual(holes(doc), [(x, 10, 2, -12) for x in (15, 30, 45, 60, 75)])
        # G43 Z5. at X0; under G99 the tool waits at R2 between holes, so only the first hole's rapid reaches
        # up to 5, and the G00 Z25. climbs from 2.
        self.assertEqual([r for r in vertical_rapids(doc) if r[1] == 10],
                         [(0, 10, 0, 5), (15, 10, 2, 5)] + [(x, 10, 2, 2) for x in (30, 45, 60, 75)] +
                         [(75, 10, 2, 25)])
        drawn = [[point(v.dxf.location) for v in e.vertices]
                 for e in doc.modelspace() if e.dxftype() == "POLYLINE"]
        # Two full turns about (45, 40) of radius 10, 72 steps each, 3 down per turn; half way round the first
        # the tool is at X35 and Z1 - 1.5.
        self.assertEqual([(len(p), p[0], p[-1]) for p in drawn[:2]],
                         [(73, (55, 40, 1), (55, 40, -2)), (73, (55, 40, -2), (55, 40, -5))])
        self.assertTrue(close(drawn[0][36], (35, 40, -0.5)), drawn[0][36])
        # Quarter circles about Y70 Z-10 in 18 steps; the first passes 45 degrees at step 9.
        self.assertEqual([(len(p), p[0], p[-1]) for p in drawn[2:]],
                         [(19, (0, 70, 0), (0, 80, -10)), (19, (10, 80, -10), (10, 70, 0))])
        half = 10 * math.sqrt(0.5)
        self.assertTrue(close(drawn[2][9], (0, 70 + half, -10 + half)), drawn[2][9])
        circle = [e for e in doc.modelspace() if e.dxftype() == "CIRCLE" and e.dxf.layer == UNCOMPENSATED][0]
        self.assertEqual((circle.dxf.center.x, circle.dxf.center.y, circle.dxf.radius), (45, 40, 10))
        # Holes 14 deep at F120: 0.58 minutes; 2 turns and a circle of 62.8 at F300: 0.63; the quarter
        # circles 31.4 and three lines 25 at F200: 0.28; rapids under 0.1. Extents from the origin to the
        # last hole and the back edge: scale 150 / 80.
        texts = [e.dxf.text for e in doc.modelspace() if e.dxftype() == "TEXT"]
        self.assertEqual(texts, ["Xmin:0 Xmax:75", "Ymin:0 Ymax:80", "TotalTime:0H1m Scale:1.9"])

    def test_bolt_circle_macro(self):
        doc = read_clean(self, convert(os.path.join(EXAMPLES, "bolt-circle-macro.nc")))
        # Every 45 degrees on R30 about (50, 40) from 0: 30 cos 45 = 21.2132; COS[90], a hair off 0, rounds away.
        self.assertEqual(holes(doc), sorted((x, y, 2, -12) for x, y in (
            (80, 40), (71.213, 61.213), (50, 70), (28.787, 61.213), (20, 40), (28.787, 18.787), (50, 10),
            (71.213, 18.787))))
        texts = [e.dxf.text for e in doc.modelspace() if e.dxftype() == "TEXT"]
        self.assertEqual(texts, ["Xmin:0 Xmax:80", "Ymin:0 Ymax:70", "TotalTime:0H1m Scale:1.9"])

    def read_complete(self, name):
        """The drawing of an example whose report lists nothing left undrawn."""
        dxf_path, report = convert_with_report(os.path.join(EXAMPLES, name))
        self.assertNotIn("作図していないコード", report)
        return read_clean(self, dxf_path)

    def test_bolt_circles_called_from_another_file(self):
        doc = self.read_complete("bolt-circle-g65.nc")
        # O9000.nc beside it: the first circle as in bolt-circle-macro.nc; then R20 about (150, 40) at 90, 210
        # and 330 degrees: 20 cos 30 = 17.3205, 20 sin 30 = 10.
        self.assertEqual(holes(doc), sorted((x, y, 2, -12) for x, y in (
            (80, 40), (71.213, 61.213), (50, 70), (28.787, 61.213), (20, 40), (28.787, 18.787), (50, 10),
            (71.213, 18.787), (150, 60), (132.679, 30), (167.321, 30))))

    def test_pocket_macro(self):
        doc = self.read_complete("pocket-macro.nc")
        # Three passes; in each: a rapid to the corner X25 Y20, a plunge, six rows each followed by a 5 step-over
        # (Y20 to Y50), the seventh row, a lap of four walls and a rapid up to Z2. Rapids Z50 and Z2 before the
        # passes, Z50 after them.
        self.assertEqual(counts(doc.modelspace()), {
            (RAPID, "LINE"): 2 + 3 * 2 + 1,
            (UNCOMPENSATED, "LINE"): 3 * (1 + 6 * 2 + 1 + 4),
            (CENTRE, "LINE"): 2,
            (INFO, "TEXT"): 3,
        })
        # Tool centre 5 inside the walls X20-80, Y15-55, passes 6 / 3 deep: each level reaches both corners. The
        # last move runs along the back wall to the right (a LINE starts at the move's end).
        cuts = [e for e in doc.modelspace() if e.dxf.layer == UNCOMPENSATED]
        ends = [point(e.dxf.start) for e in cuts]
        self.assertEqual([(min(p for p in ends if p[2] == z), max(p for p in ends if p[2] == z)) for z in (-2, -4, -6)],
                         [((25, 20, z), (75, 50, z)) for z in (-2, -4, -6)])
        self.assertEqual((point(cuts[-1].dxf.end), point(cuts[-1].dxf.start)), ((25, 50, -6), (75, 50, -6)))
        # Cutting: plunges 4 + 6 + 8 at F100 = 0.18 min; per pass 7 rows of 50, 6 step-overs of 5 and a lap of
        # 160 = 540 at F400, three times 4.05 min; rapids about 0.1 min. Scale 150 / 75.
        texts = [e.dxf.text for e in doc.modelspace() if e.dxftype() == "TEXT"]
        self.assertEqual(texts, ["Xmin:0 Xmax:75", "Ymin:0 Ymax:50", "TotalTime:0H4m Scale:2"])

    def test_engraving_macro(self):
        doc = self.read_complete("engraving-macro.nc")
        # Rapids: Z20 and Z1 at the start; the frame's approach and lift; 31 ticks (0 to 30) and 4 dots (0 to 30
        # by 10) each with an approach and a lift; Z20 at the end. Cuts: the frame's plunge and two straights,
        # per tick a plunge and the tick, per dot a plunge; the dots are full circles, the frame's ends halves.
        self.assertEqual(counts(doc.modelspace()), {
            (RAPID, "LINE"): 2 + 2 + 31 * 2 + 4 * 2 + 1,
            (UNCOMPENSATED, "LINE"): 3 + 31 * 2 + 4,
            (UNCOMPENSATED, "ARC"): 2,
            (UNCOMPENSATED, "CIRCLE"): 4,
            (CENTRE, "LINE"): 2,
            (INFO, "TEXT"): 3,
        })
        ticks = [(e.dxf.start.x, e.dxf.start.y) for e in doc.modelspace() if e.dxf.layer == UNCOMPENSATED and
                 e.dxftype() == "LINE" and e.dxf.start.z == e.dxf.end.z == -0.1 and e.dxf.end.y == 0]
        # Up from Y0: 5 long at every 10 mm, 3.5 at the other fives, 2 between.
        self.assertEqual(ticks, [(x, 5 if x % 10 == 0 else 3.5 if x % 5 == 0 else 2) for x in range(31)])
        dots = [(point(e.dxf.center), e.dxf.radius) for e in doc.modelspace() if e.dxftype() == "CIRCLE"]
        self.assertEqual(dots, [((x, 6.5, -0.1), 0.5) for x in (0, 10, 20, 30)])
        # G03 from the bottom to the top about (30, 3) turns from 270 to 90 degrees, back about (0, 3) from 90.
        arcs = [(point(e.dxf.center), e.dxf.radius, e.dxf.start_angle, e.dxf.end_angle)
                for e in doc.modelspace() if e.dxftype() == "ARC"]
        self.assertEqual(arcs, [((30, 3, -0.1), 6, 270, 90), ((0, 3, -0.1), 6, 90, 270)])
        # Cutting: the frame 60 + 12 pi and the ticks 4 x 5 + 3 x 3.5 + 24 x 2 = 78.5 and the dots 4 pi at F300,
        # 36 plunges of 1.1 at F100: 1.03 min; rapids under 0.1 min. Scale 150 / (6 + 36) = 3.57.
        texts = [e.dxf.text for e in doc.modelspace() if e.dxftype() == "TEXT"]
        self.assertEqual(texts, ["Xmin:-6 Xmax:36", "Ymin:-3 Ymax:9", "TotalTime:0H1m Scale:3.6"])

    def test_macro_program(self):
        doc = read_clean(self, convert(macro_program()))
        # 40 cos 15 = 38.637, 40 sin 15 = 10.353, 40 cos 45 = 28.284; K[1.4999] is a count of one.
        self.assertEqual(holes(doc), sorted([(x, y, 2, -5) for x, y in (
            (138.637, 10.353), (110.353, 38.637), (71.716, 28.284), (61.363, -10.353), (89.647, -38.637),
            (128.284, -28.284), (150, 0))]))
        # The zigzag rows at Y-20, -24, -28, the second backward; the stair X50 - 5n, Y-40 + 2n for n = 3, 2, 1;
        # Y alone where X is null; 1.0005 + 2.00049 to 3.001 with #0 + 2. as 2; GOTO 200 goes forward and M#7
        # ends the program before X999 and Y999.
        zigzag = [(x, -20 - 4 * row, -1) for row in range(3) for x in (0, 5, 10, 15)[::1 - row % 2 * 2]]
        self.assertEqual([point(e.dxf.start) for e in doc.modelspace() if e.dxf.layer == UNCOMPENSATED],
                         [(0, -20, -1)] + zigzag[1:] + [(35, -34, -1), (40, -36, -1), (45, -38, -1), (45, 5, -1),
                                                        (45, 6, -1), (3.001, -1.001, 2)])
        rapids = [point(e.dxf.start) for e in doc.modelspace() if e.dxf.layer == RAPID]
        self.assertEqual(rapids[-2:], [(1.001, -1.001, -1), (3.001, -1.001, 10)])

    def test_empty_program_is_a_clean_frame_with_the_six_layers(self):
        empty = os.path.join(WORK, "EMPTY.NC")
        open(empty, "wb").close()
        doc = read_clean(self, convert(empty))
        self.assertEqual(len(doc.modelspace()), 0)
        names = [layer.dxf.name for layer in doc.layers]
        for name in (RAPID, COMPENSATED, UNCOMPENSATED, CYCLE, CENTRE, INFO):
            self.assertIn(name, names)

    def test_layer_names_decode_as_japanese(self):
        doc = read_clean(self, convert(os.path.join(EXAMPLES, "contour.nc")))
        names = {layer.dxf.name for layer in doc.layers}
        self.assertTrue({RAPID, COMPENSATED, UNCOMPENSATED, CYCLE, CENTRE, INFO} <= names, names)
        self.assertEqual(doc.encoding, "cp932")


def nc_programs():
    """Every program of the examples, of the public samples and of the generated ones, each with the options
    plotra-convert runs it with."""
    programs = [os.path.join(EXAMPLES, n) for n in sorted(os.listdir(EXAMPLES)) if n.endswith(".nc")]
    if os.path.isdir(SAMPLES):
        programs += [os.path.join(SAMPLES, n) for n in sorted(os.listdir(SAMPLES)) if n.endswith((".nc", ".ngc"))]
    surfacing = os.path.join(WORK, "surfacing.nc")
    with open(surfacing, "wb") as out:
        subprocess.run([sys.executable, os.path.join(EXAMPLES, "generate-surfacing.py"), "600", "70"], stdout=out,
                       check=True)
    features = os.path.join(WORK, "features.nc")
    with open(features, "w") as out:
        out.write("\n".join(features_program()) + "\n")
    programs += [surfacing, features, macro_program()] + call_programs()
    if TRANSFORMS_BUILT:
        programs += transform_programs()
    return [(path, ()) for path in programs] + unit_programs()


def transform_programs():
    """Writes the programs of work systems, offsets and transforms into a folder of their own; returns them."""
    folder = os.path.join(WORK, "transforms")
    os.makedirs(folder, exist_ok=True)
    for name, text in TRANSFORM_PROGRAMS.items():
        with open(os.path.join(folder, name), "w") as out:
            out.write(text)
    return [os.path.join(folder, name) for name in sorted(TRANSFORM_PROGRAMS)]


# Work systems, offsets and transforms; the comments give points worked out by hand, in the drawing (G54).
TRANSFORM_PROGRAMS = {"work-offsets.nc": """%
:7500 (WORK OFFSETS, WORK SYSTEMS, LOCAL SHIFT, MACHINE AND REFERENCE POINTS)
G90 G17 G21 G40 G80
G10 L2 P2 X100. Y50. Z0 (G55)
G10 L20 P3 X-40. Y80. (G54.1 P3)
#5261 = 20. (G56 X)
#5262 = #5261 - 50. (G56 Y: -30)
G00 X0 Y0 Z5. F500
G01 X10. Y10.
G55 (THE TOOL STAYS AT 10, 10; IN G55 IT READS X-90 Y-40)
Y0 (A LINE FROM 10, 10 TO 10, 50)
X10. (TO 110, 50)
G91 G10 L2 P2 X5. (G55 X BECOMES 105: THE TOOL STAYS AND READS X5.)
G90 Y10. (A LINE FROM 110, 50 TO 110, 60)
G54.1 P3 X0 Y0 (TO -40, 80)
G56 X0 Y0 (TO 20, -30)
G52 X10. Y10. (THE TOOL STAYS; IT READS X-10 Y-10)
X0 (A LINE FROM 20, -30 TO 30, -30)
G52 X0 Y0 Z0
G54 X0 Y0
G10 L2 P1 X5. Y50. (G54 ITSELF: ONLY THE FRAME MOVES, MACHINE 0 IS NOW DRAWN AT -5, -50)
G10 L2 P0 X1. (AND NOW AT -6, -50)
X20.
G53 X0 (A RAPID FROM 20, 0, 5 TO -6, 0, 5)
G01 X0 Y-10.
G91 G28 Z0 (NO MOVE TO THE INTERMEDIATE POINT; Z STANDS AT 0, UNSEEN)
G30 Y0 (Y STANDS AT -50, UNSEEN, AND WIDENS NO EXTENTS)
G90 G01 X10. Y-40. (A LINE FROM 0, -50, 0 TO 10, -40, 0)
G00 Z5.
M30
%
""", "rotation.nc": """%
:7510 (G68 ROTATION IN G17 AND G18, AN INCREMENTAL ANGLE, ARCS WITH R AND WITH I J K)
G90 G17 G21 G40 G80
G00 X0 Y0 Z0 F400
G68 X10. Y0 R90. (THE TOOL STAYS AT THE ORIGIN)
G01 X20. Y0 (A LINE FROM THE ORIGIN TO 10, 10)
G03 X10. Y10. R10. (ABOUT 10, 0 FROM 90 TO 180 DEGREES: TO 0, 0)
G02 X20. Y0 I0 J-10. (BACK: CLOCKWISE FROM 180 TO 90 DEGREES)
G91 G68 X10. Y0 R-45000 (90 - 45 DEGREES, AN ANGLE WITHOUT A POINT IN 0.001)
G90 G01 X30. Y0 (A LINE FROM 10, 10 TO 24.142, 14.142)
G69
X40. (A LINE FROM 24.142, 14.142 TO 40, 0)
G18 G68 X40. Z0 R90. (ABOUT THE LINE X40 Z0 ALONG Y, TURNING Z TOWARD X)
G01 Z-10. (A LINE FROM 40, 0, 0 TO 30, 0, 0)
G02 X50. Z0 I10. K0 (THREE QUARTERS ABOUT 30, 0, -10 TO 40, 0, -10; VERTEX 27 OF 55 AT 22.929, 0, -17.071)
G69 G17
G00 Z5. (FROM 40, 0, -10 TO 50, 0, 5)
M30
%
""", "scaling.nc": """%
:7520 (G51 SCALING: ONE FACTOR WITH HOLE LEVELS, A NEGATIVE FACTOR, UNEQUAL FACTORS)
G90 G17 G21 G40 G80
G00 X0 Y0 Z10. F300
G51 X0 Y0 P2000 (TWICE ABOUT THE ORIGIN, AND ABOUT Z10 WHERE THE TOOL IS)
G99 G81 X10. Y5. Z-5. R2. (A HOLE AT 20, 10 FROM R -6 TO -20)
G80
G01 X10. Y10. (TO 20, 20, -6)
G02 X20. Y0 I0 J-10. (ABOUT 20, 0 WITH RADIUS 20 TO 40, 0)
G50
G00 Z2. (FROM 40, 0, -6 TO 20, 0, 2)
G51 X0 Y0 I-1000 J1000 (A MIRROR IN X)
G01 X10. Y0 (TO -10, 0)
G03 X0 Y10. I-10. J0 (CLOCKWISE ABOUT THE ORIGIN FROM 180 TO 90 DEGREES)
G50
G51 X0 Y0 I2000 J1000 (UNEQUAL: AN ARC TAKES THE SIZE OF X)
G01 X10. Y10. (TO 20, 10)
G02 X20. Y0 R10. (RADIUS 20 TO 40, 0 ABOUT 22.584, -9.832)
G03 X10. Y10. I-10. J0 (RADIUS 20 ABOUT 20, 0 FROM 0 TO 90 DEGREES; THE TOOL ENDS AT 20, 10)
G50
G00 Z10. (FROM 20, 10, 2 TO 10, 10, 10)
M30
%
""", "mirror.nc": """%
:7530 (G51.1 MIRROR: IN ONE AXIS ARCS TURN THE OTHER WAY, IN TWO AS WRITTEN)
G90 G17 G21 G40 G80
G00 X0 Y0 Z0 F300
G51.1 X-5.
G41 D1 G01 X10. Y0 (TO -20, 0)
G03 X20. Y10. R10. (CLOCKWISE ABOUT -20, 10 FROM 270 TO 180 DEGREES)
G02 X30. Y10. I5. J0 (COUNTER-CLOCKWISE ABOUT -35, 10 OVER THE TOP TO -40, 10)
G40 G01 X30. Y0
G51.1 Y5. (BOTH AXES)
G01 X40. Y0 (TO -50, 10)
G02 X50. Y0 I5. J0 (CLOCKWISE ABOUT -55, 10 THROUGH -55, 5 TO -60, 10)
G50.1 X0 Y0
G00 Z5. (FROM -60, 10, 0 TO 50, 0, 5)
M30
%
""", "polar.nc": """%
:7540 (G16 POLAR COORDINATES: A HOLE CIRCLE, INCREMENTAL ANGLES, REPEATS, A CENTRE AT THE TOOL)
G90 G17 G21 G40 G80
G00 X0 Y0 Z10. F200
G16
G99 G81 X100. Y30. Z-5. R2. (86.603, 50)
G91 Y120. (-86.603, 50)
Y120. (0, -100)
Y45. K2 (70.711, -70.711 AND 100, 0)
G80 G15
G90 G00 X50. Y0 Z2.
G16
G91 G01 X10. Y90. (ABOUT THE TOOL AT 50, 0: TO 50, 10)
Y90. (TO 40, 0)
G15
G90 G00 Z10.
M30
%
""", "transforms-together.nc": """%
:7550 (MIRROR, SCALING, ROTATION, LOCAL SHIFT AND OFFSET IN THEIR ORDER)
G90 G17 G21 G40 G80
G10 L2 P2 X100. Y0
G00 X0 Y0 Z0 F300
G55 (THE TOOL STAYS AT THE ORIGIN AND READS X-100)
G52 X10.
G51 X0 Y0 P2.
G68 X5. Y0 R90. (THE CENTRE IS SCALED TO 10, 0)
G01 X10. Y0 (A LINE FROM THE ORIGIN TO 120, 10)
Y5. (TO 110, 10)
G51.1 X10. (SET LAST, MIRRORS FIRST)
X12. (TO 110, 6)
G50.1 G69 G50 G54 (THE TOOL STAYS AT 110, 6 AND READS X100 Y6)
X0 (TO 10, 6)
G52 X0
G00 Z5.
M30
%
"""}


def unit_programs():
    """The program that switches between inch and mm, read as written, from inch, with calculator-type input
    and with both."""
    path = os.path.join(WORK, "units.nc")
    with open(path, "w") as out:
        out.write(UNITS_PROGRAM)
    return [(path, options) for options in ((), ("--inch",), ("--calculator-decimals",),
                                            ("--inch", "--calculator-decimals"))]


# A number without a point is 0.001 mm, 0.0001 inch or, with calculator-type input, a whole mm or inch: each arc
# is written all with points or all without, so it stays an arc whichever way it is read.
UNITS_PROGRAM = """%
:7400 (G20 AND G21 IN TURN: WORDS WITH AND WITHOUT A POINT, ARCS, PECKS AND FEEDS)
G90 G17 G40 G80
G00 X4. Y2 Z1. (BEFORE G20 OR G21: MM, OR INCH FROM THE START)
G01 X2 Y3. F10
G20 G01 X1. Y0 F4 (INCH FROM THIS BLOCK ON: 25.4, 0 AND 101.6 MM/MIN)
G03 X2. Y1. R1.
G02 X3. Y0 I1. J0 F4.5
G01 X3 Y1
X2 Y0
G03 X0 Y2 I-2 J0
G02 X2 Y0 R2
#1 = 1.23456 (TO 0.0001 INCH: 1.2346 AND 0.6173)
G01 X#1 Y[#1 / 2]
G00 Z0
G18 G02 X2.2346 Z0 I.5 K0
G17 G00 Z.5
G99 G83 X1. Y1. Z-.25 R.1 Q.1 F2.
X2 Y1 Q1000
G91 G81 X.5 Z-3 R-1 K2
G90 G80 G00 Z1.
G21 G00 X10. Y10. Z5. (MM AGAIN)
G01 X20. Y5. F100
G02 X30. Y5. R6.
G01 X300 Y-20. Z-1
G20 G01 X.5 Y-.5 F20.
G00 Z2.
M30
%
"""


def macro_program():
    path = os.path.join(WORK, "macro.nc")
    with open(path, "w") as out:
        out.write(MACRO_PROGRAM)
    return path


MACRO_PROGRAM = """%
:7200 (MACRO B: LOOPS, JUMPS, NULLS AND ROUNDING)
G90 G17 G21 G40 G80
N200 G00 X0 Y0 Z10. F300
#1 = 0 (SIX HOLES ON R40 ABOUT X100 Y0 FROM 15 DEGREES, THEN A K ROUNDED TO A WHOLE COUNT)
WHILE [#1 LT 6] DO1
#3 = 15. + #1 * 360. / 6
G98 G81 X[100. + 40. * COS[#3]] Y[40. * SIN[#3]] Z-5. R2.
#1 = #1 + 1
END1
X150. Y0 K[1.4999]
G80 G00 X0 Y-20.
G01 Z-1.
#10 = 0 (ZIGZAG: THREE ROWS OF FOUR POINTS, EVERY OTHER ROW BACKWARD)
WHILE [#10 LT 3] DO1
#11 = 0
WHILE [#11 LE 3] DO2
#12 = #11
IF [[-#10 MOD 2] EQ -1] THEN #12 = 3 - #11
G01 X[#12 * 5.] Y[-20. - #10 * 4.]
#11 = #11 + 1
END2
#10 = #10 + 1
END1
#20 = 3 (COUNTDOWN)
N100 G01 X[50. - #20 * 5.] Y[-40. + #20 * 2.]
#20 = #20 - 1
IF [#20 GT 0] GOTO 100
G01 X#30 Y5.
G01 X-#30 Y6.
#4 = 1.0005
#7 = 30.
G#20 X#4 Y-#4
G[#20 + 1.] X[#4 + 2.00049] Z[#0 + 2.]
GOTO 200
G01 X999.
N200 G00 Z10.
M#7
G01 Y999.
%
"""


def call_programs():
    """Writes the programs of G65 and G66 calls and the files they call into a folder of their own, so that a
    lookup in the folder meets no other file; returns the main programs."""
    folder = os.path.join(WORK, "calls")
    os.makedirs(folder, exist_ok=True)
    for name, text in CALL_FILES.items():
        with open(os.path.join(folder, name), "w") as out:
            out.write(text)
    return [os.path.join(folder, name) for name in sorted(CALL_FILES) if name.startswith("call-")]


# Each macro draws what its locals hold; values that persist where they should not, or vanish, move the lines.
CALL_FILES = {"call-g65-arguments.nc": """%
:7300 (G65: ARGUMENT LIST I, REPEATS, LOCALS PER LEVEL, M98 SHARING THE MACRO'S LOCALS)
G90 G17 G21 G40 G80
G00 X0 Y0 Z5. F500
#1 = 7.
G65 P7301 A1000 B2. C3 I4000 J5. K6 D7 E8 F9 H11 M13 Q17000 R18. S19 T20 U21000 V22. W23000 X24. Y25 Z26.
G65 P7302 L3 X40. Y-10.
G01 X#1 Y-#1 (THE MAIN PROGRAM'S #1 AGAIN)
M30
O7301 (EVERY LOCAL: X ITS NUMBER, Y ITS VALUE; A NULL LEAVES Y OUT)
#100 = 1
WHILE [#100 LE 33] DO1
G01 X#100 Y#[#100]
#100 = #100 + 1
END1
M99
O7302 (EACH RUN STARTS FROM THE ARGUMENTS; #101 COUNTS THE RUNS)
#101 = #101 + 1
#24 = #24 + 5.
G01 X#24 Y[#25 - #101]
M98 P7303
G01 X#24 Y[#25 - #101 - .5]
M99
O7303 (SHARES THE LOCALS OF THE MACRO THAT CALLS IT)
#24 = #24 + 1.
M99
%
""", "call-g65-list2.nc": """%
:7330 (G65: ARGUMENT LIST II, TRIPLES MIXED WITH LIST I, THE LATER WORD WINS, NOTHING BEYOND #33)
G90 G17 G21 G40 G80
G00 X0 Y0 Z5. F500
G65 P7331 A1. I2. J3. K4. I5. K6. D7. H99. I8. J9. E10. I11. J12. K13. I14 J15 K16 I17. J18. K19. I20. J21. K22. \
I23. J24. K25. I26. J27. K28. I29. J30. K31. I32. J33.
M30
O7331
#100 = 1
WHILE [#100 LE 33] DO1
G01 X#100 Y#[#100]
#100 = #100 + 1
END1
M99
%
""", "call-g66.nc": """%
:7340 (G66: A MODAL CALL AFTER EVERY BLOCK THAT MOVES, UNTIL G67)
G90 G17 G21 G40 G80
G00 X0 Y0 Z5. F300
G66 P7341 Z-2. R1.
G00 X10. Y10. (CALLED)
X20. (CALLED)
G04 X1. (A DWELL: NOT CALLED)
M08 (MOVES NOTHING: NOT CALLED)
G01 Y20. (CALLED)
G67
X0 (NOT CALLED)
G66 P7342 L2 X3.
G00 X40. Y0 (CALLED TWICE)
G67
G00 Z20.
M30
O7341 (A PLUNGE WHERE THE TOOL STANDS; ITS OWN MOVES CALL NOTHING)
G01 Z#26
G00 Z#18
M99
O7342
#102 = #102 + 1
G91 G01 X#24 Y#102
G90
M99
%
""", "call-nesting.nc": """%
:7360 (FIVE G65 LEVELS, THEN M98 TO TEN LEVELS IN ALL; DEEPER CALLS ARE SKIPPED)
G90 G17 G21 G40 G80
G00 X0 Y0 Z5. F600
#500 = 0
G65 P7361 X1.
G01 X0 Y0
M30
O7361 (ITS OWN #24 IS ITS LEVEL)
G01 X[#24 * 10.] Y#24
G65 P7361 X[#24 + 1.]
IF [#24 NE 5] GOTO 10
M98 P7362
N10 G01 X[#24 * 10.] Y-#24
M99
O7362 (CALLS ITSELF)
#500 = #500 + 1
G01 X[50. + #500 * 5.] Y[10. + #500]
M98 P7362
M99
%
""", "call-other-files.nc": """%
:7350 (CALLS INTO OTHER FILES OF THIS FOLDER)
G90 G17 G21 G40 G80
G00 X0 Y0 Z5. F400
G65 P7310 X10. Y10. (O7310.NC, FOUND BY ITS NAME)
M98 P7311 (FOUND BY ITS FIRST O LINE)
G65 P7315 X30. (THE FILE NAMED FOR IT COMES BEFORE ONE WHOSE FIRST O LINE NAMES IT)
M98 P7314 (THIS FILE'S OWN O7314)
G00 Z20.
M30
O7312 (CALLED FROM O7310.NC, WHICH DOES NOT DEFINE IT)
G01 X[#24 + 5.] Y[#25 + 5.]
M99
O7314
G01 X-50. Y-5.
M99
%
""", "O7310.nc": """%
O7310 (A SQUARE FROM X Y, THEN O7312 OF THE NC FILE AND THIS FILE'S OWN O7314)
G01 X#24 Y#25
G91 X10.
Y10.
X-10.
Y-10.
G90
M98 P7312
M98 P7314
M99
O7314
G01 X-60. Y-6.
M99
%
""", "pocket-macro.nc": """%
(A FILE NAMED FOR WHAT IT CUTS)
:7311
G01 X50. Y0
G02 X60. Y0 I5. J0
GOTO 10
G01 X999.
N10 M99
%
""", "o07315.nc": """%
O7315
G01 X#24 Y-20.
M99
%
""", "1-other.nc": """%
O7315
G01 X999. Y999.
M99
%
"""}


FEATURES_HEAD = """%
:7100 (HOLES, HELICES AND THE LESS USUAL WRITING)
(T4 DIA8. DRILL)
t4 m06
g90 g17 g21 g40 g80
g0 x0 y0 z20.
f200
(SAME HOLE THREE TIMES, THEN THE NEXT ONE; BLOCKS THAT DRILL NOTHING)
G98 G81 X10. Y10. Z-5. R2. K3
X20. (between words) Y10.
M08
F150
G81
G99 X30.
G80
(ROWS UNDER G91 FROM G01 MODE, PECKS OF 0.001; R REWRITTEN, THE BOTTOM FOLLOWS IT)
G01 Z20. F200
G91 G99 G83 X10. Y5. Z-8. R-15. Q1 K4
R-13.
G98 X-10. L2
G90 G80
G00 X80. Y40.
(K0 KEEPS R AND Z; THE SAME X AND Y DRILLS AGAIN)
G81 Z-4. R1. K0
X80. Y40.
Z-6.
G80
G91 G00 Z-10.
G90 G00 X 10 Y20
G01\tX5.\tY5.
G01 X12. ; Y99.
/G01 Y12.
G01 X14. (no closing parenthesis Y99.
G01 X50. @5. ^30.
o100 call [1] [2]
M98 P2001
""".split("\n")

FEATURES_TAIL = """(FULL CIRCLE CLOCKWISE FROM 0 DEGREES AT THE LEFT EDGE)
G17 G00 X-60. Y0 Z5.
G01 Z-1. F200
G02 I-10.
G00 Z50.
(EXTENTS: CLOCKWISE FROM 30 TO 300 DEGREES PASSES 0 ALONE; 300 TO 290 COUNTER-CLOCKWISE PASSES ALL FOUR)
G00 X137.321 Y-30.
G02 X130. Y-57.321 I-17.321 J-10.
G00 X-110. Y22.679
G03 X-113.16 Y21.206 I-10. J17.321
M97 P300 L2
M30
(HAAS: A SUBPROGRAM AFTER THE END, AND A LINE NOTHING REACHES)
N300 G91 G01 X5. Y5.
G90 M99
G01 X500.
:2001 (A ROW OF THREE FROM WHERE THE TOOL STANDS)
G91 G99 G81 X5. Z-3. R-2. K3
G90 G80
M99
%""".split("\n")


def features_program():
    """The lines of a program that drills in cycles under G90 and G91 and mills arcs and helices in the three
    planes in both turnings, from a start angle of 0 to 90, 180, 270 and 360 degrees, written in lower case, with
    comments between words and blanks after letters, and with blocks in G02/G03 mode that move nothing."""
    lines = list(FEATURES_HEAD)
    for plane, (u, v, i, j, normal) in ((17, "XYIJZ"), (18, "XZIKY"), (19, "YZJKX")):
        at = {"X": 10.0 * plane - 100, "Y": 60.0, "Z": 0.0}
        lines.append("G%d G00 X%.3f Y%.3f Z%.3f" % (plane, at["X"], at["Y"], at["Z"]))
        for code, degrees, rise, idle in ((2, 90, 0, ["", "F250"]), (3, 180, 0, ["M08", "(coolant)"]),
                                          (2, 270, -2, []), (3, 360, -3, ["M09"])):
            cu, cv = at[u] - 5, at[v]
            at[u] = round(cu + 5 * math.cos(math.radians(degrees)), 3) + 0.0
            at[v] = round(cv + 5 * math.sin(math.radians(degrees)), 3) + 0.0
            at[normal] += rise + 0.0
            words = ("%s%.3f %s%.3f %s%.3f %s-5. %s0 F300" % (u, at[u], v, at[v], normal, at[normal], i, j))
            words = words.split()
            if degrees == 360:
                words = words[2:]  # no end point: a full circle
            if plane == 18:
                words = [word.lower() for word in words]
            if plane == 19:
                words = [word[0] + " " + word[1:] + " (c)" for word in words]
            lines.append("G%02d " % code + " ".join(words))
            lines += idle
        lines.append("G01 %s%.3f" % (normal, at[normal] + 5))
        at[normal] += 5
    # R arcs 8 apart: the short way round with R5., back the long way with R-5.
    lines += ["G19 G02 Y%.3f Z%.3f R5." % (at["Y"] + 8, at["Z"]), "G03 Y%.3f Z%.3f R-5." % (at["Y"], at["Z"])]
    return lines + FEATURES_TAIL


TEXTS = re.compile(r"Xmin:(\S+) Xmax:(\S+)\|Ymin:(\S+) Ymax:(\S+)\|TotalTime:(\d+)H(\d+)m Scale:(\S+)")


class DrawingsMatchAnIndependentReading(unittest.TestCase):
    """Each drawing holds what a geometric reading of the NC text outside the converter expects."""

    def check_texts(self, doc, expected):
        texts = "|".join(e.dxf.text for e in doc.modelspace() if e.dxftype() == "TEXT")
        if expected.box is None:
            self.assertEqual(texts, "")
            return
        found = TEXTS.fullmatch(texts)
        self.assertTrue(found, texts)
        xmin, xmax, ymin, ymax, hours, minutes, scale = map(float, found.groups())
        box = expected.box
        # One decimal, rounded: within half a tenth of the geometric value.
        for got, want in zip((xmin, xmax, ymin, ymax, scale),
                             box + (150 / (abs(min(box[0], box[2])) + abs(max(box[1], box[3]))),)):
            self.assertLessEqual(abs(got - want), 0.05 + 1e-9, (texts, box))
        # Whole hours and minutes, cut off.
        whole = hours * 60 + minutes
        self.assertTrue(minutes < 60 and whole - 1e-6 <= expected.minutes < whole + 1 + 1e-6,
                        (texts, expected.minutes))

    def test_every_program(self):
        programs = nc_programs()
        self.assertGreaterEqual(len(programs), 5)
        for path, options in programs:
            with self.subTest(program=" ".join((os.path.basename(path),) + options)):
                doc = read_clean(self, convert(path, options))
                expected = expected_drawing(path, options)
                drawn = [e for e in doc.modelspace() if e.dxftype() != "TEXT"]
                self.assertEqual(counts(drawn), dict(collections.Counter(e[:2] for e in expected.entities)))
                for index, (got, want) in enumerate(zip(map(shape, drawn), expected.entities)):
                    self.assertTrue(alike(got, want), "entity %d:\n%s\n%s" % (index, got, want))
                self.check_texts(doc, expected)


if __name__ == "__main__":
    os.makedirs(WORK, exist_ok=True)
    unittest.main(verbosity=2)
