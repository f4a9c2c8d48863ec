// The frame of the whole clothoid a transition element is a piece of: where its
// origin (zero curvature) lies, which way its length grows, and which way it
// turns. Shared by the clothoid evaluator and the projection onto a clothoid.
#pragma once

#include "geometry/HzGeometry.h"

namespace vialto {

struct ClothoidFrame {
    HzPoint Origin;    // the point of zero curvature
    double Base = 0;   // azimuth at the origin in which the clothoid length grows
    double A = 0;      // clothoid parameter
    int Turn = 1;      // +1 when the clothoid turns right as its length grows, else -1
    int Direction = 1; // +1 when travel along the element makes the length grow
    double L0 = 0;     // clothoid length of the element's start
};

// The frame of a transition element whose far radius is farRadius. Raises for a
// parameter 0 and for a zero-length transition ending at zero curvature.
ClothoidFrame MakeClothoidFrame(const HzElement &element, double farRadius);

// The point at clothoid length l from the frame's origin, its Azimuth the tangent
// in the direction of travel along the element.
HzPoint ClothoidFramePoint(const ClothoidFrame &frame, double l);

} // namespace vialto
