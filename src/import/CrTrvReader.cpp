// The ".trv" and ".trv2" forms: a "*TRV" line, one ignored line, then sections
// of a header "chainage,count" and count lines "offset,height,code", up to a
// "FIN" header or the end of the file. A header whose first field ends in
// "E" announces count lines to skip.
#include "import/CrReaders.h"

#include "import/CrSecSet.h"
#include "import/PointCodes.h"
#include "shell/ErrHandler.h"
#include "shell/Text.h"
#include "shell/WorkSplit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>

namespace vialto {

namespace {

struct TrvPoint {
    double Offset = 0;
    double Height = 0;
    std::string Code; // as a fixed field of 8 characters
};

struct TrvSection {
    double Chainage = 0;
    std::vector<TrvPoint> Points;
};

// More point lines than any file can hold; a larger count still ends at the
// end of the file, with a clear failure.
constexpr double kMaxCount = 1e12;

long long SectionCount(const std::vector<std::string_view> &fields, ListingContext &ctx) {
    if (fields.size() < 2)
        ctx.Reject(errSubscript, "expected a section header \"chainage,number of lines\", found "
                                 "\"" +
                                     Printable(fields.front()) + "\"");
    const double count = std::floor(RequireNumber(fields[1], 2, "number of lines", ctx));
    return count <= 0 ? 0 : static_cast<long long>(std::min(count, kMaxCount));
}

// The next line of a section, which the header promised.
std::string_view SectionLine(ListingLines &lines, ListingContext &ctx, long long read,
                             long long count, long headerLine) {
    if (lines.AtEnd()) {
        ctx.SetLine(headerLine);
        ctx.Reject(errSubscript, "the section announces " + std::to_string(count) +
                                     " line(s) but the file ends after " + std::to_string(read));
    }
    std::string_view line = lines.Next();
    ctx.SetLine(lines.LineNumber());
    return line;
}

// Where the reading of a run of sections stopped: the byte and line count
// before the next section (or blank line between sections), and whether the
// listing ends there ("FIN" or the end of the text).
struct SectionsEnd {
    std::size_t Position = 0;
    long Line = 0;
    bool Final = false;
};

// Reads the sections from the lines' position one after the other and hands
// each to `take` as soon as it is complete; the section is reused for the
// next one, so a large listing is never held twice. Stops at "FIN", at the
// end of the text, or before the first section that begins at or after
// byte `until`.
template <class Take>
SectionsEnd ReadSections(ListingLines &lines, std::size_t until, ListingContext &ctx, Take &&take) {
    std::vector<std::string_view> fields;
    std::vector<std::string_view> point;
    std::vector<std::string_view> previous;
    TrvSection section;
    while (!lines.AtEnd()) {
        if (lines.Position() >= until)
            return {lines.Position(), lines.LineNumber(), false};
        const std::string_view headerText = lines.Next();
        const long headerLine = lines.LineNumber();
        ctx.SetLine(headerLine);
        if (IsBlankText(headerText))
            continue; // a blank line between sections holds nothing
        SplitViews(headerText, ',', fields);
        const std::string_view name = TrimView(fields.front());
        if (name == "FIN")
            return {lines.Position(), lines.LineNumber(), true};
        const long long count = SectionCount(fields, ctx);
        if (EndsWith(name, "E")) {
            for (long long k = 0; k < count; ++k)
                SectionLine(lines, ctx, k, count, headerLine);
            continue;
        }
        section.Chainage = RequireNumber(fields.front(), 1, "chainage", ctx);
        section.Points.clear();
        previous.clear();
        for (long long k = 0; k < count; ++k) {
            const std::string_view line = SectionLine(lines, ctx, k, count, headerLine);
            // An empty point line repeats the line before it.
            if (IsBlankText(line))
                point = previous;
            else
                SplitViews(line, ',', point);
            if (point.empty())
                continue; // nothing to repeat right after the header
            if (point.size() < 3)
                ctx.Reject(errSubscript,
                           "expected \"offset,height,code\", found \"" + Printable(line) + "\"");
            TrvPoint p;
            p.Offset = OptionalNumber(point[0], 1, "offset", ctx);
            p.Height = OptionalNumber(point[1], 2, "height", ctx);
            p.Code = FixedPointCode(point[2]);
            section.Points.push_back(std::move(p));
            previous.swap(point);
        }
        take(section);
    }
    return {lines.Position(), lines.LineNumber(), true};
}

// The layers of layer-name-form codes, in the order in which a run of
// sections first names them; each code's layer is worked out once.
struct LayerNames {
    std::vector<std::string> Names;
    std::unordered_map<std::string, std::size_t> Known; // code -> position in Names

    // The code's layer: its position in Names, where a name not met before
    // is appended.
    std::size_t Of(const std::string &code) {
        const auto known = Known.find(code);
        if (known != Known.end())
            return known->second;
        std::string name = LayerNameOfCode(code);
        const auto found = std::find(Names.begin(), Names.end(), name);
        const std::size_t layer = static_cast<std::size_t>(found - Names.begin());
        if (found == Names.end())
            Names.push_back(std::move(name));
        Known.emplace(code, layer);
        return layer;
    }
};

// The stations of one run of sections, made without the set (MakeStation).
// In the layer-name form their surfaces' layers are positions in Layers,
// which the run began with `Layers.Names` as given; in the point-code form
// the layers are the fixed ones.
struct SectionRun {
    std::vector<CrossSection> Stations;
    LayerNames Layers;
    SectionsEnd End;
    bool Read = false; // read to its end without a failure
    // The points of the section being read, by layer: reused from section to
    // section (FixedLists in the point-code form, Lists in the layer-name form).
    std::array<CrListPoints, 4> FixedLists;
    std::vector<CrListPoints> Lists;
};

// A byte at or after `from` where a section may begin: the start of the
// first line after it that reads "number,number". Only a guess: the run of
// sections before must end there for the guess to count.
std::size_t GuessSectionStart(std::string_view text, std::size_t from) {
    std::size_t lf = text.find('\n', from);
    while (lf != std::string_view::npos && lf + 1 < text.size()) {
        const std::size_t start = lf + 1;
        lf = text.find('\n', start);
        std::string_view line = text.substr(start, lf == std::string_view::npos ? lf : lf - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::size_t comma = line.find(',');
        if (comma != std::string_view::npos && line.find(',', comma + 1) == line.npos &&
            IsPlainNumber(line.substr(0, comma)) && IsPlainNumber(line.substr(comma + 1)))
            return start;
    }
    return std::string_view::npos;
}

// Text that a range of the listing holds at least: shorter ones cost more
// to start and join than they save.
constexpr std::size_t kMinRangeBytes = 64 * 1024;

// Reads the sections after the header (`lines` stands there) in ranges cut
// at guessed section starts, on up to `parts` threads, and gives back the
// runs that make up the listing, in order. A run counts only when the run
// before it ended exactly where it began; from the first one that does not
// (or that failed) on, the listing is read again in one run from where the
// last good run ended, with the true line numbers, so the result, and any
// failure, are those of a reading from start to end. `make(section, run)`
// adds the station of a section to a run.
template <class Make>
std::vector<SectionRun> ReadSectionRuns(std::string_view text, const ListingLines &lines,
                                        ListingContext &ctx, std::size_t parts, Make &&make) {
    std::vector<std::size_t> starts{lines.Position()};
    const std::size_t rest = text.size() - starts.front();
    // A few ranges a thread, so that one started late takes fewer of them.
    const std::size_t ranges = parts > 1 ? std::min(parts * 4, rest / kMinRangeBytes) : 1;
    for (std::size_t k = 1; k < ranges; ++k) {
        const std::size_t guess = GuessSectionStart(text, starts.front() + rest / ranges * k);
        if (guess == std::string_view::npos || guess <= starts.back())
            break;
        starts.push_back(guess);
    }
    std::vector<SectionRun> runs(starts.size());
    if (starts.size() > 1) {
        RunClaimed(starts.size(), parts, [&](std::size_t k) {
            SectionRun &run = runs[k];
            const std::size_t until =
                k + 1 < starts.size() ? starts[k + 1] : std::string_view::npos;
            // A range reports nothing: when it fails, the reading again from
            // its start meets the failure with its true line.
            ListingContext guessed(ctx.File(), nullptr);
            try {
                ListingLines from(text, starts[k], k == 0 ? lines.LineNumber() : 0);
                run.End = ReadSections(from, until, guessed,
                                       [&](const TrvSection &section) { make(section, run); });
                run.Read = true;
            } catch (...) {
                run.Read = false;
            }
        });
    }

    std::size_t kept = 0;
    while (
        kept < runs.size() && runs[kept].Read &&
        (kept == 0 || (!runs[kept - 1].End.Final && runs[kept - 1].End.Position == starts[kept]))) {
        if (kept > 0)
            runs[kept].End.Line += runs[kept - 1].End.Line;
        ++kept;
    }
    // A range that a final one came before is not part of the listing.
    if (kept > 0 && runs[kept - 1].End.Final) {
        runs.resize(kept);
        return runs;
    }
    runs.resize(kept);
    SectionRun &again = runs.emplace_back();
    ListingLines from = lines;
    if (kept > 0) {
        const SectionsEnd end = runs[kept - 1].End;
        from = ListingLines(text, end.Position, end.Line);
    }
    // It numbers the layers on from those named before it.
    for (std::size_t k = 0; k < kept; ++k)
        for (const std::string &name : runs[k].Layers.Names)
            if (std::find(again.Layers.Names.begin(), again.Layers.Names.end(), name) ==
                again.Layers.Names.end())
                again.Layers.Names.push_back(name);
    again.End = ReadSections(from, std::string_view::npos, ctx,
                             [&](const TrvSection &section) { make(section, again); });
    again.Read = true;
    return runs;
}

// The header lines; false (declined) when the text is no such listing.
bool ReadHeader(ListingLines &lines, ListingContext &ctx) {
    if (lines.AtEnd())
        return ctx.Decline("the file is empty; expected the header \"*TRV\"");
    const std::string_view first = lines.Next();
    ctx.SetLine(lines.LineNumber());
    if (first.substr(0, first.find(',')) != "*TRV")
        return ctx.Decline("expected the header \"*TRV\", found \"" + Printable(first) + "\"");
    lines.Next(); // the line after the header carries nothing we use
    return true;
}

// A listing that names no layer at all still has one.
void NameLayerless(std::vector<std::string> &names) {
    if (names.empty())
        names.push_back("Layer");
}

std::size_t StationCount(const std::vector<SectionRun> &runs) {
    std::size_t count = 0;
    for (const SectionRun &run : runs)
        count += run.Stations.size();
    return count;
}

} // namespace

std::vector<CrSecLayer> FixedCrLayers() {
    std::vector<CrSecLayer> layers;
    for (std::string_view name : kCrLayerNames)
        layers.push_back(CrSecLayer{std::string(name), {}});
    return layers;
}

bool ReadCrTrv(std::string_view text, CrossSectionSet &out, ListingContext &ctx,
               std::size_t parts) {
    out.Layers = FixedCrLayers();
    ListingLines lines(text);
    if (!ReadHeader(lines, ctx))
        return false;
    const auto make = [](const TrvSection &section, SectionRun &run) {
        std::array<CrListPoints, 4> &lists = run.FixedLists;
        for (CrListPoints &list : lists)
            list.clear();
        for (const TrvPoint &point : section.Points) {
            std::size_t layer = 0;
            while (layer < lists.size() && !IsCodeOfKind(static_cast<long>(layer), point.Code))
                ++layer;
            if (layer == lists.size())
                continue; // a code of no family belongs to no layer
            std::string code = point.Code;
            // Slope codes are kept under one letter unless they are wall codes.
            if (layer == 0 && code.front() != 'M' && code.front() != 'm')
                code.front() = 'T';
            CrListPoints &list = lists[layer];
            if (!list.empty() && list.back().Code == code && list.back().Offset == point.Offset &&
                list.back().Height == point.Height)
                continue;
            list.push_back(CrListPoint{point.Offset, point.Height, std::move(code)});
        }
        CrossSection station = MakeStation(section.Chainage, lists);
        if (!station.Surfaces.empty())
            run.Stations.push_back(std::move(station));
    };
    std::vector<SectionRun> runs = ReadSectionRuns(text, lines, ctx, parts, make);
    out.Stations.reserve(StationCount(runs));
    for (SectionRun &run : runs)
        for (CrossSection &station : run.Stations)
            AppendStation(out, std::move(station));
    return true;
}

bool ReadCrTrv2(std::string_view text, CrossSectionSet &out, ListingContext &ctx,
                std::size_t parts) {
    out.Layers.clear();
    ListingLines lines(text);
    if (!ReadHeader(lines, ctx))
        return false;
    // More layers than a surface can number are left to one run, which
    // numbers them as the whole listing does.
    constexpr std::size_t kRunLayers = 256;
    const auto make = [](const TrvSection &section, SectionRun &run) {
        std::vector<CrListPoints> &surfaces = run.Lists;
        for (CrListPoints &list : surfaces)
            list.clear();
        for (const TrvPoint &point : section.Points) {
            const std::size_t layer = run.Layers.Of(point.Code);
            if (surfaces.size() < run.Layers.Names.size())
                surfaces.resize(run.Layers.Names.size());
            surfaces[layer].push_back(CrListPoint{point.Offset, point.Height, {}});
        }
        CrossSection station = MakeStation(section.Chainage, surfaces);
        if (!station.Surfaces.empty())
            run.Stations.push_back(std::move(station));
    };
    std::vector<SectionRun> runs = ReadSectionRuns(text, lines, ctx, parts, make);
    if (std::any_of(runs.begin() + 1, runs.end(),
                    [](const SectionRun &run) { return run.Layers.Names.size() > kRunLayers; }))
        runs = ReadSectionRuns(text, lines, ctx, 1, make);

    // Each run's layers take their place in the listing's order of first
    // naming; the first run's (and one read again) are already in it.
    std::vector<std::string> names;
    out.Stations.reserve(StationCount(runs));
    for (SectionRun &run : runs) {
        std::vector<std::size_t> place(run.Layers.Names.size());
        for (std::size_t k = 0; k < place.size(); ++k) {
            const auto found = std::find(names.begin(), names.end(), run.Layers.Names[k]);
            place[k] = static_cast<std::size_t>(found - names.begin());
            if (found == names.end())
                names.push_back(run.Layers.Names[k]);
        }
        while (out.Layers.size() < names.size())
            out.Layers.push_back(CrSecLayer{names[out.Layers.size()], {}});
        bool renumber = false;
        for (std::size_t k = 0; k < place.size(); ++k)
            renumber = renumber || place[k] != k;
        for (CrossSection &station : run.Stations) {
            if (renumber) {
                std::vector<std::pair<std::size_t, CrSecSurface>> byLayer;
                byLayer.reserve(station.Surfaces.size());
                for (CrSecSurface &surface : station.Surfaces)
                    byLayer.emplace_back(place[surface.Layer], std::move(surface));
                std::sort(byLayer.begin(), byLayer.end(),
                          [](const auto &a, const auto &b) { return a.first < b.first; });
                for (std::size_t k = 0; k < byLayer.size(); ++k) {
                    station.Surfaces[k] = std::move(byLayer[k].second);
                    station.Surfaces[k].Layer = static_cast<std::uint8_t>(byLayer[k].first);
                }
            }
            AppendStation(out, std::move(station));
        }
    }
    NameLayerless(names);
    if (out.Layers.empty())
        out.Layers.push_back(CrSecLayer{names.front(), {}});
    return true;
}

} // namespace vialto
