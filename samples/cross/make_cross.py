#!/usr/bin/env python3
"""Writes the cross-section samples of samples/cross/ from a known template.

Run by hand from the repository root (python3 samples/cross/make_cross.py);
its outputs are committed. One road, "Tronco", from 12+340 to 15+040 (the
range of samples/listings/road.plt), a station every 10 m (271 stations), in
the four forms the reader accepts:

- road.trv      point-code form (codes P.. surface, S.. subgrade, T/C/D/M..
                slopes, ditch and wall), with a skipped "0E" section and a
                listed point repeated now and then;
- road.trv2     layer-name form (ICUNETA1, MURO1, ISUBRAS1, ICALZADA, ...);
- road_cr.rtf   report form (11-column table: slopes, surface, subgrade);
- road_cr.txt   printed report ("P.K." blocks with a "=====" column rule,
                page breaks with form feeds).

The template changes along the road:
- an extra right lane tapers in from 13+000 to 13+100, runs to 13+500 and
  tapers out by 13+600 (its edge coincides with the lane edge at both ends:
  the listings then hold a duplicated point);
- a ditch on the left side only;
- a retaining wall on the right from 14+000 to 14+400: a vertical face of
  three points at one offset;
- slope widths that vary smoothly with the chainage.

road_cr_known.txt lists, per station and layer, the points as the set should
hold them (consecutive duplicates removed): chainage, layer name, feature,
offset, height. The feature names the template point, so that the tests can
tell whether a stringline follows one feature. Offsets are positive to the
right, heights in metres.
"""

import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))
START, END, STEP = 12340.0, 15040.0, 10.0


def lane_width(ch):
    if ch < 13000 or ch > 13600:
        return 0.0
    if ch < 13100:
        return 3.5 * (ch - 13000) / 100
    if ch <= 13500:
        return 3.5
    return 3.5 * (13600 - ch) / 100


def has_wall(ch):
    return 14000 <= ch <= 14400


def r3(v):
    return round(v + 0.0, 3)


def template(ch):
    """layer -> [(feature, offset, height)] across the section, left to right."""
    h = 100.0 + 0.02 * (ch - START)
    w = lane_width(ch)
    fall = lambda o: h - 0.02 * abs(o)
    shoulder = 5.5 + w
    s_left = 3.0 + 1.0 * math.sin((ch - START) / 300)
    s_right = 4.0 + 1.5 * math.sin((ch - START) / 450)

    surface = [("edge_l", -5.5, fall(-5.5)), ("lane_l", -3.5, fall(-3.5)), ("axis", 0.0, h),
               ("lane_r", 3.5, fall(3.5))]
    if 13000 <= ch <= 13600:
        surface.append(("extra", 3.5 + w, fall(3.5 + w)))
    surface.append(("edge_r", shoulder, fall(shoulder)))

    subgrade = [("sub_l", -6.0, fall(-6.0) - 0.6), ("sub_axis", 0.0, h - 0.6),
                ("sub_r", 6.0 + w, fall(6.0 + w) - 0.6)]

    top = fall(shoulder)
    slopes = [("cut_l", -7.0 - s_left, fall(-5.5) + s_left / 1.5),
              ("ditch_out", -7.0, fall(-5.5) - 0.1), ("ditch_bottom", -6.5, fall(-5.5) - 0.7),
              ("ditch_in", -6.0, fall(-5.5) - 0.1), ("top_l", -5.5, fall(-5.5)),
              ("top_r", shoulder, top)]
    if has_wall(ch):
        slopes += [("wall_top", shoulder + 0.5, top), ("wall_mid", shoulder + 0.5, top - 1.5),
                   ("wall_foot", shoulder + 0.5, top - 3.0), ("toe_r", shoulder + 1.0, top - 3.0)]
    else:
        slopes.append(("toe_r", shoulder + s_right, top - s_right / 1.5))
    rnd = lambda pts: [(f, r3(o), r3(z)) for f, o, z in pts]
    return {"Taludes": rnd(slopes), "Subrasante": rnd(subgrade), "Rasante": rnd(surface)}


TRV_CODES = {"edge_l": "P1", "lane_l": "P2", "axis": "P3", "lane_r": "P4", "extra": "P5",
             "edge_r": "P6", "sub_l": "S1", "sub_axis": "S2", "sub_r": "S3", "cut_l": "D1",
             "ditch_out": "C3", "ditch_bottom": "C2", "ditch_in": "C1", "top_l": "T1",
             "top_r": "T2", "wall_top": "MD1", "wall_mid": "MD2", "wall_foot": "MD3",
             "toe_r": "T3"}
TRV2_CODES = {"edge_l": "IBERMA", "lane_l": "ICALZADA", "axis": "EJE", "lane_r": "DCALZADA",
              "extra": "DCARRIL", "edge_r": "DBERMA", "sub_l": "ISUBRAS1", "sub_axis": "ESUBRAS2",
              "sub_r": "DSUBRAS3", "cut_l": "IDESMO", "ditch_out": "ICUNETA3",
              "ditch_bottom": "ICUNETA2", "ditch_in": "ICUNETA1", "top_l": "ITERRA",
              "top_r": "DTERRA1", "wall_top": "MURO1", "wall_mid": "MURO2", "wall_foot": "MURO3",
              "toe_r": "DTERRA2"}


def stations():
    n = int(round((END - START) / STEP))
    return [START + k * STEP for k in range(n + 1)]


def dedup(points):
    out = []
    for p in points:
        if out and abs(p[1] - prev[1]) < 1e-4 and abs(p[2] - prev[2]) < 1e-4:
            prev = p
            continue
        out.append(p)
        prev = p
    return out


def write(name, text, encoding="ascii"):
    with open(os.path.join(HERE, name), "w", encoding=encoding, newline="") as f:
        f.write(text)


def es(v):
    return ("%.3f" % v).replace(".", ",")


def pk(ch):
    km = int(ch // 1000)
    return "%d+%s" % (km, es(ch - km * 1000).rjust(7, "0"))


def write_trv(path, codes, layer_order):
    lines = ["*TRV", "Tronco,Seccion tipo,v7.2"]
    for k, ch in enumerate(stations()):
        t = template(ch)
        rows = []
        for layer in layer_order:
            for f, o, z in t[layer]:
                rows.append("%.3f,%.3f,%s" % (o, z, codes[f]))
                if k % 25 == 3 and f in ("ditch_bottom", "sub_axis"):
                    rows.append(rows[-1])  # a listed point repeated
        if k % 40 == 7:  # a section of the design program to be skipped
            lines += ["0E,3", "1.000,2.000,XX", "3.000,4.000,XX", "5.000,6.000,XX"]
        lines.append("%.3f,%d" % (ch, len(rows)))
        lines += rows
    lines.append("FIN")
    write(path, "\r\n".join(lines) + "\r\n")


RTF_HEAD = (r"{\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fswiss Arial;}}"
            r"{\info{\title Secciones tipo}}" "\r\n\\pard\\f0\\fs18 ")


def rtf_row(cells):
    out = "\\trowd" + "".join("\\cellx%d" % (900 * (k + 1)) for k in range(len(cells)))
    return out + "\r\n\\pard\\intbl" + "".join(" %s\\cell" % c for c in cells) + "\\row\r\n"


def write_rtf(path):
    out = RTF_HEAD + "{\\b LISTADO DE SECCIONES TIPO \\u8212? Eje Tronco}\\par\r\n"
    titles = ["Desp.", "Cota", "C\\'f3d.", "", "Desp.", "Cota", "C\\'f3d.", "", "Desp.", "Cota",
              ""]
    for ch in stations():
        t = template(ch)
        out += rtf_row(["Estaci\\'f3n", pk(ch), "", ""])
        out += rtf_row(titles)
        n = max(len(v) for v in t.values())
        for k in range(n):
            cells = [""] * 11
            for layer, at in (("Taludes", 0), ("Rasante", 4), ("Subrasante", 8)):
                if k < len(t[layer]):
                    f, o, z = t[layer][k]
                    cells[at], cells[at + 1] = es(o), es(z)
                    if at < 8:
                        cells[at + 2] = TRV_CODES[f]
            out += rtf_row(cells)
        out += "\\pard\\par\r\n"
    write(path, out + "}\r\n")


def write_printed(path):
    title = "VIALTO 7.2          LISTADO DE SECCIONES TIPO          Eje: Tronco"
    rule = "  ".join(["=" * 10, "=" * 10, "=" * 4] * 2 + ["=" * 10, "=" * 10])
    heads = ("  TALUDES" + " " * 30 + "RASANTE" + " " * 23 + "SUBRASANTE")
    out = [title, "", "Unidades: metros", ""]
    for k, ch in enumerate(stations()):
        if k > 0 and k % 6 == 0:
            out.append("\f" + title + "   Pag. %d" % (k // 6 + 1))
            out.append("")
        t = template(ch)
        out += ["P.K.    %.3f" % ch, heads, rule]
        n = max(len(v) for v in t.values())
        for i in range(n):
            fields = []
            for layer, with_code in (("Taludes", True), ("Rasante", True), ("Subrasante", False)):
                if i < len(t[layer]):
                    f, o, z = t[layer][i]
                    part = ["%10.3f" % o, "%10.3f" % z] + (["%-4s" % TRV_CODES[f]] if with_code else [])
                else:
                    part = [" " * 10, " " * 10] + ([" " * 4] if with_code else [])
                fields += part
            out.append("  ".join(fields).rstrip())
        out.append("")
    write(path, "\r\n".join(out) + "\r\n")


def write_known(path):
    lines = ["# chainage layer feature offset height (consecutive duplicates removed)"]
    for ch in stations():
        t = template(ch)
        for layer in ("Taludes", "Subrasante", "Rasante"):
            for f, o, z in dedup(t[layer]):
                lines.append("%.3f %s %s %.3f %.3f" % (ch, layer, f, o, z))
    write(path, "\n".join(lines) + "\n")


if __name__ == "__main__":
    write_trv("road.trv", TRV_CODES, ("Rasante", "Taludes", "Subrasante"))
    write_trv("road.trv2", TRV2_CODES, ("Taludes", "Subrasante", "Rasante"))
    write_rtf("road_cr.rtf")
    write_printed("road_cr.txt")
    write_known("road_cr_known.txt")
