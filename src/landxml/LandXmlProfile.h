// Writers of the profile: Profile, and ProfAlign made of PVI, ParaCurve and
// CircCurve lines from a vertical alignment in its advance form (each element
// is the point where a grade or a vertical curve starts).
//
// Chainages, heights and lengths are written with 6 decimals; grades are
// fractions; a curve parameter keeps its sign (negative: crest). A point whose
// height is -999 has no height: the ProfAlign is closed there and continued
// after it under the name N_1, N_2, ...
#pragma once

#include "model/Records.h"
#include "shell/Text.h" // kNullValue

#include <string>

namespace vialto {

// |height - (-999)| < 0.00001: the point has no height.
bool IsNoHeight(double height);

// <Profile> (level + 1) or </Profile> (level - 1).
bool TagProfile(bool close);

// The elements of the 1-based array that hold from..to (kNullValue: no limit;
// with a to limit, up to two elements after the one holding it are written),
// with their parabolic and circular curves and a closing PVI after a final
// grade. Gives back the first element's chainage and the end chainage of the
// last element written. False (reported as "TagProfAlign") on an error; lines
// already written stay.
bool TagProfAlign(double &firstChainage, double &lastChainage, const std::string &name,
                  const VtAlignment &elements, double from, double to);

// The same range and splitting, PVIs only (the profile of an irregular line).
// Reported as "TagProfAlignIrrLn".
bool TagProfAlignIrrLn(double &firstChainage, double &lastChainage, const std::string &name,
                       const VtAlignment &elements, double from, double to);

} // namespace vialto
