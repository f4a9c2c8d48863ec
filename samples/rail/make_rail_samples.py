#!/usr/bin/env python3
"""Writes the rail sample files of this folder from a small design.

The design is a sequence of straights and curves (entry clothoid, arc, exit
clothoid). Coordinates are integrated numerically from the curvature
(Simpson's rule), independently of the converter's own geometry. The tracks of
the double track are laid out afresh about the centre line's tangents shifted
2 m to either side, with radius R - offset and the same transition lengths, so
they run parallel to the centre line only as closely as a real design does.

Conventions: azimuths clockwise from north, a positive radius turns right,
offsets positive to the right; listings give azimuths in gon.

Run: python3 make_rail_samples.py  (rewrites the files next to it)
"""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))
GON = math.pi / 200.0
SIMPSON = 2000  # intervals per element


def integrate(x, y, az, k0, k1, length):
    """End point and azimuth after `length` with curvature running k0 -> k1."""
    if length == 0:
        return x, y, az
    n = SIMPSON
    h = length / n

    def theta(s):
        return az + k0 * s + (k1 - k0) * s * s / (2 * length)

    sx = sy = 0.0
    for i in range(n + 1):
        w = 1 if i in (0, n) else (4 if i % 2 else 2)
        t = theta(i * h)
        sx += w * math.sin(t)
        sy += w * math.cos(t)
    return x + sx * h / 3, y + sy * h / 3, theta(length)


def spiral_shift(radius, ls):
    """Shift p and tangent extension k of a clothoid of length ls ending at |radius|."""
    r = abs(radius)
    xs, ys, th = integrate(0, 0, math.pi / 2, 0, 1 / r, ls)  # runs east, turns right
    # local frame: along = x (east), offset = -y (south is towards the centre)
    along, across = xs, -ys
    p = across - r * (1 - math.cos(th - math.pi / 2))
    k = along - r * math.sin(th - math.pi / 2)
    return p, k


def tangent_length(radius, ls, delta):
    p, k = spiral_shift(radius, ls)
    return (abs(radius) + p) * math.tan(abs(delta) / 2) + k


class Curve:
    def __init__(self, radius, ls, delta):
        self.radius = radius  # signed
        self.ls = ls
        self.delta = abs(delta)  # total deflection, radians

    def arc_length(self):
        theta_s = self.ls / (2 * abs(self.radius))
        return abs(self.radius) * (self.delta - 2 * theta_s)


def elements_of(start, az0, straights, curves):
    """Rows (chainage, x, y, az, radius, parameter) of the plain listing.

    straights[i] is the straight before curve i (straights has one more entry);
    the radius and parameter on a row belong to the element ending there.
    """
    rows = []
    x, y = start
    az = az0
    ch = 0.0
    ending = (0.0, 0.0)

    def emit(length, k0, k1, end_radius, parameter):
        nonlocal x, y, az, ch, ending
        if length <= 0:
            return
        rows.append([ch, x, y, az, ending[0], ending[1]])
        x, y, az = integrate(x, y, az, k0, k1, length)
        ch += length
        ending = (end_radius, parameter)

    for i, curve in enumerate(curves):
        emit(straights[i], 0, 0, 0.0, 0.0)
        k = 1 / curve.radius
        a = math.sqrt(abs(curve.radius) * curve.ls)
        # An entry clothoid that follows an exit clothoid (reverse curve)
        # starts at zero curvature all the same.
        emit(curve.ls, 0, k, curve.radius, a)
        emit(curve.arc_length(), k, k, curve.radius, 0.0)
        emit(curve.ls, k, 0, 0.0, a)
    emit(straights[-1], 0, 0, 0.0, 0.0)
    rows.append([ch, x, y, az, ending[0], ending[1]])
    return rows


def key_chainages(straights, curves):
    """(TS, SC, CS, ST) of every curve."""
    ch = 0.0
    out = []
    for i, c in enumerate(curves):
        ch += straights[i]
        ts = ch
        sc = ts + c.ls
        cs = sc + c.arc_length()
        st = cs + c.ls
        out.append((ts, sc, cs, st))
        ch = st
    return out


def write_plt(name, rows):
    with open(os.path.join(HERE, name), "w", newline="\r\n") as f:
        f.write("*PLT\n")
        for ch, x, y, az, r, a in rows:
            gon = (az % (2 * math.pi)) / GON
            f.write(f"{ch:.6f},{x:.6f},{y:.6f},{gon:.10f},{r:.4f},{a:.6f}\n")


def write_alz(name, vertices):
    with open(os.path.join(HERE, name), "w", newline="\r\n") as f:
        f.write("*ALZ\n")
        for ch, h, r in vertices:
            f.write(f"{ch:.3f},{h:.3f}C,{r:.0f}R\n")


def write_cant(name, head, stations):
    with open(os.path.join(HERE, name), "w", newline="\r\n") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n')
        f.write("<!-- Cant table of the rail samples, format '1.1.0' -->\n")
        f.write("<Cant " + " ".join(f'{k}="{v}"' for k, v in head) + ">\n")
        for attrs in stations:
            f.write("  <CantStation " + " ".join(f'{k}="{v}"' for k, v in attrs) + "/>\n")
        f.write("</Cant>\n")


def point(p, az, d):
    return p[0] + d * math.sin(az), p[1] + d * math.cos(az)


def right_normal(p, az, d):
    return p[0] + d * math.cos(az), p[1] - d * math.sin(az)


def intersect(p, a, q, b):
    """Intersection of the line through p with azimuth a and through q with b."""
    ux, uy = math.sin(a), math.cos(a)
    vx, vy = math.sin(b), math.cos(b)
    det = ux * (-vy) - uy * (-vx)
    t = ((q[0] - p[0]) * (-vy) - (q[1] - p[1]) * (-vx)) / det
    return p[0] + t * ux, p[1] + t * uy


def layout(start, az0, straights, curves):
    """The PIs and the azimuths of the tangents of a design."""
    azs = [az0]
    pis = []
    p = start
    az = az0
    prev_t = 0.0
    for i, c in enumerate(curves):
        t = tangent_length(c.radius, c.ls, c.delta)
        pi = point(p, az, prev_t + straights[i] + t)
        pis.append(pi)
        p = pi
        az = az + math.copysign(c.delta, c.radius)
        azs.append(az)
        prev_t = t
    end = point(p, az, prev_t + straights[-1])
    return pis, azs, end


def offset_design(start, az0, straights, curves, offset):
    """A track laid out about the tangents shifted by offset (positive right)."""
    pis, azs, end = layout(start, az0, straights, curves)
    shifted_start = right_normal(start, azs[0], offset)
    shifted_end = right_normal(end, azs[-1], offset)
    new_pis = []
    for i, pi in enumerate(pis):
        a, b = azs[i], azs[i + 1]
        new_pis.append(intersect(right_normal(pi, a, offset), a, right_normal(pi, b, offset), b))
    new_curves = [Curve(c.radius - offset, c.ls, c.delta) for c in curves]
    new_straights = []
    prev_point = shifted_start
    prev_t = 0.0
    for i, c in enumerate(new_curves):
        t = tangent_length(c.radius, c.ls, c.delta)
        d = math.dist(prev_point, new_pis[i]) - prev_t - t
        assert d >= 0, "tracks too close to lay out"
        new_straights.append(d)
        prev_point = new_pis[i]
        prev_t = t
    new_straights.append(math.dist(prev_point, shifted_end) - prev_t)
    return shifted_start, new_straights, new_curves


def check_closure(rows, start, az0, straights, curves):
    pis, azs, end = layout(start, az0, straights, curves)
    x, y = rows[-1][1], rows[-1][2]
    assert math.dist((x, y), end) < 1e-6, ("closure", math.dist((x, y), end))


def fmt(v):
    return f"{v:.3f}"


def last_station(end):
    # A track's last cant station, rounded down to the millimetre: rounded up
    # it would lie a hair beyond the end of the track, and of a profile
    # sampled along the track.
    return math.floor(end * 1000) / 1000


def single_track():
    start, az0 = (10000.0, 20000.0), 50 * GON
    curves = [
        Curve(1200, 120, 0.5166666666666667),    # right, arc 500
        Curve(-900, 100, 0.4444444444444444),    # left, arc 300
        Curve(600, 150, 0.6666666666666666),     # right, arc 250 ...
        Curve(-800, 200, 0.625),                 # ... reversing straight into a left curve, arc 300
    ]
    straights = [400, 600, 300, 0, 400]
    rows = elements_of(start, az0, straights, curves)
    check_closure(rows, start, az0, straights, curves)
    write_plt("single.plt", rows)
    write_alz("single.alz", [(0, 100.0, 0), (1000, 108.0, 20000), (2200, 96.0, 15000),
                             (3300, 104.25, 25000), (rows[-1][0], 101.0, 0)])
    keys = key_chainages(straights, curves)
    (ts1, sc1, cs1, st1), (ts2, sc2, cs2, st2), (ts3, sc3, cs3, st3), (ts4, sc4, cs4, st4) = keys
    end = rows[-1][0]

    def st(ch, cant, interp):
        return [("station", fmt(ch)), ("appliedCant", cant), ("rotationPoint", "insideRail"),
                ("cantInterpolation", interp), ("widthExcess", "0")]

    stations = [st(0, 0, "linear"), st(ts1, 0, "linear"), st(sc1, 100, "linear"),
                st(cs1, 100, "linear"), st(st1, 0, "linear"),
                st(ts2, 0, "cubic"), st(sc2, 80, "linear"), st(cs2, 80, "cubic"), st(st2, 0, "linear"),
                st(ts3, 0, "reverseCurve"), st(sc3, 120, "linear"), st(cs3, 120, "reverseCurve"),
                st(st3, 0, "linear"), st(sc4, 90, "linear"), st(cs4, 90, "cubic"),
                st(st4, 0, "linear"), st(last_station(end), 0, "linear")]
    head = [("version", "1.1.0"), ("gauge", "1.435"), ("superelevationBase", "1.5"),
            ("rotationPoint", "insideRail"), ("coPlane", "false"), ("stationType", "centreline"),
            ("widthExcessType", "highestRail")]
    write_cant("single_cant.xml", head, stations)
    return keys, end


def double_track():
    start, az0 = (30000.0, 40000.0), 100 * GON
    curves = [Curve(2000, 150, 0.375), Curve(-1500, 120, 0.4133333333333333)]
    straights = [500, 700, 500]
    rows = elements_of(start, az0, straights, curves)
    check_closure(rows, start, az0, straights, curves)
    write_plt("double_centre.plt", rows)
    write_alz("double_centre.alz", [(0, 250.0, 0), (900, 256.3, 30000), (2100, 247.9, 25000),
                                    (rows[-1][0], 250.0, 0)])
    out = {}
    for name, offset in (("left", -2.0), ("right", 2.0)):
        s, strs, crvs = offset_design(start, az0, straights, curves, offset)
        trows = elements_of(s, az0, strs, crvs)
        check_closure(trows, s, az0, strs, crvs)
        write_plt(f"double_{name}.plt", trows)
        out[name] = (key_chainages(strs, crvs), trows[-1][0])

    (k1, k2), end = out["left"]
    # The left track: co-planar with the right one, turned about the inner rail.
    def single(ch, cant, interp):
        return [("station", fmt(ch)), ("appliedCant", cant), ("rotationPoint", "insideRail"),
                ("cantInterpolation", interp)]

    stations = [single(0, 0, "linear"), single(k1[0], 0, "cubic"), single(k1[1], 60, "linear"),
                single(k1[2], 60, "cubic"), single(k1[3], 0, "linear"), single(k2[0], 0, "linear"),
                single(k2[1], 70, "linear"), single(k2[2], 70, "linear"), single(k2[3], 0, "linear"),
                single(last_station(end), 0, "linear")]
    head = [("version", "1.1.0"), ("gauge", "1.435"), ("superelevationBase", "1.5"),
            ("rotationPoint", "insideRail"), ("coPlane", "true"), ("stationType", "centreline"),
            ("widthExcessType", "highestRail")]
    write_cant("double_left_cant.xml", head, stations)

    (k1, k2), end = out["right"]
    # The right track: the left/right form, each rail with its own cant (the
    # outer rail of each curve raised).
    def lr(ch, left, right, interp):
        return [("station", fmt(ch)), ("appliedCantLeft", left), ("appliedCantRight", right),
                ("cantInterpolation", interp)]

    stations = [lr(0, 0, 0, "linear"), lr(k1[0], 0, 0, "linear"), lr(k1[1], 30, -30, "linear"),
                lr(k1[2], 30, -30, "linear"), lr(k1[3], 0, 0, "linear"), lr(k2[0], 0, 0, "reverseCurve"),
                lr(k2[1], -35, 35, "linear"), lr(k2[2], -35, 35, "reverseCurve"),
                lr(k2[3], 0, 0, "linear"), lr(last_station(end), 0, 0, "linear")]
    head = [("version", "1.1.0"), ("gauge", "1.435"), ("superelevationBase", "1.5"),
            ("rotationPoint", "center"), ("coPlane", "false"), ("stationType", "centreline"),
            ("widthExcessType", "highestRail")]
    write_cant("double_right_cant.xml", head, stations)
    return out


if __name__ == "__main__":
    keys, end = single_track()
    print("single track: end", fmt(end))
    for k in keys:
        print("  TS SC CS ST", " ".join(fmt(v) for v in k))
    for name, (ks, e) in double_track().items():
        print(name, "track: end", fmt(e))
        for k in ks:
            print("  TS SC CS ST", " ".join(fmt(v) for v in k))
