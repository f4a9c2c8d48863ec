// Point at a chainage and projection of a point on a long alignment: about
// 100 km in 2,000 elements (500 curves of line, clothoid, arc, clothoid),
// sampled every 0.5 m as the track computations do.
#include "geometry/HzGeometry.h"
#include "support/AlignmentFixtures.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using namespace vialto;

test::FixtureLayout LongLayout() {
    test::FixtureLayout layout;
    layout.Name = "100 km";
    layout.Azimuth0 = 0.8;
    for (int k = 0; k < 500; ++k) {
        const double sign = k % 2 == 0 ? 1 : -1;
        const double R = sign * (400 + (k * 131) % 800);
        const double transition = 40 + (k * 17) % 30;
        layout.Segments.push_back({30.0 + (k * 37) % 60, 0, 0});
        layout.Segments.push_back({transition, 0, R});
        layout.Segments.push_back({20.0 + (k * 53) % 60, R, R});
        layout.Segments.push_back({transition, R, 0});
    }
    return layout;
}

struct LongAlignment {
    test::FixtureLayout Layout = LongLayout();
    HzAlignment Elements = test::BuildFixtureAlignment(Layout);
    double Start = Layout.StartChainage;
    double End = test::FixtureEndChainage(Layout);
};

const LongAlignment &Long() {
    static const LongAlignment alignment;
    return alignment;
}

// Points 2.5 m right of the alignment every 0.5 m over a stretch, to project.
const std::vector<HzPoint> &OffsetPoints() {
    static const std::vector<HzPoint> points = [] {
        std::vector<HzPoint> result;
        const LongAlignment &a = Long();
        for (double c = a.Start; c < a.End; c += 0.5 * 997) { // spread over the whole length
            const test::FixturePose pose =
                test::FixtureOffset(test::FixturePoseAt(a.Layout, c), 2.5);
            result.push_back(HzPoint{pose.X, pose.Y, 0, 0, 0});
        }
        return result;
    }();
    return points;
}

void BM_GetCoordFromHzAligment(benchmark::State &state) {
    const LongAlignment &a = Long();
    double c = a.Start;
    HzPoint p;
    for (auto _ : state) {
        benchmark::DoNotOptimize(GetCoordFromHzAligment(a.Elements, c, p));
        c += 0.5;
        if (c >= a.End) {
            c = a.Start;
        }
    }
    state.counters["elements"] = static_cast<double>(ElementCount(a.Elements));
    state.counters["km"] = (a.End - a.Start) / 1000;
}
BENCHMARK(BM_GetCoordFromHzAligment);

void BM_ProjectPointToAligment(benchmark::State &state) {
    const LongAlignment &a = Long();
    const std::vector<HzPoint> &points = OffsetPoints();
    const long n = ElementCount(a.Elements);
    std::size_t i = 0;
    double chainage = 0;
    double offset = 0;
    double azimuth = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            ProjectPointToAligment(chainage, offset, azimuth, points[i], a.Elements, 1, n));
        i = (i + 1) % points.size();
    }
}
BENCHMARK(BM_ProjectPointToAligment);

// The whole step of a track sample: its point, then its projection onto the
// other alignment (here the same one, which has the same size).
void BM_ProjectChainToAnotherAligment(benchmark::State &state) {
    const LongAlignment &a = Long();
    double c = a.Start;
    double offset = 0;
    double chainage = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            ProjectChainToAnotherAligment(c, a.Elements, a.Elements, offset, chainage));
        c += 0.5 * 97;
        if (c >= a.End) {
            c -= a.End - a.Start;
        }
    }
}
BENCHMARK(BM_ProjectChainToAnotherAligment);

} // namespace
