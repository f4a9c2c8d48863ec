#include "landxml/LandXmlHead.h"

#include "landxml/LandXmlWriter.h"
#include "shell/AppModel.h"
#include "shell/ErrHandler.h"
#include "shell/Text.h"

#include <array>
#include <string_view>

namespace vialto {

namespace {

struct UnitNames {
    std::string_view Linear, Area, Volume;
};

// Linear unit codes 1..8: four metric, then four imperial.
constexpr std::array<UnitNames, 8> kUnits = {{
    {"millimeter", "squareMillimeter", "cubicMeter"},
    {"centimeter", "squareCentimeter", "cubicMeter"},
    {"meter", "squareMeter", "cubicMeter"},
    {"kilometer", "hectare", "hectareMeter"},
    {"foot", "squareFoot", "cubicFeet"},
    {"USSurveyFoot", "squareFoot", "cubicFeet"},
    {"inch", "squareInch", "cubicInch"},
    {"mile", "squareMiles", "cubicFeet"},
}};

} // namespace

bool TagLandXML(bool close) {
    LandXmlWriterState &state = LandXmlWriter();
    if (!close) {
        Trace(">> TagLandXML");
        if (!IsFileOpen() && !OpenFile())
            return false;
        bool written = WriteLn(R"(<?xml version="1.0" encoding="utf-8"?>)");
        written = WriteLn(std::string("<LandXML xmlns=\"") + kLandXmlNamespace + "\" xmlns:xsi=\"" +
                          kXsiNamespace + "\" xsi:schemaLocation=\"" + kLandXmlNamespace + " " +
                          kLandXmlSchemaLocation +
                          R"(" version="1.2" date="2000-01-01" time="00:00:01")"
                          R"( readOnly="false" language="English">)") &&
                  written;
        if (AppModel().IsOstXML)
            written = TagOstremLandXML(false) && written;
        state.MainLevel = 1;
        Trace("<< TagLandXML");
        return written;
    }
    // The extended root goes in as the last child of LandXML, with the
    // indentation it got in the side file.
    bool merged = true;
    if (AppModel().IsOstXML)
        merged = TagOstremLandXML(true) && MergeSideFile();
    if (state.MainLevel > 0)
        --state.MainLevel;
    // A document whose extended part was lost is not whole either.
    state.RootClosed = WriteLn("</LandXML>") && merged;
    return state.RootClosed;
}

bool TagApplication(const std::string &createdBy) {
    const ProgramVersion version = GetProgramVersion();
    return WriteLnAt(std::string(R"(<Application name="Stridon Converters" version=")") +
                     std::to_string(version.Major) + "." + std::to_string(version.Minor) + "." +
                     std::to_string(version.Revision) +
                     R"(" manufacturer="Ostrem Systems" manufacturerURL=")" + kMakerUrl +
                     R"("><Author createdBy=")" + XmlText(createdBy) + R"(" /></Application>)");
}

bool TagProject(const std::string &name, const std::string &desc) {
    return WriteLnAt("<Project name=\"" + XmlText(name) + "\" desc=\"" + XmlText(desc) + "\" />");
}

bool TagUnits(int linearUnits) {
    return Guarded("CLandXML.TagUnits", false, [&] {
        if (linearUnits < 1 || linearUnits > 8)
            RaiseRuntime(errInvalidCall, "linear unit code " + std::to_string(linearUnits));
        const UnitNames &unit = kUnits[static_cast<std::size_t>(linearUnits - 1)];
        const bool metric = linearUnits <= 4;
        std::string line = metric ? "<Metric" : "<Imperial";
        line += " areaUnit=\"" + std::string(unit.Area) + "\" linearUnit=\"" +
                std::string(unit.Linear) + "\" volumeUnit=\"" + std::string(unit.Volume) + "\"";
        line += metric ? R"( temperatureUnit="celsius" pressureUnit="HPA" />)"
                       : R"( temperatureUnit="fahrenheit" pressureUnit="inHG" />)";
        bool written = WriteLnOpen("<Units>");
        written = WriteLnAt(line) && written;
        return WriteLnClose("</Units>") && written;
    });
}

bool TagOstremLandXML(bool close) {
    if (close)
        return WriteLnCloseOst("</OstremLandXML>");
    SetSideLevel(1);
    return WriteLnOpenOst(std::string("<OstremLandXML xmlns=\"") + kOstremNamespace +
                          "\" xsi:schemaLocation=\"" + kOstremNamespace + " " +
                          kOstremSchemaLocation + "\" xmlns:landxml=\"" + kLandXmlNamespace +
                          "\">");
}

} // namespace vialto
