#!/usr/bin/env python3
"""Writes the sample listings of samples/listings/ from a known geometry.

Run by hand from the repository root (python3 samples/generator/make_listings.py);
its outputs are committed. Two alignments:

- "road": a main road of 2.7 km (12+340 to 15+040) with clothoid transitions,
  a right and a left curve, a plain arc and three parabolic vertical curves,
  written in every form the readers accept: the plain forms (road.plt,
  road.alz), the RTF reports (road_hz.rtf, road_vt.rtf) and the printed
  vertical report with page breaks (road_vt.txt).
- "rail": a railway-like alignment of 2.38 km with long transitions, an
  S-curve (two transitions back to back) and an end inside a transition, in
  the plain forms with the long headers (rail.plt, rail.alz).

Conventions of the listings: azimuths in gon clockwise from north, a positive
radius turns right, the radius and parameter on a row are those of the element
that ends there (the radius is the one at the row's point: 0 / "INFINITO" at
the end of a line or of a transition that leaves a curve), grades in percent,
Kv negative on crests. Coordinates are national-grid-like (X ~ 500000,
Y ~ 4500000). The known geometry, sampled every 10 m, goes to <name>_points.txt
(chainage, X, Y, azimuth in radians, height) and the elements and vertices
to known.json, so that the tests can compare what the readers make of the
listings.
"""

import json
import math
import os

GON = math.pi / 200.0
HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.normpath(os.path.join(HERE, "..", "listings"))

# Gauss-Legendre nodes and weights on [-1, 1], 5 points.
GL_X = [0.0, -0.5384693101056831, 0.5384693101056831, -0.9061798459386640, 0.9061798459386640]
GL_W = [0.5688888888888889, 0.4786286704993665, 0.4786286704993665,
        0.2369268850561891, 0.2369268850561891]


class Element:
    """One horizontal element: kind 'line', 'arc' or 'clothoid'; curvature runs
    linearly from k0 to k1 (1/m, positive turning right) over its length."""

    def __init__(self, kind, length, k0, k1, radius=0.0, parameter=0.0):
        self.kind, self.length, self.k0, self.k1 = kind, length, k0, k1
        self.radius, self.parameter = radius, parameter
        self.start = None  # (chainage, x, y, azimuth)

    def heading(self, s):
        return self.start[3] + self.k0 * s + (self.k1 - self.k0) * s * s / (2 * self.length)

    def point(self, s):
        """Point and tangent azimuth at s, by integrating the heading."""
        _, x0, y0, _ = self.start
        if s <= 0:
            return x0, y0, self.heading(0)
        steps = max(8, int(s / 2.0))
        h = s / steps
        x, y = x0, y0
        for i in range(steps):
            mid = (i + 0.5) * h
            for node, weight in zip(GL_X, GL_W):
                t = self.heading(mid + node * h / 2)
                x += weight * h / 2 * math.sin(t)
                y += weight * h / 2 * math.cos(t)
        return x, y, self.heading(s)

    def end_radius(self):
        """The radius at the element's end (0 = infinite)."""
        return 0.0 if self.k1 == 0 else 1.0 / self.k1


def line(length):
    return Element("line", length, 0.0, 0.0)


def arc(radius, length):
    return Element("arc", length, 1.0 / radius, 1.0 / radius, radius=radius)


def clothoid_in(a, radius):
    length = a * a / abs(radius)
    return Element("clothoid", length, 0.0, 1.0 / radius, radius=radius, parameter=a)


def clothoid_out(a, radius):
    length = a * a / abs(radius)
    return Element("clothoid", length, 1.0 / radius, 0.0, radius=radius, parameter=a)


def lay_out(elements, chainage, x, y, azimuth):
    for e in elements:
        e.start = (chainage, x, y, azimuth)
        x, y, azimuth = e.point(e.length)
        chainage += e.length
    return (chainage, x, y, azimuth)


def norm_az(a):
    while a < 0:
        a += 2 * math.pi
    while a >= 2 * math.pi:
        a -= 2 * math.pi
    return a


class Profile:
    """Vertices (chainage, height, Kv): parabolic curves centred on the vertices."""

    def __init__(self, vertices):
        self.v = vertices
        self.grades = [(vertices[i + 1][1] - vertices[i][1]) / (vertices[i + 1][0] - vertices[i][0])
                       for i in range(len(vertices) - 1)]

    def curve(self, i):
        """Start, end, length of the curve at inner vertex i (None without one)."""
        ch, _, kv = self.v[i]
        if kv == 0:
            return None
        length = abs((self.grades[i - 1] - self.grades[i]) * kv)
        return ch - length / 2, ch + length / 2, length

    def height(self, x):
        for i in range(1, len(self.v) - 1):
            c = self.curve(i)
            if c and c[0] <= x <= c[1]:
                g = self.grades[i - 1]
                z0 = self.v[i][1] - g * (c[2] / 2)
                d = x - c[0]
                return z0 + g * d + d * d / (2 * self.v[i][2])
        for i in range(len(self.v) - 1):
            if x <= self.v[i + 1][0] or i == len(self.v) - 2:
                return self.v[i][1] + self.grades[i] * (x - self.v[i][0])
        return self.v[-1][1]

    def grade(self, x):
        return (self.height(x + 0.0005) - self.height(x - 0.0005)) / 0.001


# ---- number formats ----

def chainage_text(ch, comma):
    ch = round(ch, 3)
    km = int(ch // 1000)
    m = ch - km * 1000
    text = "%d+%07.3f" % (km, m)
    return text.replace(".", ",") if comma else text


def es(value, decimals, group=True):
    """A number as the reports print it: "." groups thousands, "," is decimal."""
    text = ("{:,.%df}" % decimals).format(value) if group else ("{:.%df}" % decimals).format(value)
    return text.replace(",", "_").replace(".", ",").replace("_", ".")


# ---- horizontal listings ----

def hz_rows(elements, end):
    """Rows of (chainage, x, y, azimuth, length, radius, parameter) where each
    row after the first closes the element before it."""
    rows = [(elements[0].start[0], elements[0].start[1], elements[0].start[2],
             elements[0].start[3], 0.0, 0.0, 0.0)]
    for i, e in enumerate(elements):
        nxt = elements[i + 1].start if i + 1 < len(elements) else end
        rows.append((nxt[0], nxt[1], nxt[2], nxt[3], e.length, e.end_radius(), e.parameter))
    return rows


def write_plt(path, rows, long_header, title):
    lines = ["*PLT1", title] if long_header else ["*PLT"]
    for ch, x, y, az, _, r, a in rows:
        lines.append("%.3f,%.3f,%.3f,%.7f,%.3f,%.3f" % (ch, x, y, norm_az(az) / GON, r, a))
    write_text(path, "\r\n".join(lines) + "\r\n")


RTF_HEAD = (r"{\rtf1\ansi\ansicpg1252\deff0\deflang3082"
            r"{\fonttbl{\f0\fswiss\fcharset0 Arial;}{\f1\fmodern\fcharset0 Courier New;}}"
            r"{\colortbl ;\red0\green0\blue128;}"
            r"{\*\generator Vialto 7.2;}"
            r"{\info{\title Listado}{\author Oficina t\'e9cnica}}"
            "\r\n\\viewkind4\\uc1\\pard\\f0\\fs20 ")


def rtf_row(cells, widths, bold=False):
    out = "\\trowd\\trgaph70"
    x = 0
    for w in widths:
        x += w
        out += "\\cellx%d" % x
    out += "\r\n\\pard\\intbl"
    if bold:
        out += "\\b"
    for c in cells:
        out += " " + c + "\\cell"
    if bold:
        out += "\\b0"
    return out + "\\row\r\n"


def write_hz_rtf(path, rows, name):
    widths = [1300, 1100, 1500, 1600, 1200, 1200, 1200]
    header = ["Estaci\\'f3n", "Longitud", "Coord. X", "Coord. Y", "Azimut", "Radio",
              "Par\\'e1metro"]
    out = RTF_HEAD
    out += "{\\b\\fs28 LISTADO DE ALINEACIONES EN PLANTA\\par}\r\n"
    out += "Eje: %s\\tab Fecha: 06/12/2026\\line Unidades: metros y grados centesimales "\
           "\\u8212? tabla de puntos singulares\\par\r\n\\pard\\par\r\n" % name
    for i, (ch, x, y, az, length, r, a) in enumerate(rows):
        if i == 0 or i == 7:  # the header again at the top of the second page
            out += rtf_row(header, widths, bold=True)
        cells = [chainage_text(ch, True), es(length, 3), es(x, 3), es(y, 3),
                 es(norm_az(az) / GON, 6, group=False),
                 "INFINITO" if r == 0 else es(r, 3), es(a, 3)]
        out += rtf_row(cells, widths)
    out += "\\pard\\par\r\n{\\f1\\fs16 Fin del listado}\\par\r\n}"
    write_text(path, out + "\r\n", encoding="ascii")


# ---- vertical listings ----

def write_alz(path, profile, long_header, title, letters):
    """letters: per vertex (height letter, curve letter)."""
    lines = ["*ALZ1", title] if long_header else ["*ALZ"]
    for i, (ch, z, kv) in enumerate(profile.v):
        hl, cl = letters[i]
        value = "%.3f" % z if hl == "C" else "%.4f" % (profile.grades[i - 1] * 100)
        curve = 0.0
        if kv != 0:
            _, _, length = profile.curve(i)
            curve = {"R": abs(kv), "T": length / 2, "F": length * length / (8 * abs(kv))}[cl]
        lines.append("%.3f,%s%s,%.3f%s" % (ch, value, hl, curve, cl))
    write_text(path, "\r\n".join(lines) + "\r\n")


def straights(profile):
    """(start chainage, end chainage, grade, Kv of the curve at its end)."""
    out = []
    start = profile.v[0][0]
    for i in range(len(profile.v) - 1):
        end_vertex = i + 1
        c = profile.curve(end_vertex) if end_vertex < len(profile.v) - 1 else None
        end = c[0] if c else profile.v[end_vertex][0]
        kv = profile.v[end_vertex][2] if c else 0.0
        out.append((start, end, profile.grades[i], kv))
        start = c[1] if c else profile.v[end_vertex][0]
    return out


def write_vt_printed(path, profile, name):
    title = ["VIALTO 7.2                                        LISTADO DE RASANTE",
             "Eje: %-20s                                   Fecha: 06/12/2026" % name]
    rule = "=" * 78
    columns = "  N    P.K.        COTA     PEND.(%)   LONGITUD     KV"
    units = "                   (m)                     (m)       (m)"
    out = title + ["", rule, columns, units]
    page = 2
    for n, (start, end, grade, kv) in enumerate(straights(profile), 1):
        out.append("%3d  %s  %9.3f  %8.4f   RASANTE" % (n, chainage_text(start, False),
                                                       profile.height(start), grade * 100))
        out.append("         LONGITUD %9.3f" % (end - start))
        if n == 2:  # a page break falls before the group's third line
            out.append("\f" + title[0] + "   Pag. %d" % page)
            out.append(title[1])
            out.append(rule)
            out.append(columns)
            page += 1
        curve_length = 0.0
        for i in range(1, len(profile.v) - 1):
            c = profile.curve(i)
            if c and abs(c[0] - end) < 1e-6:
                curve_length = c[2]
        out.append("     TE  %2d  %s  %9.3f  %8.4f  %9.3f  %11.3f" % (
            n, chainage_text(end, False), profile.height(end), grade * 100, curve_length, kv))
    write_text(path, "\r\n".join(out) + "\r\n", encoding="cp1252")


def write_vt_rtf(path, profile, name):
    widths = [900, 1300, 1300, 1100, 1100, 1100, 1300]
    out = RTF_HEAD
    out += "{\\b\\fs28 ESTADO DE RASANTES \\u8212? Eje %s\\line (acuerdos parab\\'f3licos)}\\par\r\n" % name
    out += rtf_row(["V\\'e9rtice", "P.K. v\\'e9rtice", "P.K.", "Cota", "Pendiente (%)",
                    "Longitud", "Kv"], widths, bold=True)
    n = len(profile.v)
    for i, (ch, z, kv) in enumerate(profile.v):
        g_in = profile.grades[i - 1] if i > 0 else 0.0
        g_out = profile.grades[i] if i < n - 1 else profile.grades[-1]
        c = profile.curve(i) if 0 < i < n - 1 else None
        start, end = (c[0], c[1]) if c else (ch, ch)
        length = c[2] if c else 0.0
        row0 = ["V%d" % (i + 1), chainage_text(ch, True), chainage_text(start, True),
                es(profile.height(start), 3), es(g_in * 100, 4), es(length, 3),
                es(kv, 3) if c else "0,000"]
        row1 = ["", es(z, 3), chainage_text(end, True), es(profile.height(end), 3),
                es(g_out * 100, 4), "", ""]
        bv = length * length / (8 * abs(kv)) if c else 0.0
        row2 = ["", "", "", "", "", "Bv", es(bv, 3)]
        out += rtf_row(row0, widths) + rtf_row(row1, widths) + rtf_row(row2, widths)
    out += "}"
    write_text(path, out + "\r\n", encoding="ascii")


def write_text(path, text, encoding="ascii"):
    with open(os.path.join(OUT, path), "w", encoding=encoding, newline="") as f:
        f.write(text)


# ---- known geometry ----

def sample(elements, end, profile, step=10.0):
    points = []
    first = elements[0].start[0]
    chainages = set()
    c = first
    while c < end[0] - 1e-9:
        chainages.add(round(c, 6))
        c += step
    for e in elements:
        chainages.add(round(e.start[0], 6))
        chainages.add(round(e.start[0] + e.length / 2, 6))
    chainages.add(round(end[0], 6))
    for ch in sorted(chainages):
        e = elements[-1]
        for cand in elements:
            if cand.start[0] <= ch + 1e-9 < cand.start[0] + cand.length:
                e = cand
                break
        x, y, az = e.point(min(e.length, ch - e.start[0]))
        points.append({"chainage": ch, "x": x, "y": y, "azimuth": norm_az(az),
                       "height": profile.height(ch) if profile else None})
    return points


def describe(elements, end, profile):
    return {
        "start_chainage": elements[0].start[0],
        "end_chainage": end[0],
        "end": {"x": end[1], "y": end[2], "azimuth": norm_az(end[3])},
        "elements": [{"kind": e.kind, "chainage": e.start[0], "x": e.start[1], "y": e.start[2],
                      "azimuth": norm_az(e.start[3]), "length": e.length,
                      "radius_start": 0.0 if e.k0 == 0 else 1 / e.k0,
                      "radius_end": e.end_radius(), "parameter": e.parameter}
                     for e in elements],
        "vertices": [{"chainage": ch, "height": z, "kv": kv} for ch, z, kv in profile.v],
    }


def write_points(path, elements, end, profile):
    """chainage, X, Y, azimuth (radians), height: one known point a line."""
    lines = ["# chainage x y azimuth_rad height"]
    for p in sample(elements, end, profile):
        lines.append("%.4f %.6f %.6f %.12f %.6f" % (p["chainage"], p["x"], p["y"], p["azimuth"],
                                                   p["height"]))
    write_text(path, "\n".join(lines) + "\n")


def main():
    os.makedirs(OUT, exist_ok=True)

    road = [line(420), clothoid_in(250, 625), arc(625, 380), clothoid_out(250, 625), line(350),
            clothoid_in(240, -480), arc(-480, 300), clothoid_out(240, -480), line(280),
            arc(1200, 250), line(280)]
    road_end = lay_out(road, 12340.0, 512345.678, 4501234.567, 62.5 * GON)
    road_profile = Profile([(12340.0, 745.320, 0), (12900.0, 752.320, -12000),
                            (13650.0, 738.820, 9000), (14400.0, 745.570, -20000),
                            (15040.0, 742.370, 0)])
    rows = hz_rows(road, road_end)
    write_plt("road.plt", rows, False, "")
    write_hz_rtf("road_hz.rtf", rows, "Tronco")
    write_alz("road.alz", road_profile, False, "",
              [("C", "R"), ("C", "R"), ("P", "T"), ("C", "F"), ("C", "R")])
    write_vt_printed("road_vt.txt", road_profile, "Tronco")
    write_vt_rtf("road_vt.rtf", road_profile, "Tronco")

    rail = [line(500), clothoid_in(600, 1800), arc(1800, 600), clothoid_out(600, 1800),
            clothoid_in(540, -1620), arc(-1620, 520), clothoid_out(540, -1620)]
    rail_end = lay_out(rail, 1200.0, 498213.250, 4502107.840, 131.25 * GON)
    rail_profile = Profile([(1200.0, 512.400, 0), (1900.0, 506.800, 25000),
                            (2800.0, 512.200, -30000), (3580.0, 509.470, 0)])
    write_plt("rail.plt", hz_rows(rail, rail_end), True, "Eje 1 - Via general")
    write_alz("rail.alz", rail_profile, True, "Eje 1 - Via general",
              [("C", "R"), ("C", "R"), ("P", "T"), ("C", "R")])

    write_points("road_points.txt", road, road_end, road_profile)
    write_points("rail_points.txt", rail, rail_end, rail_profile)
    known = {"road": describe(road, road_end, road_profile),
             "rail": describe(rail, rail_end, rail_profile)}
    with open(os.path.join(OUT, "known.json"), "w", newline="\n") as f:
        json.dump(known, f, indent=1)
        f.write("\n")


if __name__ == "__main__":
    main()
