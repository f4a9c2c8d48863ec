#include "wizard/Preferences.h"

#include "shell/AppModel.h"
#include "shell/Text.h"
#include "wizard/JobDescription.h"

#include <cmath>

namespace vialto {

namespace {

constexpr const char *kFilterKeys[] = {"FilterHz", "FilterVt", "FilterCr", "FilterSup"};

struct UnitNames {
    const char *Abbreviation;
    const char *Token;
};
constexpr UnitNames kUnits[] = {
    {"mm.", "LBL_UNIT_MILIMITER"}, {"cm.", "LBL_UNIT_CENTIMETER"}, {"m.", "LBL_UNIT_METRE"},
    {"km.", "LBL_UNIT_KILOMETER"}, {"fi.", "LBL_UNIT_INT_FOOT"},   {"ft.", "LBL_UNIT_US_FOOT"},
    {"in.", "LBL_UNIT_INCH"},      {"mi.", "LBL_UNIT_MILE"},
};

// The whole part of a stored number; 0 when it is unreadable.
int WholeNumber(const std::string &text) {
    const double value = ParseDecimal(text);
    return std::isfinite(value) && std::fabs(value) < 1e9 ? static_cast<int>(std::trunc(value)) : 0;
}

} // namespace

std::string ConverterSection() { return AppModel().ConverterInfo().sName; }

Preferences ReadPreferences(const ISettings &settings) {
    Preferences read;
    read.ToleranceHz = ParseDecimal(settings.Read(kSectionPreferences, "ToleranceHz", "0.010"));
    read.ToleranceVt = ParseDecimal(settings.Read(kSectionPreferences, "ToleranceVt", "0.010"));
    const std::string section = ConverterSection();
    read.LinearUnits = WholeNumber(settings.Read(section, "LinearUnits", "3"));
    if (LinearUnitAbbreviation(read.LinearUnits).empty())
        read.LinearUnits = 3; // a unit the document cannot name would fail every export
    for (std::size_t slot = 0; slot < read.Filters.size(); ++slot)
        read.Filters[slot] = WholeNumber(settings.Read(section, kFilterKeys[slot], "1"));
    return read;
}

void WritePreferences(ISettings &settings, const Preferences &preferences, int jobType) {
    settings.Write(kSectionPreferences, "ToleranceHz", FormatDecimals(preferences.ToleranceHz, 3));
    settings.Write(kSectionPreferences, "ToleranceVt", FormatDecimals(preferences.ToleranceVt, 3));
    const std::string section = ConverterSection();
    settings.Write(section, "LinearUnits", std::to_string(preferences.LinearUnits));
    const bool rail = jobType == jobRailSingle || jobType == jobRailDouble;
    for (std::size_t slot = 0; slot < (rail ? 4u : 3u); ++slot)
        settings.Write(section, kFilterKeys[slot], std::to_string(preferences.Filters[slot]));
}

std::string RememberedFileKey(int page, int slot) {
    return "Page" + std::to_string(page) + "File" + std::to_string(slot);
}

std::string RememberedOptionKey(int page) { return RememberedFileKey(page, 2) + "Option"; }

std::string LinearUnitAbbreviation(int unit) {
    return unit >= 1 && unit <= 8 ? kUnits[unit - 1].Abbreviation : "";
}

std::string LinearUnitToken(int unit) {
    return unit >= 1 && unit <= 8 ? kUnits[unit - 1].Token : "";
}

} // namespace vialto
