# An independent calculation of the hatch writer's rules over regions whose loops are given by
# hand (outline and islands in the traced path order, text boxes), written from the published
# rules: hatch frame, bounds, grid, rows, crossings with straight edges and with arc chords
# (moved onto the true circle), the midpoint test with the winding rule, the line, brick, fan
# and slant styles, and the attribute lines. It produced the expected output of the
# end-to-end cases whose numbers are not round (circles, angles other than 0, the slant).
#   python3 region_hatch.py CASE     prints the expected exchange file of one case
import math, sys

PI = 4 * math.atan(1.0)
TOL = 0.5                      # the run's coincidence tolerance at scale 100


class Seg:
    def __init__(self, x1, y1, x2, y2, arc=None):
        self.x1, self.y1, self.x2, self.y2, self.arc = x1, y1, x2, y2, arc


class Arc:
    def __init__(self, cx, cy, r, start=0.0, end=2 * PI, flatness=1.0, tilt=0.0):
        self.cx, self.cy, self.r = cx, cy, r
        self.start, self.end, self.flatness, self.tilt = start, end, flatness, tilt


def g(v):
    return '%1.15g' % v


# ---- kernel -------------------------------------------------------------------------------
def distance(x1, y1, x2, y2):
    dx, dy = x1 - x2, y1 - y2
    if abs(dx) < 0.001:
        return abs(dy)
    if abs(dy) < 0.001:
        return abs(dx)
    return math.sqrt(dx * dx + dy * dy)


def seg_len(s):
    return distance(s.x1, s.y1, s.x2, s.y2)


def nearer_end(L, t):
    return abs(L * t) if t < 0.5 else abs(L - L * t)


def classify(A, B):
    """Relation code of two segments and the crossing of their carrying lines."""
    LA, LB = seg_len(A), seg_len(B)
    ax, ay = A.x2 - A.x1, A.y2 - A.y1
    bx, by = B.x2 - B.x1, B.y2 - B.y1
    wx, wy = B.x1 - A.x1, B.y1 - A.y1
    den = bx * ay - by * ax
    if abs(den) < 0.001:
        return 0, None
    t = (bx * wy - by * wx) / den
    u = (ax * wy - ay * wx) / den
    p = (A.x1 + ax * t, A.y1 + ay * t)
    eA, eB = nearer_end(LA, t), nearer_end(LB, u)
    if eA <= 0.1 and eB <= 0.1:
        if t < 0.5 and u < 0.5: return 6, p
        if t > 0.5 and u < 0.5: return 7, p
        if t < 0.5 and u > 0.5: return 8, p
        if t > 0.5 and u > 0.5: return 9, p
        return 0, p
    if 0 < u < 1 and eA <= 0.1:
        return (2 if t < 0.5 else 3), p
    if 0 < t < 1 and eB <= 0.1:
        return (4 if u < 0.5 else 5), p
    if 0 < t < 1 and 0 < u < 1:
        return 1, p
    return 0, p


def on_segment(s, px, py):
    mx = (s.x1 + s.x2) * 0.5; hx = max(s.x1, s.x2) - mx + 0.1
    my = (s.y1 + s.y2) * 0.5; hy = max(s.y1, s.y2) - my + 0.1
    if not (mx - hx <= px <= mx + hx and my - hy <= py <= my + hy):
        return False
    dx, dy = s.x2 - s.x1, s.y2 - s.y1
    L = math.sqrt(dx * dx + dy * dy)
    a, b, k = -dy / L, dx / L, (s.x1 * s.y2 - s.x2 * s.y1) / L
    q = (a * px + b * py + k) ** 2 / (a * a + b * b)
    return abs(q) < TOL


def winding(loop, px, py):
    total = 0.0
    for s in loop:
        if on_segment(s, px, py):
            return 0
        d = math.atan2(s.y2 - py, s.x2 - px) - math.atan2(s.y1 - py, s.x1 - px)
        if d < -PI: d += 2 * PI
        elif d > PI: d -= 2 * PI
        total += d
    a = abs(total)
    if PI - 0.1 < a < PI + 0.1: return 0
    if a <= 2 * PI - 0.1: return -1
    return 1


def rotate(x, y, th):
    """Turn a point counter-clockwise by th about the origin, as the kernel's transform does."""
    m00, m01, m10, m11 = math.cos(th), math.sin(th), -math.sin(th), math.cos(th)
    return x * m00 + y * m10 + 0.0, x * m01 + y * m11 + 0.0


def quicksort(a, lo, hi):
    i, j = lo, hi
    pivot = a[(lo + hi) // 2]
    while i <= j:
        while a[i] < pivot and i < hi: i += 1
        while pivot < a[j] and j > lo: j -= 1
        if i <= j:
            a[i], a[j] = a[j], a[i]
            i += 1; j -= 1
    if lo < j: quicksort(a, lo, j)
    if i < hi: quicksort(a, i, hi)


# ---- crossings ----------------------------------------------------------------------------
class TooManyCrossings(Exception):
    pass


def arc_point(entry, line, arc):
    # the line in the arc's own frame: translation by minus the centre, then turn by minus the tilt
    pts = []
    for x, y in ((line.x1, line.y1), (line.x2, line.y2)):
        x, y = x + (-arc.cx), y + (-arc.cy)
        pts.append(rotate(x, y, -arc.tilt))
    (px, py), (qx, qy) = pts
    L = math.sqrt((qx - px) ** 2 + (qy - py) ** 2)
    ux, uy = (qx - px) / L, (qy - py) / L
    k, r = arc.flatness, arc.r
    qa = uy * uy / (k * k) + ux * ux
    qb = 2 * (py * uy / (k * k) + px * ux)
    qc = py * py / (k * k) + px * px - r * r
    s = math.sqrt(abs(qb * qb - 4 * qa * qc))
    t1, t2 = (s - qb) / (2 * qa), (-qb - s) / (2 * qa)
    back = []
    for t in (t1, t2):
        x, y = rotate(px + t * ux, py + t * uy, arc.tilt)
        back.append((x + arc.cx, y + arc.cy))
    x, y = entry['x'], entry['y']
    q1, q2 = back
    entry['xu'], entry['yu'] = q1 if distance(x, y, *q1) < distance(x, y, *q2) else q2


def collect(table, loop, line):
    added = 0
    for e in loop:
        code, p = classify(line, e)
        if code == 0:
            continue
        entry = {'x': p[0], 'y': p[1], 'd': distance(line.x1, line.y1, p[0], p[1]),
                 'xu': p[0], 'yu': p[1]}
        if e.arc is not None:
            arc_point(entry, line, e.arc)
        table.append(entry)
        added += 1
        if len(table) == 50:
            raise TooManyCrossings()
    if added == 0:
        return 0
    keys = [en['d'] for en in table]
    if len(keys) >= 2:
        quicksort(keys, 0, len(keys) - 1)
        for p in range(len(table)):
            q = next(q for q in range(p, len(table)) if table[q]['d'] == keys[p])
            table[p], table[q] = table[q], table[p]
    return added


# ---- the run's hatch state ----------------------------------------------------------------
class Hatch:
    def __init__(self, regions, boxes=(), fill_mode=1, hatch_attr=((1, 0, 2), (1, 0, 2)),
                 hp2=(0.0, 0.0)):
        # regions: list in region_list order of (outline, [island, ...]); loops are lists of Seg
        self.regions, self.boxes, self.fill_mode = regions, list(boxes), fill_mode
        self.attr, self.hp2 = hatch_attr, hp2
        self.state = [-1, -1, -1]            # layer, line type, colour in force
        self.out, self.theta = [], 0.0

    def loops(self):
        for outline, islands in self.regions:
            yield outline
            for i in islands:
                yield i
        for b in self.boxes:
            yield b

    def arcs(self):
        seen = []
        for loop in self.loops():
            for s in loop:
                if s.arc is not None and all(s.arc is not a for a in seen):
                    seen.append(s.arc)
        return seen

    def to_frame(self, th):
        for loop in self.loops():
            for s in loop:
                s.x1, s.y1 = rotate(s.x1 - self.hp2[0], s.y1 - self.hp2[1], -th)
                s.x2, s.y2 = rotate(s.x2 - self.hp2[0], s.y2 - self.hp2[1], -th)
        for a in self.arcs():
            a.cx, a.cy = rotate(a.cx - self.hp2[0], a.cy - self.hp2[1], -th)
            a.tilt -= th

    def from_frame(self, th):
        for loop in self.loops():
            for s in loop:
                x, y = rotate(s.x1, s.y1, th); s.x1, s.y1 = x + self.hp2[0], y + self.hp2[1]
                x, y = rotate(s.x2, s.y2, th); s.x2, s.y2 = x + self.hp2[0], y + self.hp2[1]
        for a in self.arcs():
            x, y = rotate(a.cx, a.cy, th); a.cx, a.cy = x + self.hp2[0], y + self.hp2[1]
            a.tilt += th

    def bounds(self):
        self.minx = self.miny = 100000.0
        self.maxx = self.maxy = -100000.0
        for loop in self.loops():
            for s in loop:
                for x, y in ((s.x1, s.y1), (s.x2, s.y2)):
                    self.minx, self.maxx = min(self.minx, x), max(self.maxx, x)
                    self.miny, self.maxy = min(self.miny, y), max(self.maxy, y)

    def grid(self, tx, ty):
        ix = math.trunc(math.trunc(self.minx - tx) / tx)
        iy = math.trunc(math.trunc(self.miny - 2 * ty) / (2 * ty))
        return Seg(ix * tx, iy * 2 * ty, self.maxx + tx, iy * 2 * ty)

    def select(self, k):
        for i, name in enumerate(('ly%x', 'lt%d', 'lc%d')):
            if self.state[i] != self.attr[k][i]:
                self.out.append(name % self.attr[k][i])
                self.state[i] = self.attr[k][i]

    def inside(self, x, y):
        in_outline = any(winding(o, x, y) == 1 for o, _ in self.regions)
        in_island = any(winding(i, x, y) == 1 for _, isl in self.regions for i in isl)
        in_box = any(winding(b, x, y) == 1 for b in self.boxes)
        return ((in_outline and not in_island and not in_box) or
                (not in_outline and not in_island and in_box and self.fill_mode == 2))

    def write(self, x1, y1, x2, y2):
        p = rotate(x1, y1, self.theta); q = rotate(x2, y2, self.theta)
        self.out.append(' %s %s %s %s' % (g(p[0] + self.hp2[0]), g(p[1] + self.hp2[1]),
                                           g(q[0] + self.hp2[0]), g(q[1] + self.hp2[1])))

    def table(self, line):
        t = []
        for loop in self.loops():
            collect(t, loop, line)
        return t

    def clip(self, t, line):
        ends = ([(line.x1, line.y1, line.x1, line.y1)] +
                [(c['x'], c['y'], c['xu'], c['yu']) for c in t] +
                [(line.x2, line.y2, line.x2, line.y2)])
        for a, b in zip(ends, ends[1:]):
            if self.inside((a[0] + b[0]) * 0.5, (a[1] + b[1]) * 0.5):
                self.write(a[2], a[3], b[2], b[3])

    def clipped(self, line):
        if self.fill_mode == 2 and ((line.x1 < self.minx and line.x2 < self.minx) or
                                    (line.x1 > self.maxx and line.x2 > self.maxx) or
                                    (line.y1 < self.miny and line.y2 < self.miny) or
                                    (line.y1 > self.maxy and line.y2 > self.maxy)):
            return
        t = self.table(line)
        if t:
            self.clip(t, line)
        elif self.inside((line.x1 + line.x2) * 0.5, (line.y1 + line.y2) * 0.5):
            self.write(line.x1, line.y1, line.x2, line.y2)

    def rows(self, row, step):
        k = 0
        while row.y1 < self.maxy:
            t = self.table(row)
            if t:
                self.select(k % 2); k += 1
                self.clip(t, row)
            row.y1 += step; row.y2 += step

    # styles
    def line_hatch(self, angles_deg, pitches, line_count=1, spacing=50.0):
        for k, a in enumerate(angles_deg):
            self.theta = a * PI / 180
            self.to_frame(self.theta)
            self.bounds()
            p = pitches[k]
            base = self.grid(p, p)
            def shifted(dy):
                r = Seg(base.x1, base.y1, base.x2, base.y2)
                r.y1 += dy; r.y2 += dy
                return r
            if line_count == 1:
                self.rows(shifted(0.0), p)
            elif line_count == 2:
                self.rows(shifted(spacing / 2), p); self.rows(shifted(-spacing / 2), p)
            else:
                self.rows(shifted(0.0), p); self.rows(shifted(spacing), p)
                self.rows(shifted(-spacing), p)
            self.from_frame(self.theta)

    def brick(self, tx, ty):
        self.bounds(); self.select(0)
        row = self.grid(tx, ty); copy = Seg(row.x1, row.y1, row.x2, row.y2)
        self.rows(row, ty)
        for k in (0, 1):
            y1 = copy.y1 + k * ty; y2 = y1 + ty
            while y1 < self.maxy + ty:
                x = copy.x1 + k * tx * 0.5
                while x < self.maxx + tx:
                    self.clipped(Seg(x, y1, x, y2)); x += tx
                y1 += 2 * ty; y2 += 2 * ty

    def fan(self, n):
        self.bounds(); self.select(0)
        H = self.maxy - self.miny; s = H / n
        stroke = Seg(self.minx - H, self.maxy, self.minx, self.miny)
        copy = Seg(stroke.x1, stroke.y1, stroke.x2, stroke.y2); sign = 1
        while stroke.x1 < self.maxx:
            for _ in range(n):
                self.clipped(Seg(stroke.x1, stroke.y1, stroke.x2, stroke.y2))
                stroke.x1 += 2 * s; stroke.x2 += s; stroke.y2 += sign * s
            copy = Seg(copy.x2, copy.y2, copy.x1, copy.y1)
            stroke = Seg(copy.x1, copy.y1, copy.x2 + 2 * H, copy.y2)
            copy = Seg(stroke.x1, stroke.y1, stroke.x2, stroke.y2); sign = -sign

    def slant(self):
        self.bounds(); self.select(0)
        h = self.maxy - self.miny; a = 0.7 * h; d = h / math.tan(7 * PI / 18)
        x0 = self.minx - a
        for s in (Seg(x0, self.miny, x0 + d, self.maxy),
                  Seg(x0 + 0.75 * d, self.maxy - h / 4, x0 + 0.5 * d, self.maxy),
                  Seg(x0 + 0.25 * d, self.miny + h / 4, x0 + 0.5 * d, self.miny)):
            while s.x1 < self.maxx:
                self.clipped(Seg(s.x1, s.y1, s.x2, s.y2))
                s.x1 += a; s.x2 += a


# ---- loops --------------------------------------------------------------------------------
def polygon(*pts):
    """A closed loop through the points, in that order."""
    return [Seg(*pts[i], *pts[(i + 1) % len(pts)]) for i in range(len(pts))]


def chords(arc_in, start_deg, end_deg, flatness=1.0, tilt_deg=0.0):
    """The chords an arc is flattened into, first chord first, and the Arc they refer to."""
    start, end = start_deg * PI / 180, end_deg * PI / 180
    arc = Arc(arc_in[0], arc_in[1], arc_in[2], start, end, flatness, tilt_deg * PI / 180)
    step = 15 * PI / 180
    def pt(a):
        x, y = arc.cx + arc.r * math.cos(a), arc.cy + arc.r * math.sin(a)
        dx, dy = x - arc.cx, (y - arc.cy) * arc.flatness
        return (arc.cx + dx * math.cos(arc.tilt) - dy * math.sin(arc.tilt),
                arc.cy + dx * math.sin(arc.tilt) + dy * math.cos(arc.tilt))
    out, s = [], start if start <= end else start - 2 * PI
    spans = []
    while s + step < end:
        spans.append((s, s + step)); s = s + step
    spans.append((s, end))
    for a, b in spans:
        p, q = pt(a), pt(b)
        if abs(p[0] - q[0]) <= TOL and abs(p[1] - q[1]) <= TOL:
            out[-1].x2, out[-1].y2 = q           # too short: the previous chord reaches on
        else:
            out.append(Seg(p[0], p[1], q[0], q[1], arc))
    return out, arc


def rotate_loop(loop, first):
    return loop[first:] + loop[:first]


def restore(initial=(0, 1, 2, 0)):
    return ['lg%x' % initial[0], 'ly%x' % initial[1], 'lc%d' % initial[2], 'lt%d' % initial[3]]


# ---- the cases ----------------------------------------------------------------------------
def ray_hit(loop, px, py):
    """Index of the edge the pick point's ray meets first (list order decides ties)."""
    ray = Seg(px, py, 100000.0, py)
    best, hit = 100000.0, None
    for i, s in enumerate(loop):
        code, p = classify(ray, s)
        if code and distance(px, py, *p) < best:
            best, hit = distance(px, py, *p), i
    return hit


def case_region_circle():
    cs, arc = chords((0.0, 0.0, 100.0), 0.0, 360.0)
    # segment_list holds the chords newest first; the ray from the centre picks the first hit
    newest_first = cs[::-1]
    hit = newest_first[ray_hit(newest_first, 0.0, 0.0)]
    outline = rotate_loop(cs, cs.index(hit))   # counter-clockwise from the edge hit
    h = Hatch([(outline, [])])
    h.line_hatch([0.0], [25.0])
    return h.out + restore()


def case_outline_with_arc():
    cs, arc = chords((0.0, 0.0, 100.0), 90.0, 270.0)
    line = Seg(0.0, -100.0, 0.0, 100.0)
    f = 50.0 / 100.0
    out = ['lg1', 'lt0', 'lc2', 'ly0', ' %s %s %s %s' % (g(line.x1 * f), g(line.y1 * f),
                                                        g(line.x2 * f), g(line.y2 * f)),
           'ci %s %s %s %s %s %s %s' % (g(arc.cx * f), g(arc.cy * f), g(arc.r * f),
                                        g(math.fmod(90.0 + 360, 360)),
                                        g(math.fmod(270.0 + 360, 360)), g(1.0), g(0.0)),
           'lg0']
    h = Hatch([([line] + cs, [])])
    h.line_hatch([0.0], [50.0])
    return out + h.out + restore()


def case_outline_full_circle():
    cs, arc = chords((0.0, 0.0, 100.0), 0.0, 360.0)
    newest_first = cs[::-1]
    hit = newest_first[ray_hit(newest_first, 0.0, 0.0)]
    outline = rotate_loop(cs, cs.index(hit))
    # one arc over the whole loop: written once, a full circle from 0 to 0 degrees
    out = ['lg1', 'lt0', 'lc2', 'ly0', 'ci 0 0 100 %s %s 1 0' % (g(math.fmod(0.0 + 360, 360)),
                                                                g(math.fmod(360.0 + 360, 360))),
           'lg0']
    h = Hatch([(outline, [])])
    h.line_hatch([0.0], [25.0])
    return out + h.out + restore()


def case_region_ellipse_tilted():
    cs, arc = chords((0.0, 0.0, 100.0), 0.0, 360.0, 0.5, 30.0)
    newest_first = cs[::-1]
    hit = newest_first[ray_hit(newest_first, 0.0, 0.0)]
    outline = rotate_loop(cs, cs.index(hit))
    h = Hatch([(outline, [])])
    h.line_hatch([0.0], [20.0])
    return h.out + restore()


def square_outline():
    # traced from a pick point at the centre: the right edge upwards first, counter-clockwise
    return polygon((100.0, 0.0), (100.0, 100.0), (0.0, 100.0), (0.0, 0.0))


def case_angles_two():
    h = Hatch([(square_outline(), [])])
    h.line_hatch([0.0, 90.0], [25.0, 50.0])
    return h.out + restore()


def case_angles_three():
    h = Hatch([(square_outline(), [])])
    h.line_hatch([0.0, 45.0, 90.0], [25.0, 25.0, 50.0])
    return h.out + restore()


def case_slant_rectangle():
    h = Hatch([(polygon((100.0, 0.0), (100.0, 50.0), (0.0, 50.0), (0.0, 0.0)), [])])
    h.slant()
    return h.out + restore()


def case_typical_square_45():
    h = Hatch([(polygon((20.0, 0.0), (20.0, 20.0), (0.0, 20.0), (0.0, 0.0)), [])])
    h.line_hatch([45.0], [5.0])
    return h.out + restore()


CASES = {n[5:].replace('_', '-'): f for n, f in globals().items() if n.startswith('case_')}

if __name__ == '__main__':
    for line in CASES[sys.argv[1]]():
        print(line)
