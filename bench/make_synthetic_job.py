#!/usr/bin/env python3
"""Writes two large synthetic conversion jobs for the end-to-end benchmark.

Usage: make_synthetic_job.py OUTDIR [--road-km 100] [--rail-km 20]
                             [--stations 10000|0] [--cross-form trv2|trv]
                             [--rail-elements N] [--only road|rail]

OUTDIR receives:

- a road of about 100 km: road.plt (plain horizontal listing of about 2,000
  elements: lines, clothoids and arcs turning both ways, S-curves among
  them), road.alz (plain vertical listing over the same range, a vertex
  about every 500 m), a cross-section listing of 10,000 stations and the job
  file road.job. The cross sections are in the layer-name form (road.trv2,
  4 layers of 12 points: Taludes, Subrasante, Explanada, Plataforma) by
  default; --cross-form trv writes the point-code form instead (road.trv,
  whose code families give only 3 layers: Taludes, Subrasante, Rasante, of
  16 points each, the same 48 points a station).
- a double track of about 20 km: rail_centre.plt, rail_centre.alz, the
  tracks 2 m to either side rail_left.plt and rail_right.plt (laid out afresh
  about the shifted tangents, as a design would), their cant tables
  rail_left_cant.xml (single-cant form) and rail_right_cant.xml (left/right
  form), and the job file double-rail.job with the tracks taking their
  heights from the centre line. Its curves are long (about 50 elements per
  alignment); --rail-elements N lays out about N elements per alignment
  instead, every straight, transition and arc some tens of metres long, as a
  line designed in detail lists them.

--only writes one of the two jobs. The road and the track are drawn from
their own random sequences, so either comes out the same alone or together.

The listing formats are not written here: the generators of the sample files
are imported and reused (samples/generator/make_listings.py for the road's
listings, samples/cross/make_cross.py for the cross sections,
samples/rail/make_rail_samples.py for the tracks and cant tables); only their
output folder and the design they are fed change. The designs are drawn from
a fixed seed, so the files are the same on every run.
"""

import argparse
import importlib
import math
import os
import random
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SAMPLES = os.path.normpath(os.path.join(HERE, "..", "samples"))


def load(folder, name):
    """Imports a sample generator from its folder without running its main part
    (and without leaving compiled files among the samples)."""
    sys.dont_write_bytecode = True
    path = os.path.join(SAMPLES, folder)
    if path not in sys.path:
        sys.path.insert(0, path)
    return importlib.import_module(name)


ml = load("generator", "make_listings")
mc = load("cross", "make_cross")
mr = load("rail", "make_rail_samples")

GON = ml.GON


# ---- road: horizontal ----

def road_elements(rng, length_m):
    """Curves of line, entry clothoid, arc, exit clothoid, turning both ways,
    now and then back to back (an S-curve: no line between two curves), until
    the road is length_m long. Each curve turns towards the starting heading
    more often than away from it, so the road wanders but does not coil."""
    elements = []
    total = 0.0
    heading = 0.0  # relative to the start, radians, positive right
    while total < length_m:
        toward = -1.0 if heading > 0 else 1.0
        sign = toward if rng.random() < 0.7 else -toward
        radius = sign * rng.choice(range(300, 950, 25))
        ls = float(rng.choice(range(25, 55, 5)))  # clothoid length
        a = round(math.sqrt(abs(radius) * ls), 3)
        arc_len = float(rng.randrange(30, 95))
        if not elements or rng.random() > 0.12:
            elements.append(ml.line(float(rng.randrange(30, 95))))
        ins = ml.clothoid_in(a, radius)
        out = ml.clothoid_out(a, radius)
        elements += [ins, ml.arc(radius, arc_len), out]
        total = sum(e.length for e in elements)
        heading += (ins.length + out.length) / (2 * radius) + arc_len / radius
    elements.append(ml.line(60.0))
    return elements


def road_profile(rng, start, end):
    """Vertices about every 500 m with grades within 4 %; the parabolic curves
    never overlap (each takes at most 45 % of the shorter span beside it)."""
    chainages = [start]
    while chainages[-1] + 700 < end:
        chainages.append(chainages[-1] + rng.randrange(400, 601))
    chainages.append(round(end, 3))
    heights = [500.0]
    for i in range(1, len(chainages)):
        grade = rng.uniform(-0.04, 0.04)
        heights.append(round(heights[-1] + grade * (chainages[i] - chainages[i - 1]), 3))
    vertices = [(chainages[0], heights[0], 0)]
    for i in range(1, len(chainages) - 1):
        g_in = (heights[i] - heights[i - 1]) / (chainages[i] - chainages[i - 1])
        g_out = (heights[i + 1] - heights[i]) / (chainages[i + 1] - chainages[i])
        delta = abs(g_in - g_out)
        span = min(chainages[i] - chainages[i - 1], chainages[i + 1] - chainages[i])
        kv = min(rng.choice(range(3000, 20001, 500)), 0.45 * span / max(delta, 1e-9))
        kv = float(int(kv))
        if delta < 0.002 or kv < 100:
            kv = 0.0  # no curve where the grade hardly changes
        vertices.append((chainages[i], heights[i], -kv if g_in > g_out else kv))
    vertices.append((chainages[-1], heights[-1], 0))
    return ml.Profile(vertices)


def vertex_letters(n):
    """How each vertex is written: mostly height "C" and radius "R", now and
    then a grade "P" or a tangent "T" or external "F" curve value."""
    cycle = [("C", "R"), ("C", "R"), ("C", "T"), ("P", "R"), ("C", "F")]
    return [("C", "R")] + [cycle[i % len(cycle)] for i in range(1, n - 1)] + [("C", "R")]


# ---- road: cross sections ----

LAYER_POINTS = 12


def road_template(ch):
    """layer -> 12 (feature, offset, height) left to right, for the
    layer-name form: a four-lane platform, subgrade, formation and the side
    slopes with a ditch and a berm. Widths vary smoothly along the road."""
    h = 500.0 + 3.0 * math.sin(ch / 1700.0)
    cut = 3.0 + 1.5 * math.sin(ch / 430.0)
    fill = 4.0 + 2.0 * math.sin(ch / 610.0)
    fall = lambda o: h - 0.02 * abs(o)
    surface_offsets = [-9.0, -8.0, -7.5, -5.0, -2.5, -0.5, 0.5, 2.5, 5.0, 7.5, 8.0, 9.0]
    surface = [("pl%d" % k, o, fall(o)) for k, o in enumerate(surface_offsets)]
    sub_offsets = [-9.6, -8.0, -6.4, -4.8, -3.2, -1.6, 1.6, 3.2, 4.8, 6.4, 8.0, 9.6]
    subgrade = [("sb%d" % k, o, fall(o) - 0.5) for k, o in enumerate(sub_offsets)]
    form_offsets = [-10.5, -8.75, -7.0, -5.25, -3.5, -1.75, 1.75, 3.5, 5.25, 7.0, 8.75, 10.5]
    formation = [("ex%d" % k, o, fall(o) - 1.1) for k, o in enumerate(form_offsets)]
    e = -9.0
    top = fall(e)
    slopes = [("cut_top", e - 4.0 - 2 * cut, top + cut + 1.0),
              ("berm_out", e - 4.0 - cut, top + 1.0 + cut / 2),
              ("berm_in", e - 4.0 - cut / 2, top + 1.0 + cut / 2),
              ("cut_foot", e - 4.0, top + 0.2),
              ("ditch_out", e - 2.0, top - 0.1), ("ditch_bottom", e - 1.5, top - 0.8),
              ("ditch_in", e - 1.0, top - 0.1), ("top_l", e, top),
              ("top_r", 9.0, fall(9.0)), ("fill_mid", 9.0 + fill, fall(9.0) - fill / 1.5),
              ("fill_berm", 10.0 + fill, fall(9.0) - fill / 1.5),
              ("toe_r", 10.0 + 2 * fill, fall(9.0) - 2 * fill / 1.5)]
    rnd = lambda pts: [(f, mc.r3(o), mc.r3(z)) for f, o, z in pts]
    return {"Taludes": rnd(slopes), "Subrasante": rnd(subgrade), "Explanada": rnd(formation),
            "Plataforma": rnd(surface)}


def trv2_codes():
    """Codes of the layer-name form, whose keywords pick the layers."""
    codes = {}
    slope_codes = ["IDESMO1", "IDESMO2", "IDESMO3", "IDESMO4", "ICUNETA3", "ICUNETA2",
                   "ICUNETA1", "ITERRA", "DTERRA1", "DTERRA2", "DTERRA3", "DTERRA4"]
    for f, c in zip(["cut_top", "berm_out", "berm_in", "cut_foot", "ditch_out", "ditch_bottom",
                     "ditch_in", "top_l", "top_r", "fill_mid", "fill_berm", "toe_r"], slope_codes):
        codes[f] = c
    for k in range(LAYER_POINTS):
        side = "I" if k < LAYER_POINTS // 2 else "D"
        codes["sb%d" % k] = "%sSUBRAS%d" % (side, k % 6 + 1)
        codes["ex%d" % k] = "%sEXPLA%d" % (side, k % 6 + 1)
        codes["pl%d" % k] = "%sCALZ%d" % (side, k % 6 + 1)  # no keyword: "Plataforma"
    codes["pl5"], codes["pl6"] = "EJE1", "EJE2"
    return codes


def trv_template(ch):
    """The point-code form's three layers, 16 points each (its code families
    give no fourth layer): the slopes with a second ditch beyond the toe, a
    wider subgrade and the platform with the formation's inner points."""
    t = road_template(ch)
    toe_o, toe_z = t["Taludes"][-1][1], t["Taludes"][-1][2]
    slopes = t["Taludes"] + [("toe_ditch_in", toe_o + 1.0, toe_z - 0.1),
                             ("toe_ditch_bottom", toe_o + 1.5, toe_z - 0.7),
                             ("toe_ditch_out", toe_o + 2.0, toe_z - 0.1),
                             ("limit", toe_o + 4.0, toe_z + 0.3)]
    axis = t["Plataforma"][5][2] + 0.01
    fall = lambda o: axis - 0.02 * abs(o)
    sub = [("sb%d" % k, -9.6 + 1.28 * k, fall(-9.6 + 1.28 * k) - 0.5) for k in range(16)]
    surface = [("pl%d" % k, -9.0 + 1.2 * k, fall(-9.0 + 1.2 * k)) for k in range(16)]
    rnd = lambda pts: [(f, mc.r3(o), mc.r3(z)) for f, o, z in pts]
    return {"Taludes": rnd(slopes), "Subrasante": rnd(sub), "Rasante": rnd(surface)}


def trv_codes():
    """Codes of the point-code form: P surface, S subgrade, T slopes (the
    slope family stores every code under "T", so T codes stay distinct)."""
    t = trv_template(0.0)
    codes = {}
    for layer, letter in (("Rasante", "P"), ("Subrasante", "S"), ("Taludes", "T")):
        for k, (f, _, _) in enumerate(t[layer]):
            codes[f] = "%s%d" % (letter, k + 1)
    return codes


def write_cross(outdir, start, count, step, form):
    """Reuses make_cross.write_trv with this road's stations and template."""
    mc.HERE = outdir
    mc.START, mc.STEP = start, step
    mc.END = start + (count - 1) * step
    if form == "trv":
        mc.template = trv_template
        name = "road.trv"
        mc.write_trv(name, trv_codes(), ("Rasante", "Taludes", "Subrasante"))
    else:
        mc.template = road_template
        name = "road.trv2"
        mc.write_trv(name, trv2_codes(), ("Taludes", "Subrasante", "Explanada", "Plataforma"))
    return name


def make_road(outdir, rng, km, stations, form):
    elements = road_elements(rng, km * 1000.0)
    end = ml.lay_out(elements, 0.0, 500000.000, 4500000.000, 62.5 * GON)
    profile = road_profile(rng, 0.0, end[0])
    ml.OUT = outdir
    ml.write_plt("road.plt", ml.hz_rows(elements, end), False, "")
    ml.write_alz("road.alz", profile, False, "", vertex_letters(len(profile.v)))
    step = 10.0
    if stations == 0:  # one every 10 m along the whole road
        stations = int(end[0] // step) + 1
    while (stations - 1) * step > end[0]:
        step /= 2
    cross = write_cross(outdir, 0.0, stations, step, form)
    write_job(outdir, "road.job", "A synthetic road of %.3f km, %d elements, %d cross sections."
              % (end[0] / 1000, len(elements), stations),
              [("job", "road"), ("hz", "road.plt"), ("vt", "road.alz"), ("cross", cross),
               ("unit", "m")])
    return len(elements), end[0], len(profile.v), stations


# ---- double track ----

def rail_design(rng, km):
    """Straights and curves (entry clothoid, arc, exit clothoid) of a line of
    about km kilometres; the curves turn both ways."""
    curves, straights = [], [float(rng.randrange(400, 900))]
    total = straights[0]
    sign = 1
    target = km * 1000.0
    while True:
        radius = sign * float(rng.choice(range(1200, 3601, 100)))
        ls = float(rng.choice(range(100, 221, 20)))
        delta = rng.uniform(0.12, 0.35)
        delta = max(delta, 1.5 * ls / abs(radius))  # a real arc between the clothoids
        curve = mr.Curve(radius, ls, delta)
        curves.append(curve)
        total += 2 * ls + curve.arc_length()
        straight = float(rng.randrange(500, 1300))
        if total + straight + 1500 > target:  # the last straight ends the line
            straights.append(max(400.0, float(round(target - total))))
            return straights, curves
        straights.append(straight)
        total += straight
        sign = -sign if rng.random() < 0.8 else sign


def rail_design_dense(rng, km, elements):
    """About `elements` elements: after every straight a curve (entry
    clothoid, arc, exit clothoid), each part a few tens of metres long."""
    target = km * 1000.0
    units = max(1, (elements - 1) // 4)
    unit = target / units
    curves, straights = [], []
    total, sign = 0.0, 1
    for _ in range(units):
        straight = round(unit * rng.uniform(0.25, 0.35), 1)
        ls = round(unit * rng.uniform(0.18, 0.24), 1)
        arc = unit - straight - 2 * ls
        radius = sign * float(rng.choice(range(1200, 3601, 100)))
        curves.append(mr.Curve(radius, ls, (arc + ls) / abs(radius)))
        straights.append(straight)
        total += straight + 2 * ls + curves[-1].arc_length()
        sign = -sign if rng.random() < 0.8 else sign
    straights.append(max(40.0, round(target - total, 1)))
    return straights, curves


def cant_mm(radius):
    return int(min(150, max(40, round(160000.0 / abs(radius) / 10) * 10)))


def make_rail(outdir, rng, km, elements):
    mr.HERE = outdir
    start, az0 = (300000.0, 4400000.0), 80 * GON
    straights, curves = (rail_design_dense(rng, km, elements) if elements > 0
                         else rail_design(rng, km))
    rows = mr.elements_of(start, az0, straights, curves)
    mr.check_closure(rows, start, az0, straights, curves)
    mr.write_plt("rail_centre.plt", rows)
    end = rows[-1][0]
    vertices = [(0.0, 250.0, 0)]
    ch = 0.0
    while ch + 2500 < end:
        ch += rng.randrange(1200, 2001)
        vertices.append((ch, round(vertices[-1][1] + rng.uniform(-0.008, 0.008) *
                                   (ch - vertices[-1][0]), 3), rng.choice(range(20000, 40001, 5000))))
    vertices.append((round(end, 3), round(vertices[-1][1] + 0.004 * (end - vertices[-1][0]), 3), 0))
    mr.write_alz("rail_centre.alz", vertices)

    head = [("version", "1.1.0"), ("gauge", "1.435"), ("superelevationBase", "1.5"),
            ("rotationPoint", "insideRail"), ("coPlane", "true"), ("stationType", "centreline"),
            ("widthExcessType", "highestRail")]
    counts = {}
    for name, offset in (("left", -2.0), ("right", 2.0)):
        s, strs, crvs = mr.offset_design(start, az0, straights, curves, offset)
        trows = mr.elements_of(s, az0, strs, crvs)
        mr.check_closure(trows, s, az0, strs, crvs)
        mr.write_plt("rail_%s.plt" % name, trows)
        keys, tend = mr.key_chainages(strs, crvs), trows[-1][0]
        counts[name] = len(trows) - 1
        if name == "left":
            def st(c, cant, interp):
                return [("station", mr.fmt(c)), ("appliedCant", cant),
                        ("rotationPoint", "insideRail"), ("cantInterpolation", interp)]
            stations = [st(0, 0, "linear")]
            for (ts, sc, cs, stc), c in zip(keys, crvs):
                d = cant_mm(c.radius)
                stations += [st(ts, 0, "cubic"), st(sc, d, "linear"), st(cs, d, "cubic"),
                             st(stc, 0, "linear")]
            stations.append(st(tend, 0, "linear"))
            mr.write_cant("rail_left_cant.xml", head, stations)
        else:
            def lr(c, left, right, interp):
                return [("station", mr.fmt(c)), ("appliedCantLeft", left),
                        ("appliedCantRight", right), ("cantInterpolation", interp)]
            stations = [lr(0, 0, 0, "linear")]
            for (ts, sc, cs, stc), c in zip(keys, crvs):
                half = cant_mm(c.radius) // 2
                outer = half if c.radius > 0 else -half  # the outer rail of the curve raised
                stations += [lr(ts, 0, 0, "linear"), lr(sc, outer, -outer, "linear"),
                             lr(cs, outer, -outer, "linear"), lr(stc, 0, 0, "linear")]
            stations.append(lr(tend, 0, 0, "linear"))
            rhead = [(k, "center" if k == "rotationPoint" else
                      ("false" if k == "coPlane" else v)) for k, v in head]
            mr.write_cant("rail_right_cant.xml", rhead, stations)
    write_job(outdir, "double-rail.job",
              "A synthetic double track of %.1f km, %d curves." % (end / 1000, len(curves)),
              [("job", "double-rail"), ("hz", "rail_centre.plt"), ("vt", "rail_centre.alz"),
               ("left-hz", "rail_left.plt"), ("left-cant", "rail_left_cant.xml"),
               ("right-hz", "rail_right.plt"), ("right-cant", "rail_right_cant.xml"),
               ("tracks-vt-from-centre", "yes"), ("centre-vt-sampling", "projected"),
               ("unit", "m")])
    return len(rows) - 1, end, counts


def write_job(outdir, name, comment, pairs):
    with open(os.path.join(outdir, name), "w", newline="\n") as f:
        f.write("# %s\n" % comment)
        for k, v in pairs:
            f.write("%s = %s\n" % (k, v))


def main(argv):
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("outdir")
    p.add_argument("--road-km", type=float, default=100.0)
    p.add_argument("--rail-km", type=float, default=20.0)
    p.add_argument("--stations", type=int, default=10000)
    p.add_argument("--cross-form", choices=("trv2", "trv"), default="trv2")
    p.add_argument("--rail-elements", type=int, default=0)
    p.add_argument("--only", choices=("road", "rail"))
    p.add_argument("--seed", type=int, default=2026)
    args = p.parse_args(argv)
    if args.road_km <= 0 or args.rail_km < 5 or (args.stations < 2 and args.stations != 0) \
            or args.rail_elements < 0:
        p.error("the road needs a positive length, the track 5 km or more, 2 stations or more"
                " (0: one every 10 m)")
    outdir = os.path.abspath(args.outdir)
    os.makedirs(outdir, exist_ok=True)
    if args.only != "rail":
        n, length, vertices, stations = make_road(outdir, random.Random(args.seed),
                                                  args.road_km, args.stations, args.cross_form)
        print("road: %.3f km, %d horizontal elements, %d vertices, %d cross sections (%s)"
              % (length / 1000, n, vertices, stations, args.cross_form))
    if args.only != "road":
        n, length, counts = make_rail(outdir, random.Random(args.seed + 1), args.rail_km,
                                      args.rail_elements)
        print("double track: %.3f km, centre line %d elements, left %d, right %d"
              % (length / 1000, n, counts["left"], counts["right"]))


if __name__ == "__main__":
    main(sys.argv[1:])
