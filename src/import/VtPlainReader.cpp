// The plain form of the vertical listing: a comma-separated vertex list,
// "chainage, value+letter, value+letter" a line after the header "*ALZ" or
// "*ALZ1", converted into progressive elements.
#include "import/VtReaders.h"

#include "geometry/VtVertexList.h"
#include "shell/Text.h"

#include <cmath>

namespace vialto {

namespace {

VtElement &At(VtAlignment &elements, long i) { return elements.at(static_cast<std::size_t>(i)); }

struct PlainVertex {
    long Line = 0;
    double Chainage = 0;
    double Value = 0;
    char Letter = 0;
    double Curve = 0;
    char CurveLetter = 0;
};

// Splits "745.320C" into its value and its letter.
void SplitLetter(std::string_view field, std::size_t index, std::string_view name,
                 ListingContext &ctx, double &value, char &letter) {
    const std::string trimmed = Trim(field);
    if (trimmed.size() < 2)
        ctx.Reject(errTypeMismatch, "field " + std::to_string(index) + " (" + std::string(name) +
                                        ") must be a number followed by its letter, found \"" +
                                        Printable(trimmed) + "\"");
    letter = trimmed.back();
    value =
        RequireNumber(std::string_view(trimmed).substr(0, trimmed.size() - 1), index, name, ctx);
}

} // namespace

bool ReadVtPlain(std::string_view text, VtAlignment &out, ListingContext &ctx) {
    ListingLines lines(text);
    std::string_view line;
    while (line.empty()) {
        if (lines.AtEnd())
            return ctx.Decline("no header; expected \"*ALZ\" or \"*ALZ1\"");
        line = lines.Next();
    }
    ctx.SetLine(lines.LineNumber());
    if (line != "*ALZ" && line != "*ALZ1")
        return ctx.Decline("expected the header \"*ALZ\" or \"*ALZ1\", found \"" + Printable(line) +
                           "\"");
    if (line == "*ALZ1")
        lines.Next(); // the line after the long header carries no data

    std::vector<PlainVertex> vertices;
    while (!lines.AtEnd()) {
        line = lines.Next();
        if (IsBlankText(line))
            continue;
        ctx.SetLine(lines.LineNumber());
        const std::vector<std::string> fields = SplitFields(line, ',', 3);
        if (fields.size() < 3)
            continue; // not a vertex line
        PlainVertex v;
        v.Line = lines.LineNumber();
        v.Chainage = RequireNumber(fields[0], 1, "chainage", ctx);
        SplitLetter(fields[1], 2, "height or grade", ctx, v.Value, v.Letter);
        if (v.Letter != 'C' && v.Letter != 'P')
            ctx.Reject(errTypeMismatch, std::string("the height letter must be C or P, found \"") +
                                            Printable(std::string(1, v.Letter)) + "\"");
        SplitLetter(fields[2], 3, "curve", ctx, v.Curve, v.CurveLetter);
        if (v.Curve != 0 && v.CurveLetter != 'T' && v.CurveLetter != 'F' && v.CurveLetter != 'R')
            ctx.Reject(errTypeMismatch,
                       std::string("the curve letter must be T, F or R, found \"") +
                           Printable(std::string(1, v.CurveLetter)) + "\"");
        vertices.push_back(v);
    }
    if (vertices.empty())
        return ctx.Decline("no vertex lines after the header");
    if (vertices.size() < 2) {
        ctx.SetLine(vertices.front().Line);
        ctx.Reject(errSubscript, "a vertical alignment needs at least two vertices");
    }

    const long n = static_cast<long>(vertices.size());
    VtAlignment v = MakeOneBased<VtElement>(n);
    // Heights: given ("C"), or from the previous vertex and a grade ("P"); a
    // grade on the first vertex has nothing to start from and leaves 0.
    for (long i = 1; i <= n; ++i) {
        const PlainVertex &row = vertices[static_cast<std::size_t>(i - 1)];
        VtElement &e = At(v, i);
        e.Number = i;
        e.Chainage = row.Chainage;
        if (row.Letter == 'C')
            e.Height = row.Value;
        else if (i >= 2)
            e.Height = At(v, i - 1).Height + row.Value / 100 * (e.Chainage - At(v, i - 1).Chainage);
    }
    const std::vector<double> grades = VertexGrades(v);
    for (long i = 1; i <= n; ++i)
        At(v, i).Grade = grades[static_cast<std::size_t>(i)];
    // Curves: the parameter from the tangent length, the external ordinate or
    // itself, signed by the change of grade (a falling grade is a crest).
    for (long i = 2; i <= n; ++i) {
        const PlainVertex &row = vertices[static_cast<std::size_t>(i - 1)];
        if (row.Curve == 0)
            continue;
        VtElement &e = At(v, i);
        const double delta = At(v, i - 1).Grade - e.Grade;
        double parameter = 0;
        if (row.CurveLetter == 'T')
            parameter = delta != 0 ? 2 * row.Curve / delta : 0.0;
        else if (row.CurveLetter == 'F')
            parameter = delta != 0 ? 8 * row.Curve / (delta * delta) : 0.0;
        else if (row.CurveLetter == 'R')
            parameter = row.Curve;
        parameter = std::fabs(parameter);
        if (delta > 0)
            parameter = -parameter;
        e.Parameter = parameter;
        e.Length = std::fabs(delta * parameter);
    }
    if (const long bad = FindCurveWithoutLength(v); bad != 0) {
        ConvertVerticalDataToAvanceData(v); // reports "Unknown vertical element"
        ctx.SetLine(vertices[static_cast<std::size_t>(bad - 1)].Line);
        return ctx.Decline("the vertex has a curve parameter but no curve (its grades in and "
                           "out are equal)");
    }
    if (!ConvertVerticalDataToAvanceData(v))
        return ctx.Decline("the vertices could not be converted to elements");
    out = std::move(v);
    return true;
}

} // namespace vialto
