// A track's profile derived from the centre line over 20 km: about 570
// elements per alignment (straights, clothoids and arcs of radius 1200 turning
// either way), sampled every 0.5; plain, and co-planar with the
// vertical options 0 and 1 (1 also projects every sample onto the other
// track). Run with /usr/bin/time -v to see the peak memory.
#include "model/AlignmentStore.h"
#include "railtunnel/RailComputation.h"
#include "railtunnel/Superelevation.h"
#include "railtunnel/TrackVtAlignment.h"
#include "shell/UserInterface.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>

using namespace vialto;

namespace {

struct Pose {
    double x = 0, y = 0, az = 0;
};

// The pose after `length` with the curvature running k0 -> k1 (Simpson).
Pose Integrate(Pose p, double k0, double k1, double length) {
    const int n = 400;
    const double h = length / n;
    const auto theta = [&](double s) { return p.az + k0 * s + (k1 - k0) * s * s / (2 * length); };
    double sx = 0, sy = 0;
    for (int i = 0; i <= n; ++i) {
        const double w = (i == 0 || i == n) ? 1 : (i % 2 ? 4 : 2);
        sx += w * std::sin(theta(i * h));
        sy += w * std::cos(theta(i * h));
    }
    return {p.x + sx * h / 3, p.y + sy * h / 3, theta(length)};
}

// Straight 30, clothoid 30, arc 50, clothoid 30, repeated over 20 km with the
// turn alternating; a track at `offset` takes radius R - offset and stretches
// its curves so that it turns as much as the centre line.
HzAlignment Alignment(double offset) {
    HzAlignment hz(1);
    Pose p{1000 + offset, 5000, 0};
    double chainage = 0;
    const auto add = [&](double radius, double parameter, double length, double k0, double k1) {
        HzElement e;
        e.Number = static_cast<long>(hz.size());
        e.Chainage = chainage;
        e.X = p.x;
        e.Y = p.y;
        e.Azimuth = p.az;
        e.Radius = radius;
        e.Parameter = parameter;
        e.Length = length;
        hz.push_back(e);
        p = Integrate(p, k0, k1, length);
        chainage += length;
    };
    for (int unit = 0; chainage < 20000; ++unit) {
        const double r = (unit % 2 ? -1200.0 : 1200.0) - offset;
        const double scale = std::abs(r) / 1200.0;
        const double ls = 30 * scale;
        const double a = std::sqrt(std::abs(r) * ls);
        add(0, 0, 30, 0, 0);
        add(std::copysign(0.001, r), a, ls, 0, 1 / r);
        add(r, 0, 50 * scale, 1 / r, 1 / r);
        add(r, a, ls, 1 / r, 0);
    }
    add(0, 0, 30, 0, 0);
    return hz;
}

VtAlignment Profile() {
    VtAlignment vt(3);
    vt[1] = {1, -100, 100, 0.005, 0, 0, 10100};
    vt[2] = {2, 10000, 150.5, -0.004, 0, 0, 10500};
    return vt;
}

void Store(bool coplane) {
    ResetAlignments();
    for (int i = 0; i < 3; ++i)
        AddAlignment();
    SetAligmentHz(1, Alignment(0));
    SetAligmentVt(1, Profile());
    SetAligmentHz(2, Alignment(-2));
    SetAligmentHz(3, Alignment(2));
    if (coplane) {
        CantTableData data;
        data.Gauge = 1.435;
        data.SuperelevationBase = 1.5;
        data.IsCoplaneTrack = true;
        for (int s = 0; s <= 20; ++s)
            data.Stations.push_back(
                CantStation{s * 1000.0, (s % 2) * 0.1, 0, 0, 0, rotInsideRail, interpLinear});
        SetAligmentSup(2, std::make_shared<clsSuperelevation>(data));
    }
}

void BM_CreateVtFromVt(benchmark::State &state) {
    const bool alongCentre = state.range(0) != 0;
    const bool coplane = state.range(1) != 0;
    const int option = static_cast<int>(state.range(2));
    Store(coplane);
    long samples = 0;
    for (auto _ : state) {
        NullProgress progress;
        const bool ok =
            CreateVtFromVt(2, 1, coplane ? 2 : 0, 0.5, progress, 2, alongCentre, option, 0.01);
        if (!ok)
            state.SkipWithError("CreateVtFromVt failed");
        samples = ElementCount(GetAligmentVt(2));
        benchmark::DoNotOptimize(samples);
    }
    state.counters["samples"] = static_cast<double>(samples);
    state.counters["elements"] = static_cast<double>(ElementCount(GetAligmentHz(2)));
}

} // namespace

BENCHMARK(BM_CreateVtFromVt)
    ->ArgNames({"alongCentre", "coplane", "option"})
    ->Args({0, 0, 0})
    ->Args({1, 0, 0})
    ->Args({0, 1, 0})
    ->Args({0, 1, 1})
    ->Unit(benchmark::kMillisecond);
