#include "landxml/LandXmlAlignment.h"

#include "geometry/HzClothoidFrame.h"
#include "landxml/LandXmlWriter.h"
#include "model/ElementSearch.h"
#include "shell/AppModel.h"
#include "shell/ErrHandler.h"
#include "shell/Text.h"

#include <cmath>

namespace vialto {

namespace {

std::string Fixed(double value) { return FormatDecimals(value, 6); }

// The radius attribute of a cubic transition's neighbour: only an exact 0 is
// infinite here (the 0.001 marker is written as a number).
std::string NeighbourRadiusText(double radius) {
    return radius == 0 ? std::string("INF") : Fixed(std::abs(radius));
}

// How an element is written; the first rule that applies wins.
enum class Form { Line, Curve, Verbatim, Clothoid, Cubic };

Form FormOf(const HzElement &element) {
    if (element.Radius == 0 || element.Kind == 1)
        return Form::Line;
    if (element.Parameter == 0 || element.Kind == 2)
        return Form::Curve;
    if (element.Kind == 4 || element.Kind == 5)
        return Form::Verbatim;
    if (element.Parameter > 0)
        return Form::Clothoid;
    if (element.Parameter < 0)
        return Form::Cubic;
    RaiseRuntime(errInvalidCall, "element " + std::to_string(element.Number) +
                                     " has neither a radius nor a parameter that can be written");
}

// The point and tangent where element i ends: the next element's start, or for
// the alignment's last element the point at its length.
HzPoint EndPoint(const HzAlignment &elements, long i, Form form) {
    const long n = ElementCount(elements);
    const HzElement &element = elements.at(static_cast<std::size_t>(i));
    if (i < n)
        return ElementStartPoint(elements.at(static_cast<std::size_t>(i + 1)));
    switch (form) {
    case Form::Line:
        return GetCoordInLine(element, element.Length);
    case Form::Curve:
        return GetCoordInArc(element, element.Length);
    case Form::Clothoid:
        return GetCoordInClothoid(element, element.Length, kNullValue, kNullValue);
    case Form::Cubic:
        // Without a following element only a parabola that leaves a straight
        // line has a known end.
        if (n >= 2 && elements.at(static_cast<std::size_t>(n - 1)).Radius == 0)
            return GetCoordInCubicParabola(std::abs(element.Parameter), true, element, element);
        RaiseRuntime(errInvalidCall, "the cubic transition that ends the alignment at chainage " +
                                         Fixed(element.Chainage) +
                                         " does not start on a straight line");
    case Form::Verbatim:
        break;
    }
    return ElementStartPoint(element);
}

bool WriteFigure(const char *tag, const HzPoint &point) {
    return WriteLnAt(std::string("<") + tag + ">" + PointText(point.X, point.Y) + "</" + tag + ">");
}

bool WriteLineBlock(const HzElement &element, const HzPoint &end) {
    bool written = WriteLnOpen("<Line staStart=\"" + Fixed(element.Chainage) + "\">");
    written = WriteFigure("Start", ElementStartPoint(element)) && written;
    written = WriteFigure("End", end) && written;
    return WriteLnClose("</Line>") && written;
}

bool WriteCurveBlock(const HzElement &element, const HzPoint &end) {
    const HzPoint start = ElementStartPoint(element);
    const HzPoint center = GetArcCenter(start, end, element.Radius, element.Length);
    std::string line = "<Curve staStart=\"" + Fixed(element.Chainage) + "\" rot=\"" +
                       (element.Radius > 0 ? "cw" : "ccw") + "\" crvType=\"arc\" radius=\"" +
                       Fixed(std::abs(element.Radius)) + "\"";
    // Every arc states its length: readers other than the field software take
    // an arc's length from it (without it they read arcs of length 0), and a
    // very short arc's figure points alone no longer tell it.
    line += " length=\"" + Fixed(std::abs(element.Length)) + "\">";
    bool written = WriteLnOpen(line);
    written = WriteFigure("Start", start) && written;
    written = WriteFigure("Center", center) && written;
    written = WriteFigure("End", end) && written;
    return WriteLnClose("</Curve>") && written;
}

bool WriteSpiralBlock(const HzElement &element, const HzPoint &end, const std::string &radiusStart,
                      const std::string &radiusEnd, const std::string &desc, const char *spiType,
                      const std::string &constant) {
    const HzPoint start = ElementStartPoint(element);
    std::string line = "<Spiral staStart=\"" + Fixed(element.Chainage) + "\" desc=\"" + desc +
                       "\" length=\"" + Fixed(element.Length) + "\" radiusStart=\"" + radiusStart +
                       "\" radiusEnd=\"" + radiusEnd + "\" rot=\"" +
                       (element.Radius >= 0 ? "cw" : "ccw") + "\" spiType=\"" + spiType + "\"";
    if (!constant.empty())
        line += " constant=\"" + constant + "\"";
    line += ">";
    bool written = WriteLnOpen(line);
    written = WriteFigure("Start", start) && written;
    written = WriteFigure("PI", GetPI(start, end)) && written;
    written = WriteFigure("End", end) && written;
    return WriteLnClose("</Spiral>") && written;
}

bool WriteCubicBlock(const HzAlignment &elements, long i, long last, const HzPoint &end) {
    const HzElement &element = elements.at(static_cast<std::size_t>(i));
    std::string radiusStart = "INF", radiusEnd = "INF";
    if (i != 1 && i != last) {
        radiusStart = NeighbourRadiusText(elements.at(static_cast<std::size_t>(i - 1)).Radius);
        radiusEnd = NeighbourRadiusText(elements.at(static_cast<std::size_t>(i + 1)).Radius);
    }
    return WriteSpiralBlock(element, end, radiusStart, radiusEnd, "", "cubic", "");
}

// The point at distance s into a transition whose far-end radius is known.
HzPoint PointOnClothoid(const HzElement &element, double farRadius, double s) {
    const ClothoidFrame frame = MakeClothoidFrame(element, farRadius);
    return ClothoidFramePoint(frame, frame.L0 + frame.Direction * s);
}

// Clothoid length from the origin at a radius; a straight end (0 or the
// marker) lies at the origin.
double ClothoidLength(double parameter, double radius) {
    if (radius == 0 || std::abs(radius) <= kRadiusMarker)
        return 0;
    return parameter * parameter / std::abs(radius);
}

bool WriteClothoid(const HzAlignment &elements, long i) {
    const long n = ElementCount(elements);
    const HzElement &element = elements.at(static_cast<std::size_t>(i));
    double nextRadius = kNullValue, nextAzimuth = kNullValue;
    if (i < n) {
        nextRadius = elements.at(static_cast<std::size_t>(i + 1)).Radius;
        nextAzimuth = elements.at(static_cast<std::size_t>(i + 1)).Azimuth;
    }
    // Without a following element the transition is taken to end the
    // alignment towards a straight, as the clothoid evaluation takes it.
    const double farRadius = OtherRadius(element, nextRadius, nextAzimuth, true);
    HzPoint end = i < n ? EndPoint(elements, i, Form::Clothoid)
                        : PointOnClothoid(element, farRadius, element.Length);
    end.Azimuth = SpiralAzimuth(element.Length, element, farRadius);
    const double turn = Deflection(element.Azimuth, end.Azimuth);
    if (turn <= kHalfPi)
        return TagSpiralClothoid(element, end, farRadius);
    // A transition that turns more than a quarter circle is written in two
    // pieces, each with a PI that stays near its ends.
    const HzAlignment pieces = SplitSpiral(element, farRadius);
    const HzElement &first = pieces.at(1);
    const HzElement &second = pieces.at(2);
    bool written = TagSpiralClothoid(first, ElementStartPoint(second), second.Radius);
    return TagSpiralClothoid(second, end, farRadius) && written;
}

} // namespace

std::string RadiusText(double radius) {
    if (radius == 0 || std::abs(radius) == kRadiusMarker)
        return "INF";
    return Fixed(std::abs(radius));
}

bool TagAlignments(bool close) {
    const char *line = close ? "</Alignments>" : "<Alignments name=\"alignments\">";
    bool written = close ? WriteLnClose(line) : WriteLnOpen(line);
    if (AppModel().IsOstXML)
        written = (close ? WriteLnCloseOst(line) : WriteLnOpenOst(line)) && written;
    return written;
}

bool TagAlignment(bool close, const std::string &name, double staStart, double staEnd) {
    if (close) {
        bool written = WriteLnClose("</Alignment>");
        if (AppModel().IsOstXML)
            written = WriteLnCloseOst("</Alignment>") && written;
        return written;
    }
    const std::string text = XmlText(name);
    bool written = true;
    if (AppModel().IsOstXML)
        written = WriteLnOpenOst("<Alignment name=\"" + text + "\">");
    return WriteLnOpen("<Alignment name=\"" + text + "\" length=\"" +
                       Fixed(std::abs(staEnd - staStart)) + "\" staStart=\"" + Fixed(staStart) +
                       "\">") &&
           written;
}

bool TagCoordGeom(bool close) {
    return close ? WriteLnClose("</CoordGeom>") : WriteLnOpen("<CoordGeom>");
}

bool TagCoordGeomRegular(const HzAlignment &elements, double from, double to, double &firstChainage,
                         double &lastChainage) {
    const std::uint8_t level = MainLevel();
    const bool done = Guarded("CLandXML.TagCoordGeomRegular", false, [&] {
        Trace(">> TagCoordGeomRegular");
        if (ElementCount(elements) < 1)
            return true;
        const auto [first, last] = ElementRangeAt(elements, from, to);
        firstChainage = elements.at(static_cast<std::size_t>(first)).Chainage;
        bool written = true;
        for (long i = first; i <= last; ++i) {
            const HzElement &element = elements.at(static_cast<std::size_t>(i));
            if (element.Length == 0 && element.Desc.empty())
                continue;
            lastChainage = element.Chainage + element.Length;
            const Form form = FormOf(element);
            bool ok = true;
            switch (form) {
            case Form::Line:
                ok = WriteLineBlock(element, EndPoint(elements, i, form));
                break;
            case Form::Curve:
                ok = WriteCurveBlock(element, EndPoint(elements, i, form));
                break;
            case Form::Verbatim:
                if (!element.Desc.empty())
                    ok = WriteLnAt(Utf8Text(element.Desc));
                break;
            case Form::Clothoid:
                ok = WriteClothoid(elements, i);
                break;
            case Form::Cubic:
                ok = WriteCubicBlock(elements, i, last, EndPoint(elements, i, form));
                break;
            }
            written = ok && written;
        }
        Trace("<< TagCoordGeomRegular");
        return written;
    });
    // A block cut short by an error must not shift the lines that follow.
    if (!done)
        LandXmlWriter().MainLevel = level;
    return done;
}

bool TagSpiralClothoid(const HzElement &element, const HzPoint &endPoint, double endRadius) {
    const std::string radiusStart = RadiusText(element.Radius);
    const std::string radiusEnd = RadiusText(endRadius);
    const bool startStraight = radiusStart == "INF", endStraight = radiusEnd == "INF";
    const char *desc = startStraight && !endStraight   ? "TangentToCurve"
                       : !startStraight && endStraight ? "CurveToTangent"
                                                       : "CurveToCurve";
    return WriteSpiralBlock(element, endPoint, radiusStart, radiusEnd, desc, "clothoid",
                            Fixed(element.Parameter));
}

HzAlignment SplitSpiral(const HzElement &element, double endRadius) {
    const double a = element.Parameter;
    const double lengthStart = ClothoidLength(a, element.Radius);
    const double lengthEnd = ClothoidLength(a, endRadius);
    const double twoA2 = 2 * a * a;
    const double tauStart = Divide(lengthStart * lengthStart, twoA2);
    const double tauEnd = Divide(lengthEnd * lengthEnd, twoA2);
    const bool curvatureGrows = tauStart <= tauEnd;
    const double tauLow = curvatureGrows ? tauStart : tauEnd;
    const double tauHigh = curvatureGrows ? tauEnd : tauStart;
    const double lengthMax = curvatureGrows ? lengthEnd : lengthStart;
    const double tauMid = tauLow + (tauHigh - tauLow) / 2;
    const double lengthMid = std::sqrt(twoA2 * tauMid);
    double radiusMid = Divide(a, std::sqrt(2 * tauMid));
    if (!(element.Radius > 0))
        radiusMid = -radiusMid;

    HzAlignment pieces = MakeOneBased<HzElement>(2);
    HzElement &first = pieces[1];
    HzElement &second = pieces[2];
    first = element;
    // The piece next to the sharper end is lengthMax - lengthMid long: the
    // second piece when the curvature grows, the first when it falls.
    first.Length =
        curvatureGrows ? element.Length - (lengthMax - lengthMid) : lengthMax - lengthMid;
    second = element;
    // The split point lies on the whole transition, whose far radius is known
    // here; the first piece alone would leave the direction of its curvature
    // to be guessed.
    const HzPoint split = PointOnClothoid(element, endRadius, first.Length);
    second.X = split.X;
    second.Y = split.Y;
    second.Azimuth = SpiralAzimuth(first.Length, first, radiusMid);
    second.Chainage = first.Chainage + first.Length;
    second.Radius = radiusMid;
    second.Length = element.Length - first.Length;
    return pieces;
}

bool TagStaEquation(const StationEquations &list) {
    bool written = true;
    for (std::size_t i = 1; i < list.size(); ++i) {
        const StationEquation &equation = list[i];
        written = WriteLnAt("<StaEquation staAhead=\"" + Fixed(equation.staAhead) +
                            "\" staBack=\"" + Fixed(equation.staBack) + "\" staInternal=\"" +
                            Fixed(equation.staInternal) + "\"/>") &&
                  written;
    }
    return written;
}

} // namespace vialto
