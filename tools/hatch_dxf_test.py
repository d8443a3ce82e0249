"""hatch-dxf against the program itself.

Each drawing is made with ezdxf and hatched through the bridge; the same drawing is also
written here by hand as an exchange file and hatched by the program directly. The hatch lines
in the bridge's DXF must be the program's own, within 1e-9.

Usage: hatch_dxf_test.py HATCH-PROGRAM [unittest arguments]
"""

import math
import os
import pathlib
import subprocess
import sys
import tempfile
import unittest

try:
    import ezdxf
    from ezdxf.math import BSpline
except ImportError:
    print("skipped: the Python package ezdxf is absent (tools/deps.sh installs python3-ezdxf)")
    sys.exit(77)

HATCH = os.path.abspath(sys.argv.pop(1)) if len(sys.argv) > 1 else os.environ.get("HATCH", "")
BRIDGE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "hatch-dxf")
TEXT_HEIGHTS = [6.0, 5.0]   # text types 1 and 2 of the hand-written exchange files


def header():
    heights = " ".join(repr(h / 100) for h in TEXT_HEIGHTS + [1.0] * (10 - len(TEXT_HEIGHTS)))
    return ["hs" + " 100" * 16, "hch " + heights, "hcc" + " 1" * 10, "cn0 0 1 0 1",
            "lg0", "ly0", "lc0", "lt0", "pn0", "#"]


def program(lines, words):
    """The program's segments for an exchange file, each with the DXF colour it stands for."""
    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, "plc_temp.txt"), "w") as f:
            f.write("\n".join(header() + lines) + "\n")
        subprocess.run([HATCH] + words, cwd=folder, check=True, stdout=subprocess.DEVNULL)
        with open(os.path.join(folder, "plc_temp.txt"), "rb") as f:
            result = f.read().decode("ascii").splitlines()
    segments, colour = [], 256
    for line in result:
        if line.startswith("lc"):
            colour = int(line[2:]) or 256   # colour 0 means the layer's
        elif line.startswith(" "):
            segments.append(tuple(float(v) for v in line.split()) + (colour,))
    return segments


def bridge(test, doc, words, *options):
    """The hatch layer of the bridge's DXF; the rest of the drawing must be as it was."""
    with tempfile.TemporaryDirectory() as folder:
        source, target = os.path.join(folder, "in.dxf"), os.path.join(folder, "out.dxf")
        doc.saveas(source)
        subprocess.run([BRIDGE, "--hatch", HATCH, source, target, *options, *words], check=True)
        out = ezdxf.readfile(target).modelspace()
    kinds = lambda entities: sorted(e.dxftype() for e in entities)
    test.assertEqual(kinds(e for e in out if e.dxf.layer != "HATCH"), kinds(doc.modelspace()))
    test.assertEqual(kinds(out.query('*[layer=="HATCH"]')), ["LINE"] * len(out.query('LINE[layer=="HATCH"]')))
    return [tuple(e.dxf.start)[:2] + tuple(e.dxf.end)[:2] + (e.dxf.color,) for e in out.query('LINE[layer=="HATCH"]')]


def arc_of_bulge(p, q, b):
    """Centre, radius and counter-clockwise angles of the arc that bulge b puts between p and q."""
    (x1, y1), (x2, y2) = p, q
    k = (1 - b * b) / (4 * b)
    cx, cy = (x1 + x2) / 2 - (y2 - y1) * k, (y1 + y2) / 2 + (x2 - x1) * k
    a, c = math.degrees(math.atan2(y1 - cy, x1 - cx)), math.degrees(math.atan2(y2 - cy, x2 - cx))
    s, e = (a, c) if b > 0 else (c, a)
    return f"ci {cx!r} {cy!r} {math.hypot(x1 - cx, y1 - cy)!r} {s % 360!r} {e % 360!r}"


def seg(*v):
    return " " + " ".join(map(repr, map(float, v)))


def new_doc():
    doc = ezdxf.new("R2010")
    return doc, doc.modelspace()


def plate():
    doc, msp = new_doc()
    corners = [(0, 0), (200, 0), (200, 120), (0, 120)]
    for a, b in zip(corners, corners[1:] + corners[:1]):
        msp.add_line(a, b)
    msp.add_circle((50, 60), 20)
    msp.add_circle((150, 60), 15)
    msp.add_point((10, 10), dxfattribs={"layer": "HATCH-PICK"})
    lines = [seg(*a, *b) for a, b in zip(corners, corners[1:] + corners[:1])]
    return doc, lines + ["ci 50 60 20", "ci 150 60 15", "hp3 10 10"], ["/s1", "/a45", "/p5", "/h1x3"], []


def bulges():
    doc, msp = new_doc()
    points = [(0, 0, 0), (100, 0, 0.5), (100, 60, 0), (0, 60, -0.3)]
    msp.add_lwpolyline(points, format="xyb", close=True)
    lines = [seg(0, 0, 100, 0), arc_of_bulge((100, 0), (100, 60), 0.5), seg(100, 60, 0, 60),
             arc_of_bulge((0, 60), (0, 0), -0.3)]
    return doc, lines + ["hp3 50 30"], ["/s1", "/a30", "/p4"], ["--pick", "50,30"]


def blocks():
    doc, msp = new_doc()
    doc.blocks.new("HOLE").add_circle((0, 0), 4)
    lug = doc.blocks.new("LUG")
    square = [(-10, -10), (10, -10), (10, 10), (-10, 10)]
    lug.add_lwpolyline(square, close=True)
    lug.add_blockref("HOLE", (0, 0))
    lines = []
    for at, rot, sx, sy in (((30, 30), 30, 2, 2), ((100, 40), -20, 2, 1)):
        msp.add_blockref("LUG", at, dxfattribs={"rotation": rot, "xscale": sx, "yscale": sy})
        c, s = math.cos(math.radians(rot)), math.sin(math.radians(rot))
        place = lambda x, y: (at[0] + c * x * sx - s * y * sy, at[1] + s * x * sx + c * y * sy)
        ring = [place(*p) for p in square]
        lines += [seg(*a, *b) for a, b in zip(ring, ring[1:] + ring[:1])]
        lines.append(f"ci {at[0]!r} {at[1]!r} {4.0 * sx!r} 0 0 {sy / sx!r} {float(rot)!r}")
    return doc, lines, ["/s1", "/a0", "/p3"], []


def texts():
    doc, msp = new_doc()
    msp.add_lwpolyline([(0, 0), (120, 0), (120, 80), (0, 80)], close=True)
    msp.add_text("SECTION A", dxfattribs={"insert": (20, 30), "height": 6, "rotation": 15})
    msp.add_mtext("NOTE", dxfattribs={"insert": (70, 70), "char_height": 5, "attachment_point": 1})
    msp.add_point((5, 5), dxfattribs={"layer": "HATCH-PICK"})
    # The documented width estimate: 0.7 x height per character; an MTEXT box hangs below its insert.
    w = 9 * 0.7 * 6
    along = (w * math.cos(math.radians(15)), w * math.sin(math.radians(15)))
    lines = [seg(0, 0, 120, 0), seg(120, 0, 120, 80), seg(120, 80, 0, 80), seg(0, 80, 0, 0),
             "cn1", f'ch 20 30 {along[0]!r} {along[1]!r} "SECTION A', "cn2", f'ch 70 65 {4 * 0.7 * 5!r} 0 "NOTE']
    return doc, lines + ["hp3 5 5"], ["/s1", "/a45", "/p3"], []


def ellipses():
    doc, msp = new_doc()
    msp.add_ellipse((60, 40), (50, 20), 0.4)
    msp.add_ellipse((60, 40), (15, 0), 0.5, 0, math.pi)
    msp.add_line((45, 40), (75, 40))
    msp.add_point((60, 30), dxfattribs={"layer": "HATCH-PICK"})
    tilt = math.degrees(math.atan2(20, 50))
    lines = [f"ci 60 40 {math.hypot(50, 20)!r} 0 0 0.4 {tilt!r}", "ci 60 40 15 0 180 0.5 0", seg(45, 40, 75, 40)]
    return doc, lines + ["hp3 60 30"], ["/s1", "/a60", "/p2"], []


def spline():
    doc, msp = new_doc()
    control = [(0, 0), (30, 60), (70, 60), (100, 0)]
    msp.add_open_spline(control, degree=3)
    msp.add_line((100, 0), (0, 0))
    msp.add_point((50, 20), dxfattribs={"layer": "HATCH-PICK"})
    # Chords within the documented 0.01 x scale/100 of the curve.
    points = [p for p in BSpline(control, order=4).flattening(0.01)]
    lines = [seg(a.x, a.y, b.x, b.y) for a, b in zip(points, points[1:])] + [seg(100, 0, 0, 0)]
    return doc, lines + ["hp3 50 20"], ["/s1", "/a45", "/p3"], []


class BridgeTest(unittest.TestCase):
    def test_hatch_lines_are_the_programs(self):
        for case in (plate, bulges, blocks, texts, ellipses, spline):
            with self.subTest(case.__name__):
                doc, lines, words, options = case()
                want = sorted(program(lines, words), key=lambda s: [round(v, 6) for v in s])
                got = sorted(bridge(self, doc, words, *options), key=lambda s: [round(v, 6) for v in s])
                self.assertGreater(len(want), 10)
                self.assertEqual(len(got), len(want))
                for g, w in zip(got, want):
                    self.assertEqual(g[4], w[4])
                    self.assertTrue(all(abs(a - b) <= 1e-9 for a, b in zip(g[:4], w[:4])), (g, w))

    def test_bad_input_is_refused_in_one_line(self):
        with tempfile.TemporaryDirectory() as folder:
            path = lambda name: os.path.join(folder, name)
            doc, msp = new_doc()
            msp.add_point((1, 1))
            doc.saveas(path("points.dxf"))
            plate()[0].saveas(path("plate.dxf"))
            with open(path("notes.txt"), "w") as f:
                f.write("not a drawing\n")
            read = lambda name: pathlib.Path(folder, name).read_bytes()
            before = read("plate.dxf")
            for args in (["missing.dxf", "out.dxf"], [folder, "out.dxf"], ["notes.txt", "out.dxf"],
                         ["points.dxf", "out.dxf"], ["plate.dxf", "plate.dxf"], ["plate.dxf", folder],
                         ["plate.dxf", "no/such/folder/out.dxf"], ["plate.dxf", "out.dxf", "abc"]):
                with self.subTest(args):
                    run = subprocess.run([BRIDGE, "--hatch", HATCH] + args, cwd=folder,
                                         capture_output=True, text=True)
                    self.assertNotEqual(run.returncode, 0)
                    self.assertRegex(run.stderr, r"\Ahatch-dxf: [^\n]+\n\Z")
                    self.assertFalse(os.path.exists(path("out.dxf")))
            self.assertEqual(read("plate.dxf"), before)


if __name__ == "__main__":
    unittest.main()
