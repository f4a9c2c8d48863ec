// Writing speed of the document writer: a whole document with a long
// alignment and its profile, and the per-line and per-text costs under it.
#include "geometry/HzGeometry.h"
#include "landxml/LandXmlAlignment.h"
#include "landxml/LandXmlHead.h"
#include "landxml/LandXmlProfile.h"
#include "landxml/LandXmlWriter.h"
#include "shell/Text.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

using namespace vialto;

// Repeats line 100 - clothoid 40 - arc R 250 60 - clothoid 40, alternating the
// turn, each element starting where the previous ends.
HzAlignment LongAlignment(long count) {
    HzAlignment e = MakeOneBased<HzElement>(count);
    HzPoint at;
    double chainage = 0;
    for (long i = 1; i <= count; ++i) {
        HzElement &element = e[static_cast<std::size_t>(i)];
        const double turn = (i / 4) % 2 == 0 ? 1 : -1;
        element.Number = i;
        element.Chainage = chainage;
        element.X = at.X;
        element.Y = at.Y;
        element.Azimuth = at.Azimuth;
        switch (i % 4) {
        case 1:
            element.Length = 100;
            at = GetCoordInLine(element, element.Length);
            break;
        case 2:
            element.Radius = turn * kRadiusMarker, element.Parameter = 100, element.Length = 40;
            at = GetCoordInClothoid(element, element.Length, kNullValue, kNullValue);
            break;
        case 3:
            element.Radius = turn * 250, element.Length = 60;
            at = GetCoordInArc(element, element.Length);
            break;
        default:
            element.Radius = turn * 250, element.Parameter = 100, element.Length = 40;
            at = GetCoordInClothoid(element, element.Length, kNullValue, kNullValue);
            break;
        }
        chainage += element.Length;
    }
    return e;
}

VtAlignment LongProfile(long count) {
    VtAlignment v = MakeOneBased<VtElement>(count);
    for (long i = 1; i <= count; ++i) {
        VtElement &element = v[static_cast<std::size_t>(i)];
        element.Chainage = 100.0 * static_cast<double>(i - 1);
        element.Height = 100;
        element.Grade = i % 2 == 0 ? 0.02 : -0.02;
        element.Parameter = i % 3 == 0 ? 0 : (i % 2 == 0 ? -3000 : 3000);
        element.Length = i % 3 == 1 ? -60 : 80;
        element.GradeOut = -element.Grade;
    }
    return v;
}

const std::filesystem::path kOutput = std::filesystem::temp_directory_path() / "vialto_bench.xml";

void BM_WriteDocument(benchmark::State &state) {
    const long count = state.range(0);
    const HzAlignment hz = LongAlignment(count);
    const VtAlignment vt = LongProfile(count);
    for (auto _ : state) {
        SetOutputFile(kOutput.string());
        TagLandXML(false);
        TagApplication("bench");
        TagProject("<a.plt + b.alz>", "");
        TagUnits(3);
        TagAlignments(false);
        TagAlignment(false, "Eje 1", 0, hz.back().Chainage + hz.back().Length);
        TagCoordGeom(false);
        double first = 0, last = 0;
        TagCoordGeomRegular(hz, kNullValue, kNullValue, first, last);
        TagCoordGeom(true);
        TagProfile(false);
        TagProfAlign(first, last, "Eje 1", vt, kNullValue, kNullValue);
        TagProfile(true);
        TagAlignment(true);
        TagAlignments(true);
        TagLandXML(true);
        CloseFile();
        benchmark::DoNotOptimize(CommitOutput());
    }
    state.SetItemsProcessed(state.iterations() * count);
    std::filesystem::remove(kOutput);
}
BENCHMARK(BM_WriteDocument)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_WriteLnAt(benchmark::State &state) {
    SetOutputFile(kOutput.string());
    TagLandXML(false);
    const std::string line = "<PVI>12345.678901 234.567890</PVI>";
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteLnAt(line));
    CloseFile();
    DiscardOutput();
}
BENCHMARK(BM_WriteLnAt);

void BM_XmlText(benchmark::State &state) {
    const std::string text = "Eje principal <tramo 2> & ramal Jos\xC3\xA9";
    for (auto _ : state)
        benchmark::DoNotOptimize(XmlText(text));
}
BENCHMARK(BM_XmlText);

} // namespace
