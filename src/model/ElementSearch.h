// The element search of alignments and profiles, and the elements a chainage
// range covers: the one rule that the store, the geometry, the writers and
// the export stage all use, over horizontal and vertical elements alike.
#pragma once

#include "model/Records.h"
#include "shell/Text.h"

#include <algorithm>
#include <cmath>
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

// True when no start is NaN and none is smaller than the one before: then the
// search may bisect.
template <class T> bool ElementStartsAscend(const std::vector<T> &elements) {
    const long n = ElementCount(elements);
    for (long i = 1; i <= n; ++i) {
        const double start = elements[static_cast<std::size_t>(i)].Chainage;
        if (std::isnan(start) ||
            (i > 1 && start < elements[static_cast<std::size_t>(i - 1)].Chainage))
            return false;
    }
    return true;
}

// The same search over one array that is searched many times while it stays
// as it is (a walk along a track, the rails of a cant table): FindElementAt's
// answer for every chainage, found by bisection when the starts ascend (none
// is NaN, none smaller than the one before), by FindElementAt otherwise. It
// refers to the array, which must outlive it unchanged.
template <class T> class ElementSearch {
  public:
    explicit ElementSearch(const std::vector<T> &elements)
        : elements_(&elements), ascending_(ElementStartsAscend(elements)) {}
    // For an owner that checked the order (ElementStartsAscend) when the array
    // was last set.
    ElementSearch(const std::vector<T> &elements, bool startsAscend)
        : elements_(&elements), ascending_(startsAscend) {}

    const std::vector<T> &Elements() const { return *elements_; }

    long At(double chainage) const {
        const std::vector<T> &elements = *elements_;
        if (!ascending_)
            return FindElementAt(chainage, elements);
        const long n = ElementCount(elements);
        // A NaN equals no start and exceeds none: the scan ends on the last.
        if (n == 0 || std::isnan(chainage))
            return n;
        // The first start not below the chainage is where the scan stops.
        const auto first = elements.begin() + 1;
        const auto stop = std::lower_bound(first, elements.end(), chainage,
                                           [](const T &e, double c) { return e.Chainage < c; });
        if (stop == elements.end())
            return n;
        const long i = static_cast<long>(stop - elements.begin());
        if (stop->Chainage == chainage)
            return i;
        return i > 1 ? i - 1 : 1;
    }

  private:
    const std::vector<T> *elements_;
    bool ascending_;
};

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
