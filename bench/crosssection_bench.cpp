// Cross sections of a long road through the naming rules and the export:
// 10,000 stations x 4 layers x 12 points. Offsets drift smoothly along the
// road, one point of each layer is missing on every fifth stretch of 100
// stations (a line that ends and starts again), and slope toes move faster.
#include "crosssection/CrSec.h"
#include "crosssection/CrSecExport.h"
#include "import/CrSecSet.h"
#include "landxml/LandXmlHead.h"
#include "landxml/LandXmlWriter.h"
#include "model/AlignmentStore.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>

using namespace vialto;

namespace {

constexpr int kStations = 10000;
constexpr int kLayers = 4;
constexpr int kPoints = 12;

CrossSectionSet LongRoad() {
    CrossSectionSet set;
    for (const char *name : {"Taludes", "Cunetas", "Subrasante", "Rasante"})
        set.Layers.push_back(CrSecLayer{name, {}});
    const double base[kPoints] = {-12, -9, -7, -5, -3.5, -1.75, 0, 1.75, 3.5, 5, 7, 9};
    for (int i = 0; i < kStations; ++i) {
        const double ch = 12340 + 10.0 * i;
        std::vector<CrListPoints> surfaces(kLayers);
        for (int l = 0; l < kLayers; ++l) {
            for (int k = 0; k < kPoints; ++k) {
                if (k == 5 && (i / 100) % 5 == 4)
                    continue; // a line that ends and starts again
                const double drift = (k == 0 || k == kPoints - 1) ? 1.5 * std::sin(ch / 450 + l)
                                                                  : 0.02 * std::sin(ch / 300 + k);
                const double offset = base[k] + drift + 0.3 * l;
                surfaces[l].push_back({offset, 100 + 0.01 * i - 0.02 * std::abs(offset) - l, {}});
            }
        }
        AddStation(set, ch, surfaces);
    }
    return set;
}

const CrossSectionSet &Road() {
    static const CrossSectionSet road = [] {
        ResetAlignments();
        AddAlignment();
        SetAligmentVt(1, MakeOneBased<VtElement>(1));
        return LongRoad();
    }();
    return road;
}

void WriteCrossSections(CrossSectionSet &set) {
    static const std::filesystem::path out =
        std::filesystem::temp_directory_path() / "vialto_bench_cr.xml";
    SetOutputFile(out.string());
    TagLandXML(false);
    double first = 0, last = 0;
    NullProgress progress;
    if (!Export2LandXML(first, last, set, "", 0, 0, progress, false))
        std::abort();
    TagLandXML(true);
    CloseFile();
    DiscardOutput();
}

void BM_ApplyRules(benchmark::State &state) {
    for (auto _ : state) {
        state.PauseTiming();
        CrossSectionSet set = Road();
        state.ResumeTiming();
        NullProgress progress;
        if (!ApplyRules(set, "", progress, true))
            std::abort();
        benchmark::DoNotOptimize(set.Layers[0].Codes.size());
    }
    state.counters["surfaces"] = kStations * kLayers;
}
BENCHMARK(BM_ApplyRules)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Export(benchmark::State &state) {
    CrossSectionSet ruled = Road();
    NullProgress progress;
    ApplyRules(ruled, "", progress, false);
    for (auto _ : state) {
        state.PauseTiming();
        CrossSectionSet set = ruled;
        state.ResumeTiming();
        WriteCrossSections(set);
    }
}
BENCHMARK(BM_Export)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RulesAndExport(benchmark::State &state) {
    for (auto _ : state) {
        state.PauseTiming();
        CrossSectionSet set = Road();
        state.ResumeTiming();
        NullProgress progress;
        SetDefaultCodes(set, "");
        ApplyRules(set, "", progress, true);
        WriteCrossSections(set);
    }
    state.counters["points"] = kStations * kLayers * kPoints;
}
BENCHMARK(BM_RulesAndExport)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
