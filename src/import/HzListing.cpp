#include "import/HzListing.h"

#include "geometry/HzGeometry.h"
#include "shell/AppModel.h"
#include "shell/ErrHandler.h"
#include "shell/Text.h"

#include <cmath>
#include <filesystem>

namespace vialto {

namespace {

constexpr std::string_view kSource = "ImportHzAligment";
constexpr std::string_view kWhat = "horizontal alignment listing";

// A row of the plain form as listed: the azimuth still in gon.
struct PlainRow {
    double Chainage = 0;
    double X = 0;
    double Y = 0;
    double AzimuthGon = 0;
    double Radius = 0;
    double Parameter = 0;
};

PlainRow ParsePlainRow(std::string_view line, ListingContext &ctx) {
    static constexpr const char *kNames[] = {"chainage", "X",      "Y",
                                             "azimuth",  "radius", "parameter"};
    const std::vector<std::string> fields = SplitFields(line, ',', 6);
    if (fields.size() < 6)
        ctx.Reject(errSubscript, "expected six numbers separated by commas (chainage, X, Y, "
                                 "azimuth, radius, parameter), found " +
                                     std::to_string(fields.size()) + " field(s)");
    double values[6];
    for (std::size_t i = 0; i < 6; ++i)
        values[i] = RequireNumber(fields[i], i + 1, kNames[i], ctx);
    return {values[0], values[1], values[2], values[3], values[4], values[5]};
}

// The length an element gets from the chainages of its two rows: none when
// the rows run backwards or the radius is the "derived" marker.
double RowLength(double from, double to, double radius) {
    const double length = to - from;
    return length < 0 || radius == kRadiusMarker ? 0.0 : length;
}

bool ReadPlain(std::string_view text, HzAlignment &out, ListingContext &ctx) {
    ListingLines lines(text);
    std::string_view line;
    while (line.empty()) {
        if (lines.AtEnd())
            return ctx.Decline(lines.LineNumber() == 0
                                   ? "the file is empty; expected the header \"*PLT\""
                                   : "the file holds only blank lines; expected the header "
                                     "\"*PLT\"");
        line = lines.Next();
    }
    ctx.SetLine(lines.LineNumber());
    if (line != "*PLT" && line != "*PLT1")
        return ctx.Decline("expected the header \"*PLT\" or \"*PLT1\", found \"" + Printable(line) +
                           "\"");
    if (line == "*PLT1")
        lines.Next(); // the line after the long header carries no data
    if (lines.AtEnd())
        return ctx.Decline("no data lines after the header");

    // Every line but the last is a row that starts an element; the last one
    // (or, when the file ends in blank lines, the last row read) ends the
    // alignment.
    std::vector<PlainRow> rows;
    std::string_view current = lines.Next();
    long currentLine = lines.LineNumber();
    while (!lines.AtEnd()) {
        ctx.SetLine(currentLine);
        rows.push_back(ParsePlainRow(current, ctx));
        do {
            current = lines.Next();
        } while (IsBlankText(current) && !lines.AtEnd());
        currentLine = lines.LineNumber();
    }
    PlainRow end;
    if (!IsBlankText(current)) {
        ctx.SetLine(currentLine);
        end = ParsePlainRow(current, ctx);
    } else if (!rows.empty()) {
        end = rows.back();
        rows.pop_back();
    }
    if (rows.empty())
        return ctx.Decline("an alignment needs at least two data lines (its start and its end)");

    // Raw elements: row k starts element k; the radius and parameter of the
    // row where an element ends are its own. The end row becomes the end marker.
    const long n = static_cast<long>(rows.size());
    HzAlignment raw = MakeOneBased<HzElement>(n + 1);
    for (long k = 1; k <= n + 1; ++k) {
        const PlainRow &row = k <= n ? rows[static_cast<std::size_t>(k - 1)] : end;
        const PlainRow &next = k < n ? rows[static_cast<std::size_t>(k)] : end;
        HzElement &e = raw[static_cast<std::size_t>(k)];
        e.Number = k;
        e.Chainage = row.Chainage;
        e.X = row.X;
        e.Y = row.Y;
        e.Azimuth = row.AzimuthGon * kGonToRadians;
        if (k <= n) {
            e.Radius = next.Radius;
            e.Parameter = next.Parameter;
            e.Length = RowLength(row.Chainage, next.Chainage, e.Radius);
        } else {
            e.Radius = end.Radius;
        }
    }

    // Compaction: zero-length elements vanish (the end marker stays); a
    // transition stores the radius the geometry expects of it.
    HzAlignment result = MakeOneBased<HzElement>(0);
    const long count = n + 1;
    for (long i = 1; i <= count; ++i) {
        HzElement e = raw[static_cast<std::size_t>(i)];
        if (e.Length < 0.0001 && i != count)
            continue;
        if (e.Parameter != 0) {
            const double before = i > 1 ? raw[static_cast<std::size_t>(i - 1)].Radius : 0.0;
            const double azOut = raw[static_cast<std::size_t>(i + 1)].Azimuth;
            e.Radius = SpiralRadius(e.Azimuth, azOut, before, e.Radius, e.Parameter);
        }
        e.Number = ElementCount(result) + 1;
        result.push_back(e);
    }
    out = std::move(result);
    return true;
}

// A row of the report table as listed.
struct ReportRow {
    long Line = 0;
    double Chainage = 0;
    double Length = 0;
    double X = 0;
    double Y = 0;
    double AzimuthGon = 0;
    double Radius = 0;
    double Parameter = 0;
};

// A row of the report table that lacks the chainage cell's notation but
// carries coordinates: a data row whose chainage is unreadable, not a title.
bool HasCoordinates(const std::vector<std::string> &cells) {
    return cells.size() >= 7 && StartsWithNumber(cells[2]) && StartsWithNumber(cells[3]);
}

bool ReadReport(std::string_view text, HzAlignment &out, ListingContext &ctx) {
    ctx.UseReportRows();
    std::vector<ReportRow> rows;
    ReportRows table(text, 15);
    std::vector<std::string> cells;
    while (table.Next(cells)) {
        ctx.SetLine(table.Row());
        // Titles, headings (wherever they repeat), notes and footers are text
        // outside the table; a row that holds data is read or refused, never
        // skipped.
        if (Trim(cells[0]) == "Estación")
            continue;
        if (!IsNumericText(cells[0])) {
            if (HasCoordinates(cells))
                ctx.Reject(errTypeMismatch, "cell 1 (chainage) is not a chainage: \"" +
                                                Printable(Trim(cells[0])) + "\"");
            continue;
        }
        if (cells.size() <= 6)
            ctx.Reject(errSubscript,
                       "the row has " + std::to_string(cells.size()) +
                           " cell(s); a row of the table has seven (chainage, length, X, Y, "
                           "azimuth, radius, parameter)");
        if (ToUpper(Trim(cells[5])) == "INFINITO")
            cells[5] = "0";
        ReportRow row;
        row.Line = table.Row();
        row.Chainage = ParseChainage(cells[0]);
        // The first row's length closes no element: it may be left empty.
        row.Length = CellNumber(cells, 2, "length", ctx, rows.empty());
        row.X = CellNumber(cells, 3, "X", ctx);
        row.Y = CellNumber(cells, 4, "Y", ctx);
        row.AzimuthGon = CellNumber(cells, 5, "azimuth", ctx);
        // 8 or 10 cells: radius and parameter; 9: radius only; other counts
        // are tables without them. An empty radius or parameter is none.
        const std::size_t n = cells.size();
        if (n == 8 || n == 9 || n == 10)
            row.Radius = CellNumber(cells, 6, "radius", ctx, true);
        if (n == 8 || n == 10)
            row.Parameter = CellNumber(cells, 7, "parameter", ctx, true);
        rows.push_back(row);
    }
    ctx.SetLine(0);
    if (rows.empty())
        return ctx.Decline("no table row of chainage, length, X, Y, azimuth, radius and "
                           "parameter was found");
    if (rows.size() < 2) {
        ctx.SetLine(rows.front().Line);
        ctx.Reject(errSubscript, "the report lists one row; an alignment needs at least two (its "
                                 "start and its end)");
    }

    // A row carries the length, radius and parameter of the element that ends
    // there: element i takes them from row i + 1. The last row is the end
    // point of the alignment and becomes the end marker.
    const long n = static_cast<long>(rows.size());
    HzAlignment result = MakeOneBased<HzElement>(n);
    for (long i = 1; i <= n; ++i) {
        const ReportRow &row = rows[static_cast<std::size_t>(i - 1)];
        HzElement &e = result[static_cast<std::size_t>(i)];
        e.Number = i;
        e.Chainage = row.Chainage;
        e.X = row.X;
        e.Y = row.Y;
        e.Azimuth = row.AzimuthGon * kGonToRadians;
        if (i == n) {
            e.Radius = row.Radius;
            continue; // the end marker: length 0, parameter 0
        }
        const ReportRow &next = rows[static_cast<std::size_t>(i)];
        e.Length = next.Length;
        if (next.Radius == 0 && next.Parameter == 0)
            continue; // a line
        if (next.Parameter != 0) {
            e.Parameter = std::fabs(next.Parameter);
            e.Radius = SpiralRadius(e.Azimuth, next.AzimuthGon * kGonToRadians, row.Radius,
                                    next.Radius, e.Parameter);
        } else {
            e.Radius = next.Radius;
        }
    }
    out = std::move(result);
    return true;
}

bool ReadRtf(std::string_view rtf, HzAlignment &out, ListingContext &ctx) {
    return ReadReport(RtfReportText(rtf, ctx), out, ctx);
}

} // namespace

bool ReadHzPlainListing(std::string_view text, HzAlignment &elements, ListingFailure *failure,
                        std::string_view file) {
    return ReadListingText(kSource, kWhat, text, elements, failure, file, ReadPlain);
}

bool ReadHzRtfListing(std::string_view rtf, HzAlignment &elements, ListingFailure *failure,
                      std::string_view file) {
    return ReadListingText(kSource, kWhat, rtf, elements, failure, file, ReadRtf);
}

bool ReadHzReportText(std::string_view text, HzAlignment &elements, ListingFailure *failure,
                      std::string_view file) {
    return ReadListingText(kSource, kWhat, text, elements, failure, file, ReadReport);
}

bool ImportHzAligment(HzAlignment &elements, StationEquations &equations, std::string &name,
                      const std::string &path, ListingFailure *failure) {
    Trace(">> ImportHzAligment");
    name = ListingName(path);
    equations.clear();
    const bool ok = ImportListingFile(kSource, kWhat, elements, path, failure, ReadRtf, ReadPlain);
    Trace("<< ImportHzAligment");
    return ok;
}

long GetLinearUnitsDefault(const std::string & /*path*/, int /*fileType*/) { return 0; }

} // namespace vialto
