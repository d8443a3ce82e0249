# An independent calculation of the rules for the band cases: the band outline of a polyline
# (offset by the band width to the side of hp1, inner ends lengthened, mitre join, caps), then
# line hatch at angle 0 over that one region (fill mode 2: every row that meets the bounding box
# is clipped against the outline; pieces whose midpoints wind once around are written).
# Usage: python3 band_hatch.py above|below|l-shape
import math, sys

PI = 4 * math.atan(1.0)

def g(v): return '%1.15g' % v

def distance(x1, y1, x2, y2):
    dx, dy = x1 - x2, y1 - y2
    if abs(dx) < 0.001: return abs(dy)
    if abs(dy) < 0.001: return abs(dx)
    return math.sqrt(dx * dx + dy * dy)

def nearer_end(L, t): return abs(L * t) if t < 0.5 else abs(L - L * t)

def classify(A, B):
    """Relation code of two segments ((x1,y1),(x2,y2)) and the crossing of their lines."""
    (ax1, ay1), (ax2, ay2) = A
    (bx1, by1), (bx2, by2) = B
    LA, LB = distance(ax1, ay1, ax2, ay2), distance(bx1, by1, bx2, by2)
    a = (ax2 - ax1, ay2 - ay1); b = (bx2 - bx1, by2 - by1); w = (bx1 - ax1, by1 - ay1)
    den = b[0] * a[1] - b[1] * a[0]
    if abs(den) < 0.001: return 0, None
    t = (b[0] * w[1] - b[1] * w[0]) / den
    u = (a[0] * w[1] - a[1] * w[0]) / den
    p = (ax1 + a[0] * t, ay1 + a[1] * t)
    eA, eB = nearer_end(LA, t), nearer_end(LB, u)
    if eA <= 0.1 and eB <= 0.1:
        if t < 0.5 and u < 0.5: return 6, p
        if t > 0.5 and u < 0.5: return 7, p
        if t < 0.5 and u > 0.5: return 8, p
        if t > 0.5 and u > 0.5: return 9, p
        return 0, p
    if 0 < u < 1 and eA <= 0.1: return (2 if t < 0.5 else 3), p
    if 0 < t < 1 and eB <= 0.1: return (4 if u < 0.5 else 5), p
    if 0 < t < 1 and 0 < u < 1: return 1, p
    return 0, p

def line_eq(S):
    (x1, y1), (x2, y2) = S
    dx, dy = x2 - x1, y2 - y1
    L = math.sqrt(dx * dx + dy * dy)
    return -dy / L, dx / L, (x1 * y2 - x2 * y1) / L

def on_segment(S, px, py, tol):
    (x1, y1), (x2, y2) = S
    mx = (x1 + x2) * 0.5; hx = max(x1, x2) - mx + 0.1
    my = (y1 + y2) * 0.5; hy = max(y1, y2) - my + 0.1
    if not (mx - hx <= px <= mx + hx and my - hy <= py <= my + hy): return False
    a, b, k = line_eq(S)
    q = (a * px + b * py + k) ** 2 / (a * a + b * b)
    return abs(q) < tol

def winding(loop, px, py, tol):
    s = 0.0
    for Q in loop:
        if on_segment(Q, px, py, tol): return 0
        (x1, y1), (x2, y2) = Q
        d = math.atan2(y2 - py, x2 - px) - math.atan2(y1 - py, x1 - px)
        if d < -PI: d += 2 * PI
        elif d > PI: d -= 2 * PI
        s += d
    s = abs(s)
    if PI - 0.1 < s < PI + 0.1: return 0
    return -1 if s <= 2 * PI - 0.1 else 1

def meets_box(S, xmin, ymin, xmax, ymax):
    edges = [((xmin, ymin), (xmin, ymax)), ((xmax, ymin), (xmax, ymax)),
             ((xmax, ymin), (xmin, ymin)), ((xmax, ymax), (xmin, ymax))]
    if any(classify(S, E)[0] != 0 for E in edges): return True
    (x1, y1), (x2, y2) = S
    return xmin < x1 < xmax and xmin < x2 < xmax and ymin < y1 < ymax and ymin < y2 < ymax

def line_hatch(loop, pitch, tol=0.5, attrs=('ly1', 'lt0', 'lc2')):
    xs = [p[0] for e in loop for p in e]; ys = [p[1] for e in loop for p in e]
    minx, maxx, miny, maxy = min(xs), max(xs), min(ys), max(ys)
    ix = math.trunc(math.trunc(minx - pitch) / pitch)
    iy = math.trunc(math.trunc(miny - 2 * pitch) / (2 * pitch))
    x1, x2, y = ix * pitch, maxx + pitch, iy * 2 * pitch
    out, selected = [], False
    while y < maxy:
        row = ((x1, y), (x2, y))
        if meets_box(row, minx, miny, maxx, maxy):
            cross = []
            for E in loop:
                code, p = classify(row, E)
                if code != 0: cross.append((distance(x1, y, p[0], p[1]), p))
            cross.sort(key=lambda c: c[0])
            if cross:
                if not selected: out.extend(attrs); selected = True  # both sets are the same
                pts = [(x1, y)] + [c[1] for c in cross] + [(x2, y)]
                for a, b in zip(pts, pts[1:]):
                    mx, my = (a[0] + b[0]) * 0.5, (a[1] + b[1]) * 0.5
                    if winding(loop, mx, my, tol) == 1:
                        out.append(' %s %s %s %s' % (g(a[0]), g(a[1]), g(b[0]), g(b[1])))
        y += pitch
    return out

def offset(S, d):
    (x1, y1), (x2, y2) = S
    th = math.atan2(y2 - y1, x2 - x1)
    if th < 0: th += 2 * PI
    return [[x1 - d * math.sin(th), y1 + d * math.cos(th)], [x2 - d * math.sin(th), y2 + d * math.cos(th)]]

def extend(mode, S, d):
    th = math.atan2(S[1][1] - S[0][1], S[1][0] - S[0][0])
    if th < 0: th += 2 * PI
    if mode in (0, 2): S[1] = [S[1][0] + d * math.cos(th), S[1][1] + d * math.sin(th)]
    if mode in (1, 2): S[0] = [S[0][0] - d * math.cos(th), S[0][1] - d * math.sin(th)]

def meet(l1, l2):
    (a1, b1, k1), (a2, b2, k2) = l1, l2
    det = a1 * b2 - a2 * b1
    if abs(det) < 0.001: return None
    return (b1 * k2 - b2 * k1) / det, (a2 * k1 - a1 * k2) / det

def tup(S): return (tuple(S[0]), tuple(S[1]))
def rev(S): return (S[1], S[0])

def band_loop(case):
    if case == 'above':
        S = ((0.0, 0.0), (1000.0, 0.0)); t = tup(offset(S, 100.0))
        cap1 = (S[0], t[0]); cap2 = (S[1], t[1])
        # traced from S along the left turns: S, cap2, t reversed, cap1 reversed
        return [S, cap2, rev(t), rev(cap1)]
    if case == 'below':
        S = ((0.0, 0.0), (1000.0, 0.0)); t = tup(offset(S, -100.0))
        cap1 = ((0.0, -100.0), (0.0, 0.0)); cap2 = ((1000.0, -100.0), (1000.0, 0.0))  # turned upwards
        assert cap1 == rev((S[0], t[0])) and cap2 == rev((S[1], t[1]))
        # the bottom edge faces the band, so it starts reversed
        return [rev(S), rev(cap1), t, cap2]
    if case == 'l-shape':
        S1 = ((0.0, 0.0), (1000.0, 0.0)); S2 = ((1000.0, 0.0), (1000.0, 1000.0))
        t1 = offset(S1, 100.0); extend(0, t1, 100.0)
        t2 = offset(S2, 100.0); extend(1, t2, 100.0)
        I = meet(line_eq(tup(t2)), line_eq(tup(t1)))
        t2[0] = list(I); t1[1] = list(I)
        t1, t2 = tup(t1), tup(t2)
        cap1 = (S1[0], t1[0]); cap2 = (S2[1], t2[1])
        return [S1, S2, cap2, rev(t2), rev(t1), rev(cap1)]
    raise SystemExit('unknown case ' + case)

if __name__ == '__main__':
    case = sys.argv[1]
    pitch = 50.0 if case == 'l-shape' else 25.0
    loop = band_loop(case)
    for e in loop: print('# edge', e, file=sys.stderr)
    for l in line_hatch(loop, pitch) + ['lg0', 'ly1', 'lc2', 'lt0']: print(l)
