// The two report forms of the vertical listing: the printed report (a text
// file of printed pages) and the plain text of the RTF report (a table of
// three rows per vertex). Both find their data by its content, not by its
// place: page headers, titles, column headings (wherever they repeat), notes
// and footers are text outside the table and are passed over.
#include "import/VtReaders.h"

#include "geometry/VtGeometry.h"
#include "shell/Text.h"

#include <cmath>

namespace vialto {

namespace {

// Chainages of one report agree when they differ by less than the listed
// resolution (a millimetre).
constexpr double kSameChainage = 0.0005;

// The words of a printed line are its fields.
constexpr std::string_view kField = "field";

void Append(VtAlignment &elements, VtElement e) {
    e.Number = ElementCount(elements) + 1;
    elements.push_back(e);
}

bool IsDigits(std::string_view text) {
    if (text.empty())
        return false;
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// ---- Printed report ----

// The runs of characters other than blank and ",".
std::vector<std::string> PrintedFields(std::string_view line) {
    std::vector<std::string> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == ','))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != ',')
            ++i;
        if (i > start)
            fields.emplace_back(line.substr(start, i - start));
    }
    return fields;
}

// A group's first line: its number, then the chainage where its grade starts,
// the height there and the grade ("  1  12+340.000  745.320  1.2500  RASANTE").
bool IsGradeLine(const std::vector<std::string> &f) {
    return f.size() >= 2 && IsDigits(f[0]) && IsNumericText(f[1]);
}

// A group's last line: a word, the group's number, then the chainage where
// the grade ends and the curve starts, the height, the grade, the curve
// length and its parameter ("  TE  1  12+717.000  750.033  1.2500  366.000
// -12000.000").
bool IsCurveLine(const std::vector<std::string> &f) {
    return f.size() >= 3 && !StartsWithNumber(f[0]) && IsDigits(f[1]) && IsNumericText(f[2]);
}

// One group of the printed report: a grade from its first line to the curve
// its last line starts.
struct PrintedGroup {
    long Line = 0;
    double Chainage = 0; // where the group's grade starts
    double Height = 0;
    double Grade = 0;       // fraction
    double EndChainage = 0; // where the grade ends and the curve starts
    double EndHeight = 0;
    double EndGrade = 0;
    double Parameter = 0;
};

} // namespace

bool ReadVtPrinted(std::string_view text, VtAlignment &out, ListingContext &ctx) {
    ListingLines lines(text);
    std::vector<PrintedGroup> groups;
    bool open = false; // a group's first line has been read, its last not yet
    while (!lines.AtEnd()) {
        const std::string_view line = lines.Next();
        std::vector<std::string> f = PrintedFields(line);
        if (!f.empty() && !f[0].empty() && f[0][0] == '\f')
            f[0].erase(0, 1); // a form feed that starts a page
        const bool gradeLine = IsGradeLine(f);
        const bool curveLine = !gradeLine && IsCurveLine(f);
        if (!gradeLine && !curveLine)
            continue; // titles, page headers, column headings, lengths, notes
        ctx.SetLine(lines.LineNumber());
        if (gradeLine) {
            if (open) {
                ctx.SetLine(groups.back().Line);
                ctx.Reject(errSubscript, "the group has no curve line (\"TE\") after it");
            }
            PrintedGroup group;
            group.Line = lines.LineNumber();
            group.Chainage = CellChainage(f, 2, "chainage", ctx, kField);
            group.Height = CellNumber(f, 3, "height", ctx, false, kField);
            group.Grade = CellNumber(f, 4, "grade", ctx, false, kField) / 100;
            groups.push_back(group);
            open = true;
            continue;
        }
        if (!open)
            ctx.Reject(errSubscript, "a curve line without the group line before it");
        PrintedGroup &group = groups.back();
        group.EndChainage = CellChainage(f, 3, "chainage", ctx, kField);
        group.EndHeight = CellNumber(f, 4, "height", ctx, false, kField);
        group.EndGrade = CellNumber(f, 5, "grade", ctx, false, kField) / 100;
        group.Parameter = CellNumber(f, 7, "curve parameter", ctx, false, kField);
        if (group.EndChainage < group.Chainage - kSameChainage)
            ctx.Reject(errInvalidCall, "the group ends before it starts");
        open = false;
    }
    if (open) {
        ctx.SetLine(groups.back().Line);
        ctx.Reject(errSubscript, "the group has no curve line (\"TE\") after it");
    }
    if (groups.empty()) {
        ctx.SetLine(0);
        return ctx.Decline("no group of a printed vertical alignment report (a line of number, "
                           "chainage, height and grade, then its curve line) was found; "
                           "expected that report or the header \"*ALZ\"");
    }

    // Each group gives the grade from its first line and, from its second
    // group on, the curve that the group before it started.
    VtAlignment result = MakeOneBased<VtElement>(0);
    for (std::size_t k = 0; k < groups.size(); ++k) {
        const PrintedGroup &group = groups[k];
        if (k > 0) {
            const PrintedGroup &previous = groups[k - 1];
            if (group.Chainage < previous.EndChainage - kSameChainage) {
                ctx.SetLine(group.Line);
                ctx.Reject(errInvalidCall, "the group starts before the curve of the group "
                                           "before it has started");
            }
            VtElement curve;
            curve.Chainage = previous.EndChainage;
            curve.Height = previous.EndHeight;
            curve.Grade = previous.EndGrade;
            curve.Parameter = previous.Parameter;
            curve.Length = group.Chainage - previous.EndChainage;
            Append(result, curve);
        }
        VtElement straight;
        straight.Chainage = group.Chainage;
        straight.Height = group.Height;
        straight.Grade = group.Grade;
        straight.Length = group.EndChainage - group.Chainage;
        Append(result, straight);
    }
    const VtElement last = result.back();
    VtElement end;
    end.Chainage = last.Chainage + last.Length;
    end.Height = GetHeightInVtElement(last, last.Length);
    Append(result, end);
    out = std::move(result);
    return true;
}

namespace {

// ---- RTF report ----

// The two rows of a vertex block that carry its data: row 0 names the vertex,
// its chainage and where its curve starts (chainage, height, grade in, curve
// length, Kv); row 1 holds the vertex's height and where the curve ends
// (chainage, height, grade out). The block's third row is not needed.
struct VertexBlock {
    long Row0 = 0;
    long Row1 = 0;
    std::vector<std::string> R0;
    std::vector<std::string> R1;
};

// A row of the vertex table that carries data: a chainage in cell 2 or 3.
// Titles, headings (wherever they repeat), the blocks' third rows, notes and
// footers have none.
bool IsVertexDataRow(const std::vector<std::string> &cells) {
    return cells.size() >= 3 && (IsNumericText(cells[1]) || IsNumericText(cells[2]));
}

std::vector<VertexBlock> FindVertexBlocks(std::string_view text, ListingContext &ctx) {
    std::vector<VertexBlock> blocks;
    bool open = false; // row 0 of the last block is read, its row 1 not yet
    ReportRows rows(text, 10);
    std::vector<std::string> cells;
    while (rows.Next(cells)) {
        if (!IsVertexDataRow(cells))
            continue;
        const long row = rows.Row();
        ctx.SetLine(row);
        if (!open) {
            blocks.push_back(VertexBlock{row, 0, cells, {}});
            open = true;
            continue;
        }
        // Row 1 leaves the vertex's cell empty: a named row here means that
        // the block before lost its second row.
        if (!IsBlankText(cells[0]))
            ctx.Reject(errSubscript, "expected the second row of the vertex in row " +
                                         std::to_string(blocks.back().Row0) +
                                         " (its first cell empty), found the vertex \"" +
                                         Printable(Trim(cells[0])) + "\"");
        blocks.back().Row1 = row;
        blocks.back().R1 = cells;
        open = false;
    }
    if (open) {
        ctx.SetLine(blocks.back().Row0);
        ctx.Reject(errSubscript, "the vertex block is cut short: its second row is missing");
    }
    return blocks;
}

} // namespace

bool ReadVtReport(std::string_view text, VtAlignment &out, ListingContext &ctx) {
    ctx.UseReportRows();
    const std::vector<VertexBlock> blocks = FindVertexBlocks(text, ctx);
    if (blocks.empty()) {
        ctx.SetLine(0);
        return ctx.Decline("no vertex block (a row of the vertex's chainages followed by its "
                           "second row) was found");
    }

    VtAlignment result = MakeOneBased<VtElement>(0);
    double curveEndHeight = 0; // listed height at the end of the last curve
    double lastVertex = 0;     // chainage of the vertex read last
    for (const VertexBlock &block : blocks) {
        const std::vector<std::string> &r0 = block.R0;
        const std::vector<std::string> &r1 = block.R1;
        if (ElementCount(result) == 0) {
            VtElement start;
            ctx.SetLine(block.Row0);
            start.Chainage = lastVertex = CellChainage(r0, 2, "vertex chainage", ctx);
            ctx.SetLine(block.Row1);
            start.Height = CellNumber(r1, 4, "height", ctx);
            start.Grade = CellNumber(r1, 5, "grade", ctx) / 100;
            Append(result, start);
            continue;
        }
        ctx.SetLine(block.Row0);
        const double vertex = CellChainage(r0, 2, "vertex chainage", ctx);
        const double curveStart = CellChainage(r0, 3, "chainage", ctx);
        const double heightAtStart = CellNumber(r0, 4, "height", ctx);
        const double gradeIn = CellNumber(r0, 5, "grade", ctx) / 100;
        const double kv = CellNumber(r0, 7, "Kv", ctx, true);
        if (vertex <= lastVertex)
            ctx.Reject(errInvalidCall, "the vertex does not follow the one before it in chainage");
        lastVertex = vertex;
        ctx.SetLine(block.Row1);
        const double curveEnd = CellChainage(r1, 3, "chainage", ctx);
        const double heightAtEnd = CellNumber(r1, 4, "height", ctx);
        const double gradeOut = CellNumber(r1, 5, "grade", ctx) / 100;
        if (vertex < curveStart - kSameChainage || vertex > curveEnd + kSameChainage)
            ctx.Reject(errInvalidCall, "the vertex's chainage lies outside its curve");

        // Closes the element appended last so that it runs to `to`: a straight
        // runs on; after a curve a straight is appended from the curve's end.
        auto runTo = [&](double to) {
            VtElement &lastElement = result.back();
            if (lastElement.Parameter == 0) {
                lastElement.Length = to - lastElement.Chainage;
                return;
            }
            VtElement straight;
            straight.Chainage = lastElement.Chainage + lastElement.Length;
            straight.Height = curveEndHeight;
            straight.Grade = gradeIn;
            straight.Length = to - straight.Chainage;
            Append(result, straight);
        };
        runTo(curveStart);
        VtElement element;
        element.Chainage = curveStart;
        element.Height = heightAtStart;
        if (kv != 0) {
            element.Grade = gradeIn;
            element.Length = curveEnd - curveStart;
            // Kv is listed in metres or in thousands of metres: the one that
            // reaches the listed height at the curve's end is meant.
            VtElement asListed = element;
            asListed.Parameter = kv;
            VtElement scaled = element;
            scaled.Parameter = kv * 1000;
            const double missListed =
                std::fabs(GetHeightInVtElement(asListed, element.Length) - heightAtEnd);
            const double missScaled =
                std::fabs(GetHeightInVtElement(scaled, element.Length) - heightAtEnd);
            element.Parameter = missListed < missScaled ? asListed.Parameter : scaled.Parameter;
            curveEndHeight = heightAtEnd;
        } else {
            element.Grade = gradeOut;
        }
        Append(result, element);
    }
    if (blocks.size() < 2) {
        ctx.SetLine(blocks.front().Row0);
        ctx.Reject(errSubscript, "the report lists one vertex; a vertical alignment needs at "
                                 "least two");
    }
    out = std::move(result);
    return true;
}

} // namespace vialto
