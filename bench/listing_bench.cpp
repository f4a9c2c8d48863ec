// Reading speed of the listing readers on long synthetic listings: the plain
// horizontal form, the RTF text extraction, the horizontal report, and the
// plain vertical form with its conversion.
#include "import/HzListing.h"
#include "import/RtfText.h"
#include "import/VtListing.h"
#include "shell/AppModel.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

// n rows of a straight line along north, one every 10 m.
std::string PlainHz(long n) {
    std::string text = "*PLT\r\n";
    char row[128];
    for (long i = 0; i < n; ++i) {
        std::snprintf(row, sizeof row, "%.3f,500000.000,%.3f,0.0000000,0.000,0.000\r\n",
                      12340.0 + 10.0 * i, 4500000.0 + 10.0 * i);
        text += row;
    }
    return text;
}

std::string RtfHz(long n) {
    std::string text = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\trowd\\cellx1000 Estaci\\'f3n\\cell "
                       "L\\cell X\\cell Y\\cell Az\\cell R\\cell A\\cell\\row\r\n";
    char row[256];
    for (long i = 0; i < n; ++i) {
        std::snprintf(
            row, sizeof row,
            "\\trowd\\cellx1000\\pard\\intbl %ld+%03ld,000\\cell 10,000\\cell "
            "500.000,000\\cell %.3f\\cell 0,000000\\cell INFINITO\\cell 0,000\\cell\\row\r\n",
            (12340 + 10 * i) / 1000, (12340 + 10 * i) % 1000, 4500000.0 + 10.0 * i);
        text += row;
    }
    return text + "}";
}

// n vertices with alternating grades and a curve at each inner vertex.
std::string PlainVt(long n) {
    std::string text = "*ALZ\r\n";
    char row[128];
    for (long i = 0; i < n; ++i) {
        std::snprintf(row, sizeof row, "%.3f,%.3fC,%s\r\n", 1000.0 * i, i % 2 ? 10.0 : 0.0,
                      i == 0 || i == n - 1 ? "0R" : "10000R");
        text += row;
    }
    return text;
}

void BM_ReadHzPlain(benchmark::State &state) {
    vialto::AppModel().SetAddOnMode(true);
    const std::string text = PlainHz(state.range(0));
    for (auto _ : state) {
        vialto::HzAlignment elements;
        benchmark::DoNotOptimize(vialto::ReadHzPlainListing(text, elements));
    }
    state.SetBytesProcessed(static_cast<long>(state.iterations() * text.size()));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadHzPlain)->Arg(1000)->Arg(100000);

void BM_RtfToText(benchmark::State &state) {
    const std::string rtf = RtfHz(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(vialto::RtfToText(rtf));
    state.SetBytesProcessed(static_cast<long>(state.iterations() * rtf.size()));
}
BENCHMARK(BM_RtfToText)->Arg(1000)->Arg(100000);

void BM_ReadHzRtf(benchmark::State &state) {
    vialto::AppModel().SetAddOnMode(true);
    const std::string rtf = RtfHz(state.range(0));
    for (auto _ : state) {
        vialto::HzAlignment elements;
        benchmark::DoNotOptimize(vialto::ReadHzRtfListing(rtf, elements));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadHzRtf)->Arg(1000)->Arg(100000);

void BM_ReadVtPlain(benchmark::State &state) {
    vialto::AppModel().SetAddOnMode(true);
    const std::string text = PlainVt(state.range(0));
    for (auto _ : state) {
        vialto::VtAlignment elements;
        benchmark::DoNotOptimize(vialto::ReadVtPlainListing(text, elements));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadVtPlain)->Arg(1000)->Arg(100000);

} // namespace
