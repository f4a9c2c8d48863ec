#!/usr/bin/env python3
"""Writes the taper samples of samples/cross/tapers/ from known templates.

Run by hand from the repository root (python3 samples/cross/make_tapers.py);
its outputs are committed. Each sample is a short road with a station every
20 m whose points move, appear and disappear the way lanes are added and
dropped, written in the point-code form (<name>.trv) with a list of what
every point is (<name>_known.txt, the format of road_cr_known.txt: chainage,
layer, feature, offset, height; consecutive duplicates removed).

The listed point codes number the points by their position across the
section (P1, P2, ... from the left), as some listings do, so they say
nothing about which feature a point is.

A carriageway of two lanes each side (axis 0, lane line 3.5, carriageway
edge 7.0) with a hard shoulder (edge at 9.5) and a berm (10.5); an added
lane of width w opens outside the carriageway edge: its edge at 7.0 + w, the
shoulder and berm pushed out by w. Heights fall 2 % across the carriageway
and 4 % across shoulder and berm; the axis rises 1 % along the road.

The samples (those named limit_* show the known limits of the naming rules):
- lanes_both_sides: lanes added and dropped on both sides, tapers that
  begin and end between stations, in the surface, the subgrade and the
  slopes;
- step_equals_spacing: the shoulder and berm move 1.0 m per station, their
  own spacing;
- steps_075_then_100: steps of 0.75 m, then of 1.0 m, the spacing of the
  shoulder's and the berm's edges;
- starts_on_station, stops_on_station: tapers that start or stop exactly on
  a station;
- bench_disappears: a cut slope whose bench narrows and disappears while
  the crest and the fence move more than half their spacing per station;
- counter_case: a point keeps its offset while its outer neighbour ends and
  a new point starts inside it;
- lane_drop_fast: a lane dropped in two steps of 1.75 m;
- stops_where_lines_change: a moving point that stops where its outer
  neighbour ends and a new point starts inside it;
- wobble: the counter case with the point listed 1 mm out from the station
  before; wobble_inside: the same inside the section, where the line
  outside the point ends and a new one starts inside it;
- limit_starts_on_station_step_spacing: a taper that starts exactly on a
  station with a step equal to the spacing;
- limit_lane_edge_near_shoulder: a lane opened from rest whose edge
  appears a few centimetres from where the shoulder edge was;
- limit_stops_inside: a point inside the section that stops where a new
  point starts beyond it and a line inside it ends;
- limit_wobble_back: a point listed 1 mm out at one station only, where its
  outer neighbour ends and a new point starts inside it.
"""

import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "tapers")
START, STEP = 1000.0, 20.0


def ramp(ch, knots):
    """Piecewise linear through (chainage, value) knots, constant outside."""
    if ch <= knots[0][0]:
        return knots[0][1]
    for (c0, v0), (c1, v1) in zip(knots, knots[1:]):
        if ch <= c1:
            return v0 + (v1 - v0) * (ch - c0) / (c1 - c0)
    return knots[-1][1]


def r3(v):
    return round(v + 0.0, 3) + 0.0


def axis_height(ch):
    return 100.0 + 0.01 * (ch - START)


def fall(o, edge):
    """Height below the axis at |offset| o: 2 % to the carriageway edge, then 4 %."""
    o = abs(o)
    return 0.02 * min(o, edge) + 0.04 * max(0.0, o - edge)


def carriageway(ch, wl, wr, lane_line=3.5, edge=7.0, shoulder=2.5, berm=1.0):
    """Surface points (feature, offset, height) of a carriageway with added lanes."""
    h = axis_height(ch)
    halves = []
    for side, w in ((-1, wl), (1, wr)):
        e = edge + w
        half = [("berm", e + shoulder + berm), ("shoulder", e + shoulder)]
        if w > 0:
            half.append(("new_edge", e))
        half += [("edge", edge), ("lane", lane_line)]
        tag = "_l" if side < 0 else "_r"
        halves.append([(f + tag, side * o, h - fall(o, e)) for f, o in half])
    return halves[0] + [("axis", 0.0, h)] + halves[1][::-1]


def subgrade(ch, wl, wr):
    h = axis_height(ch) - 0.6
    halves = []
    for side, w in ((-1, wl), (1, wr)):
        tag = "_l" if side < 0 else "_r"
        half = [("sub_out" + tag, 10.0 + w)]
        if w > 0:
            half.append(("sub_new" + tag, 7.0 + w))
        half.append(("sub_in" + tag, 7.0))
        halves.append([(f, side * o, h - 0.02 * o) for f, o in half])
    return halves[0] + [("sub_axis", 0.0, h)] + halves[1][::-1]


def fill_slopes(ch, wl, wr, toe_l=3.0, toe_r=3.0):
    """Slope points: the top at the berm's outer edge, a toe 2:3 below."""
    h = axis_height(ch)
    pts = []
    for side, w, run in ((-1, wl, toe_l), (1, wr, toe_r)):
        tag = "_l" if side < 0 else "_r"
        top = 7.0 + w + 3.5
        ztop = h - fall(top, 7.0 + w)
        half = [("toe" + tag, top + run, ztop - run / 1.5), ("top" + tag, top, ztop)]
        half = [(f, side * o, z) for f, o, z in half]
        pts += half if side < 0 else half[::-1]
    return pts


# ---- the sample roads: name -> (stations, template(ch) -> layer -> points) ----


def stations(count):
    return [START + STEP * k for k in range(count)]


def lanes_both_sides(ch):
    wl = ramp(ch, [(1030, 0), (1110, 3.5), (1330, 3.5), (1410, 0)])
    wr = ramp(ch, [(1070, 0), (1150, 3.5), (1450, 3.5), (1530, 0)])
    run_l = 3.0 + 0.5 * ramp(ch, [(1000, 0), (1300, 1), (1600, 0)])
    return {"Rasante": carriageway(ch, wl, wr), "Subrasante": subgrade(ch, wl, wr),
            "Taludes": fill_slopes(ch, wl, wr, toe_l=run_l)}


def one_side(knots):
    def template(ch):
        w = ramp(ch, knots)
        return {"Rasante": carriageway(ch, w, 0.0), "Subrasante": subgrade(ch, w, 0.0),
                "Taludes": fill_slopes(ch, w, 0.0)}
    return template


def bench_disappears(ch):
    """A cut on the left whose bench narrows and disappears.

    From the carriageway edge outwards: a ditch, the foot of the cut, a bench
    4 m above the foot while it lasts, the crest and a fence 2 m beyond it.
    The cut gets shallower along the road and the bench narrows from 2 m to
    nothing by 1160: the crest and the fence come in by 0.9 m a station, more
    than half their spacing to the bench's outer edge at 1140.
    """
    h = axis_height(ch)
    depth = ramp(ch, [(1000, 8.0), (1200, 4.0), (1300, 4.0)])
    bench = ramp(ch, [(1000, 2.0), (1080, 2.0), (1160, 0.0)])
    foot = 8.5
    crest = foot + bench + depth
    zfoot = h - 0.2
    left = [("fence", -(crest + 2.0), zfoot + depth), ("crest", -crest, zfoot + depth)]
    if bench > 0:
        left += [("bench_out", -(foot + 4.0 + bench), zfoot + 4.0),
                 ("bench_in", -(foot + 4.0), zfoot + 4.0)]
    left += [("foot", -foot, zfoot), ("ditch_out", -8.0, h - 0.25),
             ("ditch_bottom", -7.5, h - 0.75), ("edge_in", -7.0, h - 0.14)]
    right = [("top_r", 10.5, h - 0.18), ("toe_r", 13.5, h - 2.18)]
    return {"Rasante": carriageway(ch, 0.0, 0.0), "Taludes": left + right}


def counter_case(ch):
    """The berm ends where a kerb line starts inside the shoulder's edge.

    The shoulder edge keeps its offset; from 1100 on the berm outside it is
    gone and a kerb line appears 1.0 m inside it.
    """
    pts = carriageway(ch, 0.0, 0.0)
    if ch >= 1100:
        h = axis_height(ch)
        pts = [p for p in pts if p[0] != "berm_l"]
        pts.insert(1, ("kerb_l", -8.5, h - fall(8.5, 7.0) + 0.15))
    return {"Rasante": pts}


def lane_drop_fast(ch):
    """A lane dropped in two steps of 1.75 m: at the second the shoulder edge
    ends nearer the lane edge's last place than its own."""
    w = ramp(ch, [(1090, 0), (1170, 3.5), (1300, 3.5), (1340, 0)])
    return {"Rasante": carriageway(ch, w, 0.0)}


def lane_edge_near_shoulder(ch):
    """A lane opened from a line at rest: its edge appears at 2.45 m, 5 cm
    inside where the shoulder edge was one station before."""
    w = ramp(ch, [(1100, 0), (1120, 2.45), (1140, 3.5)])
    return {"Rasante": carriageway(ch, w, 0.0)}


def with_kerb(pts, ch, offset, dropped):
    """The points without the feature `dropped`, with a kerb line at offset."""
    h = axis_height(ch)
    pts = [p for p in pts if p[0] != dropped]
    pts.append(("kerb_l", offset, h - fall(offset, 7.0) + 0.15))
    return sorted(pts, key=lambda p: p[1])


def stops_where_lines_change(ch):
    """The shoulder widens, its edge stops on 1100; in the next span the berm
    ends and a kerb line starts inside the edge."""
    shoulder = ramp(ch, [(1040, 2.5), (1100, 4.0)])
    pts = carriageway(ch, 0.0, 0.0, shoulder=shoulder)
    return {"Rasante": with_kerb(pts, ch, -9.2, "berm_l") if ch >= 1120 else pts}


def stops_inside(ch):
    """A taper that stops on 1180 (the new lane edge with it); in the next
    span a marking inside the new lane ends and a kerb line starts between
    the shoulder edge and the new lane edge."""
    pts = carriageway(ch, ramp(ch, [(1090, 0), (1180, 3.5)]), 0.0)
    h = axis_height(ch)
    if 1140 <= ch <= 1180:
        pts = sorted(pts + [("marking", -7.5, h - 0.1)], key=lambda p: p[1])
    return {"Rasante": with_kerb(pts, ch, -12.0, "") if ch >= 1200 else pts}


def wobble(ch, back=False, inside=False):
    """As the counter case, but the shoulder edge is listed 1 mm further out
    from 1080 on (or, with back, at 1080 only). Inside: the carriageway edge
    is listed 1 mm out, and at 1100 the shoulder edge outside it ends while
    a kerb line starts inside it."""
    moved = "edge_l" if inside else "shoulder_l"
    if inside:
        pts = carriageway(ch, 0.0, 0.0)
        pts = with_kerb(pts, ch, -6.0, "shoulder_l") if ch >= 1100 else pts
    else:
        pts = counter_case(ch)["Rasante"]
    if ch == 1080 or (ch > 1080 and not back):
        pts = [(f, o - 0.001 if f == moved else o, z) for f, o, z in pts]
    return {"Rasante": pts}


SAMPLES = {
    "lanes_both_sides": (stations(31), lanes_both_sides),
    "step_equals_spacing": (stations(21),
                            one_side([(1030, 0), (1100, 3.5), (1310, 3.5), (1380, 0)])),
    "steps_075_then_100": (stations(21), one_side([(1100, 0), (1120, 0.75), (1160, 2.75),
                                                  (1180, 3.5), (1300, 3.5), (1320, 2.75),
                                                  (1360, 0.75), (1380, 0)])),
    "starts_on_station": (stations(16), one_side([(1100, 0), (1190, 3.5)])),
    "stops_on_station": (stations(16), one_side([(1090, 0), (1180, 3.5)])),
    "bench_disappears": (stations(16), bench_disappears),
    "counter_case": (stations(11), counter_case),
    "lane_drop_fast": (stations(21), lane_drop_fast),
    "stops_where_lines_change": (stations(11), stops_where_lines_change),
    "wobble": (stations(11), wobble),
    "wobble_inside": (stations(11), lambda ch: wobble(ch, inside=True)),
    "limit_starts_on_station_step_spacing": (stations(16), one_side([(1100, 0), (1170, 3.5)])),
    "limit_lane_edge_near_shoulder": (stations(11), lane_edge_near_shoulder),
    "limit_stops_inside": (stations(16), stops_inside),
    "limit_wobble_back": (stations(11), lambda ch: wobble(ch, back=True)),
}

# Listed point codes by layer: a letter of the layer's family and the point's
# position across the section.
LETTER = {"Taludes": "T", "Subrasante": "S", "Rasante": "P"}
LAYERS = ("Taludes", "Subrasante", "Rasante")


def rounded(template, ch):
    return {layer: [(f, r3(o), r3(z)) for f, o, z in pts]
            for layer, pts in template(ch).items()}


def dedup(points):
    out = []
    for p in points:
        if out and abs(p[1] - out[-1][1]) < 1e-4 and abs(p[2] - out[-1][2]) < 1e-4:
            continue
        out.append(p)
    return out


def write(path, lines):
    with open(path, "w", encoding="ascii", newline="") as f:
        f.write("".join(line + "\r\n" if path.endswith(".trv") else line + "\n"
                        for line in lines))


def write_sample(name, chainages, template):
    trv = ["*TRV", "%s,Seccion tipo,v7.2" % name]
    known = ["# chainage layer feature offset height (consecutive duplicates removed)"]
    for ch in chainages:
        sec = rounded(template, ch)
        rows = []
        for layer in LAYERS:
            pts = sec.get(layer, [])
            for k, (f, o, z) in enumerate(pts):
                rows.append("%.3f,%.3f,%s%d" % (o, z, LETTER[layer], k + 1))
            for f, o, z in dedup(pts):
                known.append("%.3f %s %s %.3f %.3f" % (ch, layer, f, o, z))
        trv.append("%.3f,%d" % (ch, len(rows)))
        trv += rows
    trv.append("FIN")
    write(os.path.join(OUT, name + ".trv"), trv)
    write(os.path.join(OUT, name + "_known.txt"), known)


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    for sample, (chainages, tmpl) in SAMPLES.items():
        write_sample(sample, chainages, tmpl)
