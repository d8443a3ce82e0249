#!/usr/bin/env python3
# Writes the figure file of the figure-tiles example: a tile of 100 x 100, set by a
# construction line (line type 9: it sizes the tile and is not drawn), holding a
# cross of two lines and a circle.
#   python3 examples/figure-plk.py            writes examples/figure-tiles/cross.plk
# Layout of a .plk file, all numbers little-endian, records packed:
#   200 bytes header starting with the magic "plodix(c)sym";
#   200 bytes of text "lines,arcs,points,0";
#   22 bytes per line: x1 y1 x2 y2 (float32), line type, colour, layer (bytes), 3 spare;
#   32 bytes per arc: cx cy r (float32), flatness x 10000 (uint16), start, end, tilt
#     (degrees x 65536, int32), line type, colour, layer, 3 spare;
#   12 bytes per point: x y (float32), layer, pen, 2 spare.
import os
import struct

MAGIC = b'plodix(c)sym'


def line(x1, y1, x2, y2, line_type, colour, layer):
    return struct.pack('<4f3B3x', x1, y1, x2, y2, line_type, colour, layer)


def arc(cx, cy, r, flatness, start, end, tilt, line_type, colour, layer):
    def fixed(deg):
        return int(round(deg * 65536))
    return struct.pack('<3fH3i3B3x', cx, cy, r, int(round(flatness * 10000)), fixed(start), fixed(end),
                       fixed(tilt), line_type, colour, layer)


def figure(lines, arcs, points=()):
    counts = ('%d,%d,%d,0' % (len(lines), len(arcs), len(points))).encode()
    return (MAGIC + bytes(200 - len(MAGIC)) + counts + bytes(200 - len(counts)) +
            b''.join(lines) + b''.join(arcs) + b''.join(points))


if __name__ == '__main__':
    data = figure(
        lines=[line(0, 0, 100, 100, 9, 0, 0),     # the tile's extent
               line(35, 50, 65, 50, 0, 3, 1),     # the cross, colour 3
               line(50, 35, 50, 65, 0, 3, 1)],
        arcs=[arc(50, 50, 25, 1, 0, 0, 0, 0, 5, 1)])  # a full circle, colour 5
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'figure-tiles', 'cross.plk')
    with open(out, 'wb') as f:
        f.write(data)
