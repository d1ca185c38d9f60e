#!/usr/bin/python3
"""Draws the example programs, the public sample programs and a few programs that draw nothing sensible as
SVG pictures with plotra-convert --svg, and checks each picture against its DXF file: parsed by an XML
parser, one element per DXF entity in the class of its layer (counted in the DXF file by ezdxf), a viewBox
with a finite, positive size that holds every drawn point and every text, the texts below the drawing, colours
as #rrggbb, and rendered by rsvg-convert without a word on standard error. A program of a million lines must
give a picture too, and beyond 100,000 elements holes and tight-arc marks must still be drawn.

Usage: check_pictures.py CONVERTER EXAMPLES-DIR SAMPLES-DIR WORK-DIR
"""
import collections
import glob
import math
import os
import re
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
NUMBER = r"[-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?"


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


def picture(test, svg_path, layout=True):
    root = ElementTree.parse(svg_path).getroot()
    box = [float(v) for v in root.get("viewBox").split()]
    test.assertTrue(all(math.isfinite(v) for v in box), box)
    test.assertGreater(box[2], 0)
    test.assertGreater(box[3], 0)
    if layout:
        check_layout(test, root, box)
    check_colours(test, svg_path)
    return root


def drawn_points(root):
    """The ends of lines and path steps and the corners of circles, Y down as the picture shows them."""
    points = []
    for element in root.find(SVG + "g").iter():
        tag = element.tag.replace(SVG, "")
        if tag == "line":
            points += [(float(element.get("x1")), float(element.get("y1"))),
                       (float(element.get("x2")), float(element.get("y2")))]
        elif tag == "circle":
            x, y, r = (float(element.get(name)) for name in ("cx", "cy", "r"))
            points += [(x - r, y - r), (x + r, y + r)]
        elif tag == "path":
            # M, L and A steps all end in the point they go to.
            for step in re.findall(r"[MLA][^MLA]*", element.get("d")):
                values = [float(v) for v in re.findall(NUMBER, step)]
                points.append((values[-2], values[-1]))
    # The group is mirrored by scale(1,-1).
    return [(x, -y) for x, y in points]


def check_layout(test, root, box):
    left, top, width, height = box
    slack = 1e-6 * max(width, height)

    def inside(x, y):
        return left - slack <= x <= left + width + slack and top - slack <= y <= top + height + slack

    points = drawn_points(root)
    outside = [p for p in points if not inside(*p)]
    test.assertEqual(outside[:3], [], box)
    for text in root.iter(SVG + "text"):
        scale = float(re.fullmatch(r"scale\((%s)\)" % NUMBER, text.get("transform", "scale(1)")).group(1))
        x, y, size = (float(text.get(name)) * scale for name in ("x", "y", "font-size"))
        # The baseline's start, the top, and the end at about half the size per character of a sans-serif face.
        for corner in ((x, y), (x, y - size), (x + 0.5 * size * len(text.text), y)):
            test.assertTrue(inside(*corner), (text.text, corner, box))
        if points:
            test.assertGreater(y - size, max(py for _, py in points), text.text)


def check_colours(test, svg_path):
    with open(svg_path, encoding="utf-8") as svg:
        content = svg.read()
    style = re.search(r"<style>(.*?)</style>", content, re.S).group(1)
    colours = re.findall(r"(?:stroke|fill):([^;}]+)", style) + re.findall(r'(?:stroke|fill)="([^"]+)"', content)
    colours = [c for c in colours if c != "none"]
    test.assertGreaterEqual(len(colours), 8)
    for colour in colours:
        test.assertRegex(colour, r"^#[0-9a-fA-F]{6}$")


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

    def test_a_tall_thin_contour_fits_with_its_texts(self):
        nc_path = os.path.join(WORK, "thin.nc")
        with open(nc_path, "w") as out:
            out.write("G01 X0 Y0 F100\nY200.\nX2.\nY0\nX0\n")
        _, svg_path = draw(nc_path)
        picture(self, svg_path)
        render(self, svg_path)

    def test_beyond_100000_elements_holes_and_tight_arcs_are_drawn(self):
        with open(os.path.join(EXAMPLES, "contour.nc")) as contour:
            body = [line for line in contour if line.strip() not in ("%", "M30")]
        nc_path = os.path.join(WORK, "crowded.nc")
        with open(nc_path, "w") as out:
            out.write("G00 X0 Y0\n" + "X1.\nX0\n" * 50000)
            out.writelines(body)
            out.write("T2 M06\nG00 Z10.\nG98 G81 X20. Y20. Z-15. R2. F120\nG80\n")
        dxf_path, svg_path = draw(nc_path)
        root = picture(self, svg_path)
        paths = collections.defaultdict(str)
        for element in root.iter(SVG + "path"):
            paths[element.get("class")] += element.get("d") + " "
        # The hole's circle as the picture's shared paths draw it: two half turns from its point at 0 degrees.
        (hole,) = [e for e in ezdxf.readfile(dxf_path).modelspace() if e.dxftype() == "CIRCLE"]
        x, y, r = hole.dxf.center.x, hole.dxf.center.y, hole.dxf.radius
        self.assertIn("M%.9g %.9g A%.9g %.9g 0 0 1 %.9g %.9g A%.9g %.9g 0 0 1 %.9g %.9g " %
                      (x + r, y, r, r, x - r, y, r, r, x + r, y), paths["cycle"])
        for mark in ("M40 60 A5 5 0 0 1 45 55 ", "M55 55 A5 5 0 0 1 60 60 "):
            self.assertIn(mark, paths["tight"])

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
                # Saturated numbers are drawn at the picture's limit of 1e12, and so is its viewBox, margins cut.
                picture(self, svg_path, layout=name != "saturated")
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
