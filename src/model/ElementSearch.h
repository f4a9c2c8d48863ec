// The element search of alignments and profiles, and the elements a chainage
// range covers: the one rule that the store, the geometry, the writers and
// the export stage all use, over horizontal and vertical elements alike.
#pragma once

#include "model/Records.h"
#include "shell/Text.h"

#include <vector>

namespace vialto {

// The element that holds the chainage: walking elements 1..n, the first whose
// Chainage equals it, else the one before the first whose Chainage is greater;
// element 1 before the start and n beyond the last start. 0 for an empty array.
template <class T> long FindElementAt(double chainage, const std::vector<T> &elements) {
    const long n = ElementCount(elements);
    for (long i = 1; i <= n; ++i) {
        const double start = elements[static_cast<std::size_t>(i)].Chainage;
        if (start == chainage)
            return i;
        if (start > chainage)
            return i > 1 ? i - 1 : 1;
    }
    return n;
}

// The elements from..to covers, both ends included (1-based). Each end may be
// kNullValue (no limit): the range starts at element 1 unless `from` lies
// beyond element 1's start, and ends at element n unless `to` lies before
// element n's start; otherwise the end is the element that holds it. Empty
// (First > Last) for an empty array.
struct ElementRange {
    long First = 1;
    long Last = 0;
};

template <class T>
ElementRange ElementRangeAt(const std::vector<T> &elements, double from, double to) {
    const long n = ElementCount(elements);
    ElementRange range{1, n};
    if (n < 1)
        return range;
    if (from != kNullValue && from > elements[1].Chainage)
        range.First = FindElementAt(from, elements);
    if (to != kNullValue && to < elements[static_cast<std::size_t>(n)].Chainage)
        range.Last = FindElementAt(to, elements);
    return range;
}

} // namespace vialto
