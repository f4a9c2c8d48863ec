#include "landxml/LandXmlProfile.h"

#include "geometry/HzGeometry.h"
#include "geometry/VtGeometry.h"
#include "landxml/LandXmlWriter.h"
#include "model/ElementSearch.h"
#include "shell/ErrHandler.h"
#include "shell/Text.h"

#include <algorithm>
#include <cmath>

namespace vialto {

namespace {

std::string Fixed(double value) { return FormatDecimals(value, 6); }

std::string PviLine(double chainage, double height) {
    return "<PVI>" + Fixed(chainage) + " " + Fixed(height) + "</PVI>";
}

// The curve line that follows an element's PVI, "" for none.
std::string CurveLine(const VtAlignment &elements, std::size_t i) {
    const VtElement &element = elements.at(i);
    if (element.Parameter == 0 || element.Length == 0)
        return {};
    if (element.Length > 0) {
        // A symmetric parabola: its PVI lies on the entry grade at half its length.
        const double half = element.Length * 0.5;
        return "<ParaCurve length=\"" + Fixed(element.Length) + "\" desc=\"" +
               Fixed(element.Parameter) + "\">" + Fixed(element.Chainage + half) + " " +
               Fixed(element.Height + element.Grade * half) + "</ParaCurve>";
    }
    // A circular curve: its PVI lies on the entry grade at the first tangent length.
    const double gradeOut = element.GradeOut != 0 ? element.GradeOut : elements.at(i + 1).Grade;
    double tangentIn = 0, tangentOut = 0;
    TangentLengths(element.Grade, gradeOut, element.Parameter, tangentIn, tangentOut);
    return "<CircCurve length=\"" + Fixed(std::abs(element.Length)) + "\" radius=\"" +
           Fixed(element.Parameter) + "\">" + Fixed(element.Chainage + tangentIn) + " " +
           Fixed(element.Height + element.Grade * tangentIn) + "</CircCurve>";
}

// The body both profile writers share; curves = false writes PVIs only.
bool WriteProfAlign(double &firstChainage, double &lastChainage, const std::string &name,
                    const VtAlignment &elements, double from, double to, bool curves) {
    const long n = ElementCount(elements);
    if (n < 1)
        return true;
    const auto at = [&](long i) -> const VtElement & {
        return elements.at(static_cast<std::size_t>(i));
    };
    const ElementRange range = ElementRangeAt(elements, from, to);
    const long first = range.First;
    // A range that ends inside the profile runs on to the second element after
    // the one holding its end (never past the last).
    const long last = range.Last < n ? std::min(range.Last + 2, n) : n;
    const std::string text = XmlText(name);

    long i = first;
    while (i <= last && IsNoHeight(at(i).Height))
        ++i;
    if (i > last)
        return true;
    bool written = WriteLnOpen("<ProfAlign name=\"" + text + "\">");
    firstChainage = at(first).Chainage;

    int part = 0;
    for (; i <= last; ++i) {
        if (IsNoHeight(at(i).Height)) {
            written = WriteLnClose("</ProfAlign>") && written;
            while (i <= last && IsNoHeight(at(i).Height))
                ++i;
            if (i > last)
                return written;
            ++part;
            written =
                WriteLnOpen("<ProfAlign name=\"" + text + "_" + std::to_string(part) + "\">") &&
                written;
        }
        const VtElement &element = at(i);
        // A circular curve's Length is negative; the range it covers is not.
        lastChainage = element.Chainage + std::abs(element.Length);
        written = WriteLnAt(PviLine(element.Chainage, element.Height)) && written;
        if (curves) {
            const std::string curve = CurveLine(elements, static_cast<std::size_t>(i));
            if (!curve.empty())
                written = WriteLnAt(curve) && written;
        }
    }
    // A final grade ends in a point of its own.
    const VtElement &final = at(last);
    if (curves && final.Parameter == 0 && final.Length > 0)
        written =
            WriteLnAt(PviLine(lastChainage, final.Height + final.Grade * final.Length)) && written;
    return WriteLnClose("</ProfAlign>") && written;
}

// Runs a profile writer inside its error boundary; on an error the main level
// is put back where it was so that the lines that follow keep their indentation.
bool GuardedProfAlign(const char *source, double &firstChainage, double &lastChainage,
                      const std::string &name, const VtAlignment &elements, double from, double to,
                      bool curves) {
    const std::uint8_t level = MainLevel();
    const bool done = Guarded(source, false, [&] {
        return WriteProfAlign(firstChainage, lastChainage, name, elements, from, to, curves);
    });
    if (!done)
        LandXmlWriter().MainLevel = level;
    return done;
}

} // namespace

bool IsNoHeight(double height) { return std::abs(height - (-999.0)) < 0.00001; }

bool TagProfile(bool close) {
    return close ? WriteLnClose("</Profile>") : WriteLnOpen("<Profile>");
}

bool TagProfAlign(double &firstChainage, double &lastChainage, const std::string &name,
                  const VtAlignment &elements, double from, double to) {
    return GuardedProfAlign("TagProfAlign", firstChainage, lastChainage, name, elements, from, to,
                            true);
}

bool TagProfAlignIrrLn(double &firstChainage, double &lastChainage, const std::string &name,
                       const VtAlignment &elements, double from, double to) {
    return GuardedProfAlign("TagProfAlignIrrLn", firstChainage, lastChainage, name, elements, from,
                            to, false);
}

} // namespace vialto
