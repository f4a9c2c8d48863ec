#include "import/VtListing.h"

#include "geometry/VtGeometry.h"
#include "shell/AppModel.h"
#include "shell/ErrHandler.h"
#include "shell/Text.h"

#include <cmath>

namespace vialto {

namespace {

constexpr std::string_view kSource = "ImportVtAligment";

VtElement &At(VtAlignment &elements, long i) { return elements.at(static_cast<std::size_t>(i)); }
const VtElement &At(const VtAlignment &elements, long i) {
    return elements.at(static_cast<std::size_t>(i));
}

// ---- Progressive conversion ----

// Grade from each vertex to the next (0 between equal chainages); the last
// vertex keeps the one before.
std::vector<double> VertexGrades(const VtAlignment &v) {
    const long n = ElementCount(v);
    std::vector<double> grades(static_cast<std::size_t>(n) + 1, 0.0);
    for (long i = 1; i < n; ++i) {
        const double dL = At(v, i + 1).Chainage - At(v, i).Chainage;
        grades[static_cast<std::size_t>(i)] =
            dL != 0 ? (At(v, i + 1).Height - At(v, i).Height) / dL : 0.0;
    }
    if (n >= 2)
        grades[static_cast<std::size_t>(n)] = grades[static_cast<std::size_t>(n - 1)];
    return grades;
}

// The first vertex (before the last) with a curve parameter but no curve; 0
// when there is none.
long FindUnknownVertex(const VtAlignment &v) {
    for (long i = 1; i < ElementCount(v); ++i)
        if (At(v, i).Parameter != 0 && At(v, i).Length == 0)
            return i;
    return 0;
}

VtAlignment ConvertVertices(VtAlignment v) {
    const long n = ElementCount(v);
    const std::vector<double> grades = VertexGrades(v);
    for (long i = 1; i <= n; ++i)
        At(v, i).Grade = grades[static_cast<std::size_t>(i)];
    if (n < 2)
        return v;

    // Each curved vertex moves back to the start of its parabola (half its
    // length before the vertex, on the incoming grade); a straight runs to the
    // next vertex or to the start of the next vertex's curve.
    for (long i = 1; i < n; ++i) {
        VtElement &e = At(v, i);
        const double gradeIn = grades[static_cast<std::size_t>(i - 1)];
        const double half = e.Length * 0.5;
        if (e.Parameter != 0 && e.Length > 0) {
            e.Chainage -= half;
            e.Height -= half * gradeIn;
            e.Grade = gradeIn;
        } else if (e.Parameter != 0) {
            RaiseError(errUnknownVtElement, "Unknown vertical element");
        } else {
            const VtElement &next = At(v, i + 1);
            const double nextHalf = next.Parameter != 0 ? next.Length * 0.5 : 0.0;
            e.Length = next.Chainage - nextHalf - e.Chainage;
        }
    }

    // Keep every element with a length, and the last; a straight closes any gap
    // between a curve's end and the next element.
    VtAlignment out = MakeOneBased<VtElement>(0);
    for (long i = 1; i <= n; ++i) {
        const VtElement &e = At(v, i);
        if (std::fabs(e.Length) <= 0.001 && i != n)
            continue;
        out.push_back(e);
        out.back().Number = ElementCount(out);
        if (i == n)
            break;
        const VtElement &next = At(v, i + 1);
        const double end = e.Chainage + std::fabs(e.Length);
        const double gap = next.Chainage - end;
        if (gap > 0.001) {
            VtElement straight;
            straight.Chainage = end;
            straight.Height = GetHeightInVtElement(e, std::fabs(e.Length));
            straight.Grade = (next.Height - straight.Height) / gap;
            straight.Length = gap;
            out.push_back(straight);
            out.back().Number = ElementCount(out);
        }
    }
    return out;
}

// ---- Plain form ----

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

bool ReadPlain(std::string_view text, VtAlignment &out, ListingContext &ctx) {
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
    if (const long bad = FindUnknownVertex(v); bad != 0) {
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

// ---- Printed report ----

// The runs of characters other than blank and ",".
std::vector<std::string_view> PrintedFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == ','))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != ',')
            ++i;
        if (i > start)
            fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

bool FirstWordIsRule(std::string_view line) {
    const std::size_t start = line.find_first_not_of(" \t");
    return start != std::string_view::npos && line.substr(start, 2) == "==";
}

// Nothing but blanks and printer control characters.
bool IsBlankLine(std::string_view line) {
    for (const char c : line)
        if (static_cast<unsigned char>(c) > ' ')
            return false;
    return true;
}

std::string_view Field(const std::vector<std::string_view> &fields, std::size_t index,
                       std::string_view name, ListingContext &ctx) {
    if (fields.size() < index)
        ctx.Reject(errSubscript, "expected at least " + std::to_string(index) +
                                     " fields, the last the " + std::string(name) + "; found " +
                                     std::to_string(fields.size()));
    return fields[index - 1];
}

double ChainageField(const std::vector<std::string_view> &fields, std::size_t index,
                     ListingContext &ctx) {
    const std::string_view text = Field(fields, index, "chainage", ctx);
    if (!IsNumericText(text))
        ctx.Reject(errTypeMismatch, "field " + std::to_string(index) +
                                        " (chainage) is not a chainage: \"" + Printable(text) +
                                        "\"");
    return ParseChainage(text);
}

double NumberField(const std::vector<std::string_view> &fields, std::size_t index,
                   std::string_view name, ListingContext &ctx) {
    return RequireNumber(Field(fields, index, name, ctx), index, name, ctx);
}

struct PrintedGroup {
    double Chainage = 0; // slot 1: where the group's grade starts
    double Height = 0;
    double Grade = 0;       // fraction
    double EndChainage = 0; // slot 3: where the grade ends and the curve starts
    double EndHeight = 0;
    double EndGrade = 0;
    double Parameter = 0;
};

bool ReadPrinted(std::string_view text, VtAlignment &out, ListingContext &ctx) {
    ListingLines lines(text);
    for (;;) {
        if (lines.AtEnd())
            return ctx.Decline("no rule line (beginning with \"==\") was found; expected the "
                               "printed vertical alignment report or the header \"*ALZ\"");
        if (FirstWordIsRule(lines.Next()))
            break;
    }
    lines.Next(); // the column titles below the rule
    lines.Next();

    VtAlignment result = MakeOneBased<VtElement>(0);
    auto append = [&](VtElement e) {
        e.Number = ElementCount(result) + 1;
        result.push_back(e);
    };
    bool first = true;
    PrintedGroup previous;
    bool last = false;
    while (!last) {
        std::string_view slot[3];
        long slotLine[3] = {0, 0, 0};
        for (int s = 0; s < 3; ++s) {
            if (!lines.AtEnd()) {
                slot[s] = lines.Next();
                slotLine[s] = lines.LineNumber();
            }
        }
        if (slot[2].substr(0, 1) == "\f" || lines.AtEnd()) {
            if (lines.AtEnd()) {
                last = true;
            } else {
                // A page break: the group's third line follows the next page's header.
                for (;;) {
                    if (lines.AtEnd()) {
                        ctx.SetLine(lines.LineNumber());
                        ctx.Reject(errSubscript, "the page header after a form feed has no "
                                                 "rule line (\"==\")");
                    }
                    if (FirstWordIsRule(lines.Next()))
                        break;
                }
                for (int k = 0; k < 2 && !lines.AtEnd(); ++k) {
                    slot[2] = lines.Next();
                    slotLine[2] = lines.LineNumber();
                }
                if (slot[2].substr(0, 2) == "\f\x1b")
                    last = true;
                if (lines.AtEnd())
                    last = true;
            }
        }
        if (IsBlankLine(slot[0]) && (last || lines.AtEnd()))
            break; // blank lines or a closing form feed after the last group

        PrintedGroup group;
        ctx.SetLine(slotLine[0]);
        const std::vector<std::string_view> f1 = PrintedFields(slot[0]);
        group.Chainage = ChainageField(f1, 2, ctx);
        group.Height = NumberField(f1, 3, "height", ctx);
        group.Grade = NumberField(f1, 4, "grade", ctx) / 100;
        ctx.SetLine(slotLine[2] != 0 ? slotLine[2] : lines.LineNumber() + 1);
        const std::vector<std::string_view> f3 = PrintedFields(slot[2]);
        group.EndChainage = ChainageField(f3, 3, ctx);
        group.EndHeight = NumberField(f3, 4, "height", ctx);
        group.EndGrade = NumberField(f3, 5, "grade", ctx) / 100;
        group.Parameter = NumberField(f3, 7, "curve parameter", ctx);

        if (!first) {
            VtElement curve;
            curve.Chainage = previous.EndChainage;
            curve.Height = previous.EndHeight;
            curve.Grade = previous.EndGrade;
            curve.Parameter = previous.Parameter;
            curve.Length = group.Chainage - previous.EndChainage;
            append(curve);
        }
        VtElement straight;
        straight.Chainage = group.Chainage;
        straight.Height = group.Height;
        straight.Grade = group.Grade;
        straight.Length = group.EndChainage - group.Chainage;
        append(straight);
        previous = group;
        first = false;
    }
    if (ElementCount(result) == 0) {
        ctx.SetLine(lines.LineNumber());
        return ctx.Decline("the report lists no vertex below its header");
    }
    const VtElement &lastElement = result.back();
    VtElement end;
    end.Chainage = lastElement.Chainage + lastElement.Length;
    end.Height = GetHeightInVtElement(lastElement, lastElement.Length);
    append(end);
    out = std::move(result);
    return true;
}

// ---- RTF report ----

using ReportRow = std::vector<std::string>; // cells 1..7 at 0..6, "0" when missing

ReportRow ReportCells(const std::string &line) {
    std::vector<std::string> cells = SplitCells(line, 10);
    for (std::string &cell : cells)
        NormalizeDecimal(cell);
    cells.resize(7, "0");
    return cells;
}

double ReportChainage(const ReportRow &row, std::size_t cell, ListingContext &ctx) {
    const std::string &text = row[cell - 1];
    if (!IsNumericText(text))
        ctx.Reject(errTypeMismatch, "cell " + std::to_string(cell) +
                                        " (chainage) is not a chainage: \"" +
                                        Printable(Trim(text)) + "\"");
    return ParseChainage(text);
}

double ReportNumber(const ReportRow &row, std::size_t cell, std::string_view name,
                    ListingContext &ctx) {
    return RequireNumber(row[cell - 1], cell, name, ctx);
}

bool ReadReport(std::string_view text, VtAlignment &out, ListingContext &ctx) {
    std::size_t position = 1;
    bool atEnd = false;
    long rowNumber = 0;
    auto nextRow = [&](std::string &line) {
        line = NextTextLine(text, position, atEnd);
        if (!atEnd)
            ++rowNumber;
        return !atEnd;
    };
    std::string line;
    nextRow(line); // the title rows
    nextRow(line);

    VtAlignment result = MakeOneBased<VtElement>(0);
    auto append = [&](VtElement e) {
        e.Number = ElementCount(result) + 1;
        result.push_back(e);
    };
    double curveEndHeight = 0; // listed height at the end of the last curve
    while (!atEnd) {
        if (!nextRow(line))
            break;
        if (IsBlankLine(ReplaceAll(line, "\t", "")))
            break; // the table has ended
        const long row0Line = rowNumber;
        const ReportRow r0 = ReportCells(line);
        if (!nextRow(line)) {
            ctx.SetLine(row0Line);
            ctx.Reject(errSubscript, "the vertex block is cut short: its second row is missing");
        }
        const long row1Line = rowNumber;
        const ReportRow r1 = ReportCells(line);
        nextRow(line); // the block's third row carries nothing needed here

        if (ElementCount(result) == 0) {
            VtElement start;
            ctx.SetLine(row0Line);
            start.Chainage = ReportChainage(r0, 2, ctx);
            ctx.SetLine(row1Line);
            start.Height = ReportNumber(r1, 4, "height", ctx);
            start.Grade = ReportNumber(r1, 5, "grade", ctx) / 100;
            append(start);
            continue;
        }
        ctx.SetLine(row0Line);
        const double kv = OptionalNumber(r0[6], 7, "curve parameter", ctx);
        const double curveStart = ReportChainage(r0, 3, ctx);
        const double heightAtStart = ReportNumber(r0, 4, "height", ctx);
        const double gradeIn = ReportNumber(r0, 5, "grade", ctx) / 100;
        ctx.SetLine(row1Line);
        const double curveEnd = ReportChainage(r1, 3, ctx);
        const double heightAtEnd = ReportNumber(r1, 4, "height", ctx);
        const double gradeOut = ReportNumber(r1, 5, "grade", ctx) / 100;

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
            append(straight);
        };
        runTo(curveStart);
        VtElement vertex;
        vertex.Chainage = curveStart;
        vertex.Height = heightAtStart;
        if (kv != 0) {
            vertex.Grade = gradeIn;
            vertex.Length = curveEnd - curveStart;
            // Kv is listed in metres or in thousands of metres: the one that
            // reaches the listed height at the curve's end is meant.
            VtElement asListed = vertex;
            asListed.Parameter = kv;
            VtElement scaled = vertex;
            scaled.Parameter = kv * 1000;
            const double missListed =
                std::fabs(GetHeightInVtElement(asListed, vertex.Length) - heightAtEnd);
            const double missScaled =
                std::fabs(GetHeightInVtElement(scaled, vertex.Length) - heightAtEnd);
            vertex.Parameter = missListed < missScaled ? asListed.Parameter : scaled.Parameter;
            curveEndHeight = heightAtEnd;
        } else {
            vertex.Grade = gradeOut;
        }
        append(vertex);
    }
    if (ElementCount(result) == 0)
        return ctx.Decline("no vertex block was found below the title rows");
    out = std::move(result);
    return true;
}

bool ReadRtf(std::string_view rtf, VtAlignment &out, ListingContext &ctx) {
    return ReadReport(RtfReportText(rtf, ctx), out, ctx);
}

bool ReadText(std::string_view text, VtAlignment &out, ListingContext &ctx) {
    if (text.empty())
        return ctx.Decline("the file is empty");
    ListingLines lines(text);
    if (lines.Next().substr(0, 4) == "*ALZ")
        return ReadPlain(text, out, ctx);
    return ReadPrinted(text, out, ctx);
}

template <class Reader>
bool RunVtReader(VtAlignment &elements, ListingFailure *failure, std::string_view file,
                 Reader &&read) {
    return RunElementReader(kSource, "vertical alignment listing", elements, failure, file,
                            std::forward<Reader>(read));
}

} // namespace

bool ConvertVerticalDataToAvanceData(VtAlignment &elements) {
    Trace(">> ConvertVerticalDataToAvanceData");
    const bool ok = Guarded("ConvertVerticalDataToAvanceData", false, [&] {
        elements = ConvertVertices(elements);
        return true;
    });
    Trace("<< ConvertVerticalDataToAvanceData");
    return ok;
}

bool ReadVtTextListing(std::string_view text, VtAlignment &elements, ListingFailure *failure,
                       std::string_view file) {
    return RunVtReader(elements, failure, file, [&](ListingContext &ctx, VtAlignment &out) {
        return ReadText(text, out, ctx);
    });
}

bool ReadVtPlainListing(std::string_view text, VtAlignment &elements, ListingFailure *failure,
                        std::string_view file) {
    return RunVtReader(elements, failure, file, [&](ListingContext &ctx, VtAlignment &out) {
        return ReadPlain(text, out, ctx);
    });
}

bool ReadVtPrintedReport(std::string_view text, VtAlignment &elements, ListingFailure *failure,
                         std::string_view file) {
    return RunVtReader(elements, failure, file, [&](ListingContext &ctx, VtAlignment &out) {
        return ReadPrinted(text, out, ctx);
    });
}

bool ReadVtRtfListing(std::string_view rtf, VtAlignment &elements, ListingFailure *failure,
                      std::string_view file) {
    return RunVtReader(elements, failure, file, [&](ListingContext &ctx, VtAlignment &out) {
        return ReadRtf(rtf, out, ctx);
    });
}

bool ReadVtReportText(std::string_view text, VtAlignment &elements, ListingFailure *failure,
                      std::string_view file) {
    return RunVtReader(elements, failure, file, [&](ListingContext &ctx, VtAlignment &out) {
        return ReadReport(text, out, ctx);
    });
}

bool ImportVtAligment(VtAlignment &elements, const std::string &path,
                      const std::string & /*option*/, ListingFailure *failure) {
    Trace(">> ImportVtAligment");
    const std::string file = FileNameOfPath(path);
    const bool report = ListingExtension(path) == "RTF";
    const bool ok =
        RunVtReader(elements, failure, file, [&](ListingContext &ctx, VtAlignment &out) {
            const std::string bytes = ReadListingBytes(path, ctx);
            return report ? ReadRtf(bytes, out, ctx) : ReadText(bytes, out, ctx);
        });
    Trace("<< ImportVtAligment");
    return ok;
}

} // namespace vialto
