// Plan and profile elements written out field by field, for tests that lay
// alignments out by hand.
#pragma once

#include "model/Records.h"

#include <vector>

namespace vialto::test {

// The elements numbered 1..n behind the unused position 0.
template <class Element> std::vector<Element> OneBased(std::vector<Element> elements) {
    std::vector<Element> out(1);
    for (auto &e : elements) {
        e.Number = static_cast<long>(out.size());
        out.push_back(e);
    }
    return out;
}

// An element starting at (x, y) heading `azimuth`; radius and parameter as in
// the records.
inline HzElement HzAt(double chainage, double x, double y, double azimuth, double radius,
                      double parameter, double length) {
    return {0, chainage, x, y, azimuth, radius, parameter, length, 0, {}};
}

inline VtElement VtAt(double chainage, double height, double grade, double parameter,
                      double length) {
    return {0, chainage, height, grade, 0, parameter, length}; // GradeOut 0: the next Grade
}

} // namespace vialto::test
