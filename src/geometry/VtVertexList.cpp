// Vertex lists of a profile and their progressive elements.
#include "geometry/VtVertexList.h"

#include "geometry/VtGeometry.h"
#include "shell/ErrHandler.h"

#include <cmath>

namespace vialto {

namespace {

VtElement &At(VtAlignment &elements, long i) { return elements.at(static_cast<std::size_t>(i)); }
const VtElement &At(const VtAlignment &elements, long i) {
    return elements.at(static_cast<std::size_t>(i));
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

} // namespace

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

long FindCurveWithoutLength(const VtAlignment &v) {
    for (long i = 1; i < ElementCount(v); ++i)
        if (At(v, i).Parameter != 0 && At(v, i).Length == 0)
            return i;
    return 0;
}

bool ConvertVerticalDataToAvanceData(VtAlignment &elements) {
    Trace(">> ConvertVerticalDataToAvanceData");
    const bool ok = Guarded("ConvertVerticalDataToAvanceData", false, [&] {
        elements = ConvertVertices(elements);
        return true;
    });
    Trace("<< ConvertVerticalDataToAvanceData");
    return ok;
}

} // namespace vialto
