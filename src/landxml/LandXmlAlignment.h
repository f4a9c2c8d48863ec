// Writers of the alignment group: Alignments, Alignment, CoordGeom with one
// Line, Curve or Spiral per horizontal element, and the station equations.
//
// Points are written northing first ("Y X"), every number with 6 decimals.
// Radii are written unsigned; the turn goes into rot ("cw" for a positive
// radius, turning right). Chainage limits use kNullValue for "no limit".
#pragma once

#include "geometry/HzGeometry.h"
#include "model/Records.h"
#include "shell/Text.h" // kNullValue

#include <string>

namespace vialto {

// "INF" for a straight end (r = 0 or the 0.001 marker), else |r| with 6 decimals.
std::string RadiusText(double radius);

// <Alignments name="alignments"> (close = false) or </Alignments>; mirrored in
// the side file in the extended flavour.
bool TagAlignments(bool close);
// <Alignment name="N" length="|staEnd - staStart|" staStart="S"> or
// </Alignment>; in the extended flavour the side file gets the tag with the
// name only.
bool TagAlignment(bool close, const std::string &name = {}, double staStart = 0, double staEnd = 0);
// <CoordGeom> (level + 1) or </CoordGeom> (level - 1); main file only.
bool TagCoordGeom(bool close);

// Writes the elements of the 1-based array that hold the chainages from..to
// (kNullValue: no limit on that side) as Line, Curve and Spiral blocks. Gives
// back the first element's start chainage and the last written element's end
// chainage. False (reported as "CLandXML.TagCoordGeomRegular") when an element
// cannot be evaluated; lines already written stay.
bool TagCoordGeomRegular(const HzAlignment &elements, double from, double to, double &firstChainage,
                         double &lastChainage);

// One clothoid Spiral block for element, ending at endPoint (its Azimuth is the
// end tangent) with the radius endRadius there (signed; 0 or the marker:
// straight).
bool TagSpiralClothoid(const HzElement &element, const HzPoint &endPoint, double endRadius);

// Splits a clothoid transition whose far-end radius is endRadius into two
// consecutive transitions at the mean of its two tangent angles (measured from
// the clothoid's origin), so that each turns less than the whole. Returns a
// 1-based array of the two pieces; the second starts where the first ends and
// carries the radius at the split as its Radius.
HzAlignment SplitSpiral(const HzElement &element, double endRadius);

// One <StaEquation .../> line per entry 1..n of the 1-based list.
bool TagStaEquation(const StationEquations &list);

} // namespace vialto
