# Writes the figure files (.plk) of the end-to-end figure cases and works out the expected
# output of the random scatter independently of the program.
# Usage: python3 figure_files.py <tests/e2e directory>
import os, struct, sys

MAGIC = b'plodix(c)sym'

def header():
    return MAGIC + bytes(200 - len(MAGIC))

def counts(n_lines, n_arcs, n_points, size=200):
    text = ('%d,%d,%d,0' % (n_lines, n_arcs, n_points)).encode()
    return text + bytes(size - len(text))

def line(x1, y1, x2, y2, line_type, colour, layer):
    return struct.pack('<4f3B3x', x1, y1, x2, y2, line_type, colour, layer)

def fixed(deg):
    return int(round(deg * 65536))

def arc(cx, cy, r, flat, start, end, tilt, line_type, colour, layer):
    return struct.pack('<3fH3i3B3x', cx, cy, r, int(round(flat * 10000)), fixed(start), fixed(end),
                       fixed(tilt), line_type, colour, layer)

def point(x, y, layer, pen):
    return struct.pack('<2f2B2x', x, y, layer, pen)

assert len(line(0, 0, 0, 0, 0, 0, 0)) == 22
assert len(arc(0, 0, 0, 1, 0, 0, 0, 0, 0, 0)) == 32
assert len(point(0, 0, 0, 0)) == 12

def put(root, case, name, data):
    d = os.path.join(root, case, 'input')
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), 'wb') as f:
        f.write(data)

# /s6 random scatter: the seed comes from the hatch-frame bounds, two draws per copy.
def scatter(min_x, min_y, max_x, max_y, count):
    state = int(max_x + max_y) & 0xFFFFFFFF
    def draw():
        nonlocal state
        state = (state * 1103515245 + 12345) & 0xFFFFFFFF
        return (state >> 16) & 32767
    w, h = max_x - min_x, max_y - min_y
    out = []
    for _ in range(count):
        u = draw(); v = draw()
        out.append((u / 32767.0 * w + min_x, v / 32767.0 * h + min_y))
    return out

def g(v): return '%1.15g' % v

if __name__ == '__main__':
    root = sys.argv[1]
    # one 80-long line, colour 3, layer 2: copies stick out of the region and into the island
    put(root, 'figure-whole-skips-island', 'mark.plk', header() + counts(1, 0, 0) + line(0, 0, 80, 0, 0, 3, 2))
    put(root, 'figure-random-none', 'mark.plk', header() + counts(1, 0, 0) + line(0, 0, 10, 0, 0, 3, 2))
    # a line and a point with pen 3: pn0 comes with the first line, pn3 with the first point
    put(root, 'figure-random', 'mark.plk',
        header() + counts(1, 0, 1) + line(0, 0, 10, 0, 0, 3, 2) + point(0, 5, 2, 3))
    # a construction line makes the 100 x 100 tile; one circle r 30 in its middle
    put(root, 'figure-arc-cut', 'ring.plk',
        header() + counts(1, 1, 0) + line(0, 0, 100, 100, 9, 0, 0) + arc(50, 50, 30, 1, 0, 0, 0, 0, 4, 3))
    put(root, 'figure-short-counts', 'cut.plk', header() + counts(1, 0, 0, size=20))
    put(root, 'figure-short-line-record', 'cut.plk',
        header() + counts(2, 0, 0) + line(0, 0, 10, 0, 0, 3, 2) + line(0, 0, 10, 0, 0, 3, 2)[:10])
    put(root, 'figure-short-arc-record', 'cut.plk',
        header() + counts(1, 1, 0) + line(0, 0, 100, 100, 0, 0, 0) + arc(50, 50, 30, 1, 0, 0, 0, 0, 4, 3)[:20])
    # tiles below the tolerance: a dot and a sliver
    put(root, 'figure-tile-below-tolerance', 'dot.plk',
        header() + counts(1, 0, 0) + line(0, 0, 1e-20, 1e-20, 0, 3, 2))
    put(root, 'figure-tile-sliver', 'sliver.plk',
        header() + counts(1, 0, 0) + line(0, 0, 20, 1e-30, 0, 3, 2))
    # coordinates that are not numbers: a line with a NaN end, one good line, a point at infinity
    put(root, 'figure-non-finite-elements', 'odd.plk',
        header() + counts(2, 0, 1) + line(0, 0, float('nan'), 0, 0, 5, 1) + line(0, 0, 10, 0, 0, 3, 2)
        + point(0, float('inf'), 2, 3))
    # expected output of figure-random: rectangle 0..250 x 0..100, origin 0 0, angle 0
    lines = []
    first = True
    for x, y in scatter(0.0, 0.0, 250.0, 100.0, 3):
        if first:
            lines += ['lc3', 'lt0', 'ly2', 'pn0']
        lines.append(' %s %s %s %s' % (g(x + 0.0), g(y + 0.0), g(x + 10.0), g(y + 0.0)))
        if first:
            lines.append('pn3')
            first = False
        lines.append('pt %s %s' % (g(x + 0.0), g(y + 5.0)))
    lines += ['lg0', 'ly1', 'lc2', 'lt0']
    d = os.path.join(root, 'figure-random', 'expected')
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, 'plc_temp.txt'), 'w') as f:
        f.write(''.join(l + '\n' for l in lines))
