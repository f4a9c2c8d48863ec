// The wizard's preferences in the per-user settings store: the tolerances,
// the linear unit and the file type chosen for each kind of input file, plus
// the keys under which the input-files page remembers the last files.
//
// Tolerances are stored with three decimals and a "." ("0.010") and read with
// either decimal separator; unit codes and file type indices are stored as
// plain integers and read by their whole part.
#pragma once

#include "shell/Settings.h"

#include <array>
#include <string>

namespace vialto {

inline constexpr const char *kSectionPreferences = "Preferences";
inline constexpr const char *kSectionFiles = "Files";

struct Preferences {
    double ToleranceHz = 0.010; // in the linear unit, >= 0
    double ToleranceVt = 0.010;
    int LinearUnits = 3;                    // 1..8, see LinearUnitAbbreviation
    std::array<int, 4> Filters{1, 1, 1, 1}; // file type of slots 1..4 at 0..3
};

// The section of the converter's own keys: its name ("Vialto").
std::string ConverterSection();

// Reads "ToleranceHz", "ToleranceVt", "LinearUnits", "FilterHz", "FilterVt",
// "FilterCr", "FilterSup" in that order; a missing key takes its default, an
// unreadable number gives 0, a unit code outside 1..8 gives metres.
Preferences ReadPreferences(const ISettings &settings);
// Writes the same keys in the same order; "FilterSup" only for rail jobs
// (job types 2 and 3).
void WritePreferences(ISettings &settings, const Preferences &preferences, int jobType);

// "Page" + page + "File" + slot: the last file chosen in that row.
std::string RememberedFileKey(int page, int slot);
// "Page" + page + "File2Option": "1" when the option of the page's slot 2 was
// set, "2" when it was cleared.
std::string RememberedOptionKey(int page);

// The unit's abbreviation ("mm." .. "mi.") and the token of its name; "" for
// a code outside 1..8.
std::string LinearUnitAbbreviation(int unit);
std::string LinearUnitToken(int unit);

} // namespace vialto
