#!/usr/bin/python3
"""Renders a DXF drawing to a PNG picture with ezdxf's drawing add-on (for the README).

Usage: render-drawing.py DRAWING.dxf PICTURE.png
"""
import sys

import ezdxf
import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
from ezdxf.addons.drawing import Frontend, RenderContext  # noqa: E402
from ezdxf.addons.drawing.matplotlib import MatplotlibBackend  # noqa: E402


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    doc = ezdxf.readfile(sys.argv[1])
    figure = plt.figure(figsize=(8, 6))
    axes = figure.add_axes([0, 0, 1, 1])
    context = RenderContext(doc)
    context.set_current_layout(doc.modelspace())
    Frontend(context, MatplotlibBackend(axes)).draw_layout(doc.modelspace(), finalize=True)
    figure.savefig(sys.argv[2], dpi=100, facecolor="black")


if __name__ == "__main__":
    main()
