#!/usr/bin/python3
"""Writes examples/plate.dxf, the example drawing of hatch-dxf (mm).

A mounting plate 240 x 160 with rounded corners, four bolt holes drawn as a block, a slot with
round ends, an elliptic cut-out, a curved notch drawn as a spline, a label, and a pick point on
the layer HATCH-PICK that selects the plate around the holes.

Usage: examples/plate-dxf.py [OUTPUT.dxf]   (default: plate.dxf beside this script)
"""

import os
import sys

import ezdxf

out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "plate.dxf")
doc = ezdxf.new("R2010", units=ezdxf.units.MM)
doc.layers.add("PLATE", color=7)
doc.layers.add("TEXT", color=3)
doc.layers.add("HATCH-PICK", color=1)
msp = doc.modelspace()

# The outline runs from the right end of a notch in the bottom edge round the plate to its left
# end, with quarter-circle corners (bulge tan(90/4)); the notch itself is a spline.
b = 0.41421356237309503
msp.add_lwpolyline([(130, 0, 0), (220, 0, b), (240, 20, 0), (240, 140, b), (220, 160, 0), (20, 160, b),
                    (0, 140, 0), (0, 20, b), (20, 0, 0), (70, 0, 0)], format="xyb", dxfattribs={"layer": "PLATE"})
msp.add_open_spline([(70, 0), (85, 25), (115, 25), (130, 0)], degree=3, dxfattribs={"layer": "PLATE"})

bolt = doc.blocks.new("BOLT-HOLE")
bolt.add_circle((0, 0), 7)
for x, y in ((25, 25), (215, 25), (215, 135), (25, 135)):
    msp.add_blockref("BOLT-HOLE", (x, y), dxfattribs={"layer": "PLATE"})

# Slot 60 long, 16 wide, at 30 degrees: two half circles as bulges of 1.
msp.add_lwpolyline([(0, -8, 0), (60, -8, 1), (60, 8, 0), (0, 8, 1)], format="xyb", close=True,
                   dxfattribs={"layer": "PLATE"}).transform(
    ezdxf.math.Matrix44.chain(ezdxf.math.Matrix44.z_rotate(0.5235987755982988),
                              ezdxf.math.Matrix44.translate(60, 70, 0)))
msp.add_ellipse((175, 85), (30, 12), 0.5, dxfattribs={"layer": "PLATE"})
msp.add_text("PLATE P-1  t=6", dxfattribs={"layer": "TEXT", "height": 7, "insert": (90, 128)})
msp.add_point((40, 60), dxfattribs={"layer": "HATCH-PICK"})
doc.saveas(out)
