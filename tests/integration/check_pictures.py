#!/usr/bin/python3
"""Draws the example programs, the public sample programs and a few programs that draw nothing sensible as
SVG pictures with plotra-convert --svg, and checks each picture against its DXF file: parsed by an XML
parser, one element per DXF entity in the class of its layer (counted in the DXF file by ezdxf), a viewBox
with a finite, positive size, and rendered by rsvg-convert without a word on standard error. A program of a
million lines must give a picture too.

Usage: check_pictures.py CONVERTER EXAMPLES-DIR SAMPLES-DIR WORK-DIR
"""
import collections
import glob
import math
import os
import subprocess
import sys
import unittest
import xml.etree.ElementTree as ElementTree

import ezdxf

CONVERTER, EXAMPLES, SAMPLES, WORK = sys.argv[1:5]
del sys.argv[1:5]

SVG = "{http://www.w3.org/2000/svg}"
CLASSES = {"早送り": "rapid", "補正あり": "comp", "補正無し": "nocomp", "固定サイクル": "cycle",
           "中心線": "axis", "情報": "info"}
ELEMENTS = {"LINE": "line", "ARC": "path", "CIRCLE": "circle", "POLYLINE": "path", "TEXT": "text"}


def draw(nc_path, name=None):
    name = name or os.path.splitext(os.path.basename(nc_path))[0]
    dxf_path = os.path.join(WORK, name + ".dxf")
    svg_path = os.path.join(WORK, name + ".svg")
    result = subprocess.run([CONVERTER, "-q", "-o", dxf_path, "--svg", svg_path, nc_path], capture_output=True)
    if result.returncode != 0:
        raise AssertionError("%s failed: %s" % (nc_path, result.stderr.decode("utf-8", "replace")))
    return dxf_path, svg_path


def render(test, svg_path):
    png_path = svg_path[:-4] + ".png"
    result = subprocess.run(["rsvg-convert", "-o", png_path, svg_path], capture_output=True)
    test.assertEqual((result.returncode, result.stderr.decode("utf-8", "replace")), (0, ""), svg_path)
    test.assertGreater(os.path.getsize(png_path), 0)


def picture(test, svg_path):
    root = ElementTree.parse(svg_path).getroot()
    box = [float(v) for v in root.get("viewBox").split()]
    test.assertTrue(all(math.isfinite(v) for v in box), box)
    test.assertGreater(box[2], 0)
    test.assertGreater(box[3], 0)
    return root


def svg_counts(root):
    tally = collections.Counter()
    for element in root.iter():
        layer = element.get("class")
        if layer is not None and layer != "tight":
            tally[(layer, element.tag.replace(SVG, ""))] += 1
    return dict(tally)


def dxf_counts(dxf_path):
    tally = collections.Counter()
    for entity in ezdxf.readfile(dxf_path).modelspace():
        tally[(CLASSES[entity.dxf.layer], ELEMENTS[entity.dxftype()])] += 1
    return dict(tally)


class Pictures(unittest.TestCase):
    def test_every_program_gives_the_drawing_of_its_dxf_file(self):
        programs = sorted(glob.glob(os.path.join(EXAMPLES, "*.nc")) + glob.glob(os.path.join(SAMPLES, "*")))
        self.assertGreater(len(programs), 3)
        for nc_path in programs:
            with self.subTest(nc_path):
                dxf_path, svg_path = draw(nc_path)
                self.assertEqual(svg_counts(picture(self, svg_path)), dxf_counts(dxf_path))
                render(self, svg_path)

    def test_tight_arcs_of_the_contour_are_marked(self):
        _, svg_path = draw(os.path.join(EXAMPLES, "contour.nc"))
        marks = [e for e in picture(self, svg_path).iter() if e.get("class") == "tight"]
        # The two G03 corners of radius 5 in the notch, from (40, 60) to (45, 55) and (55, 55) to (60, 60).
        self.assertEqual(sorted(e.get("d") for e in marks), ["M40 60 A5 5 0 0 1 45 55", "M55 55 A5 5 0 0 1 60 60"])

    def test_programs_that_draw_nothing_sensible_give_a_frame(self):
        nines = "9" * 400
        programs = {
            "one-point": "G02\n",
            "only-z": "G01 Z-5. F100\nZ5.\n",
            "a-million": "G01 X1000000. Y-1000000. F100\nG03 X0 Y0 R2000000.\n",
            "saturated": "G01 X%s. Y-%s. F100\nG02 X0 Y0 I%s. J0\n" % (nines, nines, nines),
            "nothing": "(NOTHING TO DRAW)\n",
        }
        for name, program in programs.items():
            with self.subTest(name):
                nc_path = os.path.join(WORK, name + ".nc")
                with open(nc_path, "w") as out:
                    out.write(program)
                _, svg_path = draw(nc_path)
                picture(self, svg_path)
                render(self, svg_path)

    def test_a_million_lines_give_a_picture(self):
        nc_path = os.path.join(WORK, "surfacing.nc")
        with open(nc_path, "w") as out:
            subprocess.run([sys.executable, os.path.join(EXAMPLES, "generate-surfacing.py"), "1000000"],
                           stdout=out, check=True)
        _, svg_path = draw(nc_path)
        picture(self, svg_path)
        render(self, svg_path)


if __name__ == "__main__":
    os.makedirs(WORK, exist_ok=True)
    unittest.main()
