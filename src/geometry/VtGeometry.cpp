// Heights of vertical alignments and the module's sort routine.
#include "geometry/VtGeometry.h"

#include "model/ElementSearch.h"
#include "shell/Error.h"
#include "shell/Text.h"

#include <algorithm>
#include <cmath>

namespace vialto {

namespace {

double SignOf(double value) { return value > 0 ? 1.0 : (value < 0 ? -1.0 : 0.0); }

// Height of a circular vertical curve at x, or false beyond its half circle.
bool CircleHeight(const VtElement &element, double x, double &height) {
    const double R = element.Parameter;
    const double r = std::fabs(R);
    const double alpha = std::fabs(std::atan(element.Grade));
    const double s = SignOf(element.Grade);
    const double ch0 = element.Chainage;
    double xc = 0;
    double zc = 0;
    if (R < 0) { // crest: the centre lies below
        xc = ch0 + r * s * std::sin(alpha);
        zc = element.Height - r * std::cos(alpha);
    } else { // sag: the centre lies above
        xc = ch0 - r * s * std::sin(alpha);
        zc = element.Height + r * std::cos(alpha);
    }
    const double dx = (ch0 + x) - xc;
    const double underRoot = R * R - dx * dx;
    if (!(underRoot >= 0)) {
        return false;
    }
    height = zc - SignOf(R) * std::sqrt(underRoot);
    return true;
}

double ParabolaHeight(const VtElement &element, double x) {
    const double L = element.Length;
    const double kv = element.Parameter;
    const double z0 = element.Height;
    const double g0 = element.Grade;
    if (x <= L / 2) {
        return z0 + g0 * x + x * x / (2 * kv);
    }
    const double g1 = L / kv + g0;      // grade of the outgoing tangent
    const double zPI = z0 + g0 * L / 2; // where the two tangents meet
    const double r = L - x;             // distance to the curve's end
    return zPI + g1 * (L / 2 - r) + r * r / (2 * kv);
}

} // namespace

VtElementType GetVtElementType(const VtElement &element) {
    if (element.Parameter == 0) {
        return VtElementType::Grade;
    }
    if (element.Length < 0) {
        return VtElementType::Circle;
    }
    return VtElementType::Parabola;
}

namespace {

// The height at a chainage on the element that holds it, which `find` gives.
template <class Find>
double HeightAtChainage(const VtAlignment &elements, double chainage, Find &&find) {
    const long n = ElementCount(elements);
    if (n == 0 || !std::isfinite(chainage) || chainage < elements[1].Chainage) {
        return kNullValue;
    }
    const VtElement &element = elements[static_cast<std::size_t>(find(chainage))];
    const double x = chainage - element.Chainage;
    if (element.Parameter == 0) {
        return element.Height + element.Grade * x;
    }
    // Here a length of 0 marks a circle too: a parabola of no length has no shape.
    if (element.Length <= 0) {
        double height = 0;
        return CircleHeight(element, x, height) ? height : kNullValue;
    }
    return ParabolaHeight(element, x);
}

} // namespace

double GetHeightFromVtAligment(const VtAlignment &elements, double chainage) {
    return HeightAtChainage(elements, chainage,
                            [&](double c) { return FindElementAt(c, elements); });
}

double GetHeightFromVtAligment(const ElementSearch<VtElement> &profile, double chainage) {
    return HeightAtChainage(profile.Elements(), chainage, [&](double c) { return profile.At(c); });
}

double GetHeightInVtElement(const VtElement &element, double x) {
    switch (GetVtElementType(element)) {
    case VtElementType::Grade:
        return element.Height + element.Grade * x;
    case VtElementType::Parabola:
        return ParabolaHeight(element, x);
    case VtElementType::Circle:
        return GetHeightInVtCircle(element, std::fabs(x));
    }
    return element.Height;
}

double GetHeightInVtCircle(const VtElement &element, double x) {
    double height = 0;
    if (!CircleHeight(element, x, height)) {
        RaiseRuntime(errInvalidCall, "a circular vertical curve evaluated beyond its half circle");
    }
    return height;
}

bool SortDoubles(std::vector<double> &values) {
    if (values.size() <= 2) {
        return true;
    }
    const auto from = values.begin() + 1;
    // Without NaNs a stable sort orders exactly as the ascending bubble sort
    // (which never exchanges equal values) but in n log n: a long list with a
    // few late chainages appended would take a bubble sort n squared steps.
    if (std::none_of(from, values.end(), [](double v) { return std::isnan(v); })) {
        std::stable_sort(from, values.end());
        return true;
    }
    // NaNs compare false both ways, which the standard sorts must not meet;
    // the bubble sort simply leaves them where the passes put them.
    std::size_t limit = values.size() - 1;
    bool exchanged = true;
    while (exchanged && limit > 1) {
        exchanged = false;
        for (std::size_t i = 1; i < limit; ++i) {
            if (values[i] > values[i + 1]) {
                std::swap(values[i], values[i + 1]);
                exchanged = true;
            }
        }
        --limit;
    }
    return true;
}

} // namespace vialto
