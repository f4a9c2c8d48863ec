// A profile given as a list of vertices (each with the parameter and the
// length of its vertical curve), and its conversion into the progressive
// elements the rest of the system uses: each element starts a straight grade
// or a parabolic curve and runs to the next.
//
// Units: chainages, lengths and heights in the unit of the listings; grades
// are fractions; a curve parameter (Kv) is negative on a crest (grade
// decreasing) and positive on a sag.
#pragma once

#include "model/Records.h"

#include <vector>

namespace vialto {

// The grade from each vertex to the next, at the vertex's index (1-based; 0
// between equal chainages); the last vertex keeps the grade of the one before.
std::vector<double> VertexGrades(const VtAlignment &vertices);

// The first vertex before the last with a curve parameter but no curve
// length; 0 when there is none.
long FindCurveWithoutLength(const VtAlignment &vertices);

// Rewrites a vertex list as progressive elements: a curved vertex moves back
// to the start of its parabola, a straight runs to the next vertex or to the
// start of the next vertex's curve, elements of no length are dropped and a
// straight closes any gap. A vertex with a parameter but no curve length
// raises 9999 "Unknown vertical element"; the boundary reports it with the
// source "ConvertVerticalDataToAvanceData" and the result is false (the
// elements are then left as they were).
bool ConvertVerticalDataToAvanceData(VtAlignment &elements);

} // namespace vialto
