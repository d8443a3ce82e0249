# An independent calculation of line hatch over one convex region without islands, written
# from the published rules (hatch frame, grid, rows, crossings, midpoint test); it produced the
# expected output of the end-to-end cases at angles other than 0.
import math, sys
def rot(x, y, th):  # row-vector rotation matrix as the kernel defines it
    c, s = math.cos(th), math.sin(th)
    return x*c + y*(-s), x*s + y*c
def g(v): return '%1.15g' % v
def hatch(poly, theta_deg, pitch, hp2=(0.0, 0.0)):
    th = theta_deg * (4*math.atan(1.0)) / 180.0
    pts = [rot(x-hp2[0], y-hp2[1], -th) for x, y in poly]
    edges = [(pts[i], pts[(i+1) % len(pts)]) for i in range(len(pts))]
    minx = min(p[0] for p in pts); maxx = max(p[0] for p in pts)
    miny = min(p[1] for p in pts); maxy = max(p[1] for p in pts)
    ix = math.trunc(math.trunc(minx - pitch) / pitch)
    iy = math.trunc(math.trunc(miny - 2*pitch) / (2*pitch))
    x1 = ix*pitch; y = iy*2*pitch; x2 = maxx + pitch
    out = []
    while y < maxy:
        xs = []
        for (ax, ay), (bx, by) in edges:
            # classify_segments(row, edge): proper crossing or touch counts
            a = (x2-x1, 0.0); b = (bx-ax, by-ay); w = (ax-x1, ay-y)
            den = b[0]*a[1] - b[1]*a[0]
            if abs(den) < 0.001: continue
            t = (b[0]*w[1] - b[1]*w[0]) / den
            u = (a[0]*w[1] - a[1]*w[0]) / den
            if 0 < t < 1 and -1e-9 < u < 1+1e-9:
                xs.append(x1 + a[0]*t)
        xs.sort()
        if xs:
            ends = [x1] + xs + [x2]
            for i in range(len(ends)-1):
                mx = (ends[i]+ends[i+1])*0.5
                # inside test of the midpoint for a convex polygon
                inside = all(((bx-ax)*(y-ay) - (by-ay)*(mx-ax)) > 1e-9 for (ax, ay), (bx, by) in edges)
                if inside:
                    p = rot(ends[i], y, th); q = rot(ends[i+1], y, th)
                    out.append(' %s %s %s %s' % (g(p[0]+hp2[0]), g(p[1]+hp2[1]), g(q[0]+hp2[0]), g(q[1]+hp2[1])))
        y += pitch
    return out
if __name__ == '__main__':
    for l in hatch([(0,0),(20,0),(20,20),(0,20)], 45, 5): print(l)
