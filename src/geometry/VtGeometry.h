// Heights of a vertical alignment: constant grades, symmetric parabolas and
// circular vertical curves, the element lookup, and the module's sort routine.
//
// Units: chainages, lengths and heights in the unit of the listings; grades are
// fractions (0.02 for 2 %); a curve parameter (Kv of a parabola, radius of a
// circle) is positive for a sag (concave up), negative for a crest.
#pragma once

#include "model/ElementSearch.h"
#include "model/Records.h"

#include <vector>

namespace vialto {

// Kinds of vertical element, decided in this order: Parameter 0 -> grade;
// Length < 0 -> circular curve; otherwise a parabola.
enum class VtElementType { Grade, Parabola, Circle };
VtElementType GetVtElementType(const VtElement &element);

// Height at a chainage; beyond the last element extrapolated on it. Never
// raises: kNullValue when there is no height (empty array, a chainage before the
// first element or not finite, a circle evaluated beyond its half circle).
double GetHeightFromVtAligment(const VtAlignment &elements, double chainage);
// The same for a profile searched many times (ElementSearch).
double GetHeightFromVtAligment(const ElementSearch<VtElement> &profile, double chainage);

// Height at distance x from the element's start. Raises (error 5) for a circle
// evaluated beyond its half circle.
double GetHeightInVtElement(const VtElement &element, double x);

// Height of a circular vertical curve (Parameter = signed radius) at distance x
// from its start. Raises (error 5) beyond its half circle.
double GetHeightInVtCircle(const VtElement &element, double x);

// Sorts a 1-based array ascending in place (stable bubble sort; position 0 is
// left alone). The result is always true.
bool SortDoubles(std::vector<double> &values);

} // namespace vialto
