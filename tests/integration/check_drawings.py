#!/usr/bin/python3
"""Converts the example programs and the public sample programs with plotra-convert and reads every drawing
back with ezdxf, a DXF reader that has nothing to do with Plotra: no audit errors, Japanese layer names,
the entities per layer, the information texts, the ends and vertex counts of the 3D polylines and the levels
of the drilled holes that expected_drawing.py works out from the NC text, and a few coordinates worked out by
hand from the examples.

Usage: check_drawings.py CONVERTER EXAMPLES-DIR SAMPLES-DIR WORK-DIR
"""
import collections
import math
import os
import subprocess
import sys
import unittest

import ezdxf

from expected_drawing import CENTRE, COMPENSATED, CYCLE, INFO, RAPID, UNCOMPENSATED, expected_drawing

CONVERTER, EXAMPLES, SAMPLES, WORK = sys.argv[1:5]
del sys.argv[1:5]


def convert(nc_path):
    name = os.path.splitext(os.path.basename(nc_path))[0]
    dxf_path = os.path.join(WORK, name + ".dxf")
    result = subprocess.run([CONVERTER, "-q", "-o", dxf_path, nc_path], capture_output=True)
    if result.returncode != 0:
        raise AssertionError("%s failed: %s" % (nc_path, result.stderr.decode("utf-8", "replace")))
    return dxf_path


def read_clean(test, dxf_path):
    doc = ezdxf.readfile(dxf_path)
    auditor = doc.audit()
    test.assertEqual([str(e) for e in auditor.errors], [], dxf_path)
    return doc


def counts(doc):
    tally = collections.Counter()
    for entity in doc.modelspace():
        tally[(entity.dxf.layer, entity.dxftype())] += 1
    return dict(tally)


def point(vector):
    return tuple(vector)[:3]


def polylines(doc):
    """(layer, vertices, first, last) of every POLYLINE, in drawing order; each must be a 3D polyline."""
    found = [e for e in doc.modelspace() if e.dxftype() == "POLYLINE"]
    assert all(e.is_3d_polyline for e in found), "a POLYLINE without the 3D flag"
    return [(e.dxf.layer, len(e.vertices), point(e.vertices[0].dxf.location), point(e.vertices[-1].dxf.location))
            for e in found]


def holes(doc):
    """(x, y, R level, bottom) of every feed line of a hole, sorted, to a micrometre's thousandth."""
    lines = [e for e in doc.modelspace() if e.dxf.layer == CYCLE and e.dxftype() == "LINE"]
    return sorted(tuple(round(v, 6) + 0.0 for v in (e.dxf.start.x, e.dxf.start.y, e.dxf.start.z, e.dxf.end.z))
                  for e in lines)


def close(a, b):
    return all(math.isclose(p, q, rel_tol=1e-9, abs_tol=1e-9) for p, q in zip(a, b))


class Examples(unittest.TestCase):
    def test_contour(self):
        doc = read_clean(self, convert(os.path.join(EXAMPLES, "contour.nc")))
        self.assertEqual(counts(doc), {
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
        self.assertEqual(counts(doc), {
            (RAPID, "LINE"): 14 + 9,
            (CYCLE, "LINE"): 9,
            (CYCLE, "CIRCLE"): 9,
            (CENTRE, "LINE"): 2,
            (INFO, "TEXT"): 3,
        })
        holes = [(round(c.dxf.center.x, 6), round(c.dxf.center.y, 6), c.dxf.radius)
                 for c in doc.modelspace() if c.dxftype() == "CIRCLE"]
        self.assertEqual(holes, [(20, 20, 4), (40, 20, 4), (60, 20, 4),
                                 (20, 50, 3), (40, 50, 3), (60, 50, 3),
                                 (20, 80, 2.5), (40, 80, 2.5), (60, 80, 2.5)])
        bottoms = [c.dxf.center.z for c in doc.modelspace() if c.dxftype() == "CIRCLE"]
        self.assertEqual(bottoms, [-15] * 3 + [-30] * 3 + [-12] * 3)

    def test_arcs_in_three_planes(self):
        doc = read_clean(self, convert(os.path.join(EXAMPLES, "arcs-three-planes.nc")))
        tally = counts(doc)
        self.assertEqual(tally[(UNCOMPENSATED, "ARC")], 4)
        self.assertEqual(tally[(UNCOMPENSATED, "CIRCLE")], 1)
        circle = [e for e in doc.modelspace() if e.dxftype() == "CIRCLE"][0]
        self.assertEqual((circle.dxf.center.x, circle.dxf.center.y, circle.dxf.radius), (60, 30, 10))

    def test_bracket(self):
        doc = read_clean(self, convert(os.path.join(EXAMPLES, "bracket.nc")))
        # Nine holes from three calls of O1001: per hole one rapid mark, and per call a rapid down, two steps
        # and a rapid up; six rapids between the rows; two rapids of the outline. Four R10 arcs and seven lines
        # under G41.
        self.assertEqual(counts(doc), {
            (RAPID, "LINE"): 9 + 3 * 4 + 6 + 2,
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
    """Every program of the examples and of the public samples."""
    programs = [os.path.join(EXAMPLES, n) for n in sorted(os.listdir(EXAMPLES)) if n.endswith(".nc")]
    if os.path.isdir(SAMPLES):
        programs += [os.path.join(SAMPLES, n) for n in sorted(os.listdir(SAMPLES)) if n.endswith((".nc", ".ngc"))]
    surfacing = os.path.join(WORK, "surfacing.nc")
    with open(surfacing, "wb") as out:
        subprocess.run([sys.executable, os.path.join(EXAMPLES, "generate-surfacing.py"), "600", "70"], stdout=out,
                       check=True)
    return programs + [surfacing]


class DrawingsMatchAnIndependentReading(unittest.TestCase):
    """Each drawing holds the entities per layer and the information texts that a reading of the NC text
    outside the converter expects."""

    def test_every_program(self):
        programs = nc_programs()
        self.assertGreaterEqual(len(programs), 5)
        for path in programs:
            with self.subTest(program=os.path.basename(path)):
                doc = read_clean(self, convert(path))
                expected = expected_drawing(path)
                with self.subTest(part="entities"):
                    self.assertEqual(counts(doc), expected.entities)
                with self.subTest(part="texts"):
                    self.assertEqual([e.dxf.text for e in doc.modelspace() if e.dxftype() == "TEXT"], expected.texts)
                with self.subTest(part="polylines"):
                    drawn = polylines(doc)
                    self.assertEqual([(layer, n) for layer, n, _, _ in drawn],
                                     [(layer, n) for layer, n, _, _ in expected.polylines])
                    for got, want in zip(drawn, expected.polylines):
                        self.assertTrue(close(got[2], want[2]) and close(got[3], want[3]), (got, want))
                with self.subTest(part="holes"):
                    self.assertEqual(holes(doc), sorted(tuple(round(v, 6) + 0.0 for v in h) for h in expected.holes))

if __name__ == "__main__":
    os.makedirs(WORK, exist_ok=True)
    unittest.main(verbosity=2)
