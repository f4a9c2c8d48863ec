#include "editors/CantEditing.h"

#include "railtunnel/Superelevation.h"
#include "shell/Text.h"

#include <cmath>
#include <utility>

namespace vialto::editors {
namespace {

const std::vector<std::string> kRotationPoints = {"insideRail", "outsideRail", "center", "leftRail",
                                                  "rightRail"};
const std::vector<std::string> kInterpolations = {"linear", "cubic", "reverseCurve"};

std::string VersionComment() {
    return std::string(" Cant table written by Cantrix. File format version '") +
           kCantFormatVersion + "' ";
}

std::shared_ptr<const TableDef> MakeDef(bool twoRails, bool doubleTrack) {
    auto s = std::make_shared<TableDef>();
    s->RootName = "Cant";
    s->RowName = "CantStation";
    s->Header = {
        {"name", "Track name", FieldKind::Text, false, false, {}, {}},
        {"gauge", "Gauge (m)", FieldKind::Number, true, false, {}, {}},
        {"superelevationBase", "Superelevation base (m)", FieldKind::Number, true, false, {}, {}},
        {"rotationPoint", "Rotation point", FieldKind::Choice, true, false, kRotationPoints, {}},
        // Only a track of a double track has another track to share its plane with.
        {"coPlane", "Co-planar with the other track", FieldKind::Flag, true, !doubleTrack, {}, {}},
        {"stationType",
         "Stations measured along",
         FieldKind::Choice,
         false,
         false,
         {"centreline", "chainageCentreline"},
         {}},
        {"widthExcessType",
         "Gauge widening on",
         FieldKind::Choice,
         false,
         false,
         {"highestRail", "lowestRail", "halfToBothRails"},
         {}},
        {"version", "Format version", FieldKind::Text, false, true, {}, {}},
    };
    const FieldDef station{"station", "Station (m)", FieldKind::Number, true, false, {}, {}};
    const FieldDef interpolation{"cantInterpolation",
                                 "Transition to next",
                                 FieldKind::Choice,
                                 false,
                                 false,
                                 kInterpolations,
                                 {}};
    const FieldDef widening{
        "widthExcess", "Gauge widening (mm)", FieldKind::Number, false, false, {}, {}};
    if (twoRails) {
        s->Columns = {
            station,
            {"appliedCantLeft", "Left rail cant (mm)", FieldKind::Number, true, false, {}, {}},
            {"appliedCantRight", "Right rail cant (mm)", FieldKind::Number, true, false, {}, {}},
            interpolation,
            widening};
        s->BlankRow = {"0.000", "0", "0", "linear", ""};
    } else {
        s->Columns = {station,
                      {"appliedCant", "Cant (mm)", FieldKind::Number, true, false, {}, {}},
                      {"rotationPoint",
                       "Rotation point",
                       FieldKind::Choice,
                       true,
                       false,
                       kRotationPoints,
                       {}},
                      interpolation,
                      widening};
        s->BlankRow = {"0.000", "0", "insideRail", "linear", ""};
    }
    s->Stamp = {{"version", kCantFormatVersion}};
    s->VersionComment = VersionComment();
    return s;
}

// The form is decided on the first station, as the converter decides it.
std::shared_ptr<const TableDef> ChooseDef(const pugi::xml_document &xml, bool doubleTrack) {
    static const std::shared_ptr<const TableDef> defs[2][2] = {
        {MakeDef(false, false), MakeDef(false, true)}, {MakeDef(true, false), MakeDef(true, true)}};
    const pugi::xml_node first = xml.document_element().select_node(".//CantStation").node();
    const bool twoRails = first && !first.attribute("appliedCant");
    return defs[twoRails ? 1 : 0][doubleTrack ? 1 : 0];
}

std::string TemplateText() {
    const std::string station =
        "  <CantStation station=\"%\" appliedCant=\"0\" rotationPoint=\"insideRail\" "
        "cantInterpolation=\"linear\"/>\n";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!--" + VersionComment() +
           "-->\n"
           "<Cant gauge=\"1.435\" superelevationBase=\"1.500\" rotationPoint=\"insideRail\" "
           "coPlane=\"false\" stationType=\"centreline\" widthExcessType=\"highestRail\" "
           "version=\"" +
           kCantFormatVersion + "\">\n" + ReplaceAll(station, "%", "0.000") +
           ReplaceAll(station, "%", "100.000") + "</Cant>\n";
}

ReaderVerdict AskReader(const std::string &path) {
    return RunReader([&](std::string &summary) {
        clsSuperelevation table;
        if (!table.Import(path, unitMetre))
            return false;
        const std::size_t count = table.Stations().size();
        const bool twoRails = table.Stations().front().RotationPoint == rotLeftRightForm;
        summary = std::to_string(count) + (count == 1 ? " station" : " stations") + " from " +
                  FormatDecimals(table.GetChainageStart(), 3) + " to " +
                  FormatDecimals(table.GetChainageEnd(), 3) + " m, " +
                  (twoRails ? "a cant for each rail" : "one cant per station") +
                  ", format version " + (table.Version().empty() ? "none" : table.Version()) +
                  (table.Version() == kCantFormatVersion
                       ? std::string()
                       : std::string(" (saving writes ") + kCantFormatVersion + ")") +
                  ".";
        return true;
    });
}

double Number(const std::string &text) { return ParseDecimal(Trim(text)); }

// The rules the rail computation relies on: a track to measure on, stations in
// order, and no cant steeper than the base can carry (its arc sine).
std::string Problem(const TableDocument &table) {
    if (table.Rows.empty())
        return "The table needs at least one station";
    const double gauge = Number(table.Header[cantGauge]);
    const double base = Number(table.Header[cantBase]);
    if (!(gauge > 0))
        return "Gauge (m): the gauge must be more than 0";
    if (!(base > 0))
        return "Superelevation base (m): the base must be more than 0";
    const bool twoRails = table.Def->Columns[cantApplied].Attribute == "appliedCantLeft";
    const double baseMm = base * 1000;
    for (std::size_t r = 0; r < table.Rows.size(); ++r) {
        const std::vector<std::string> &cells = table.Rows[r].Cells;
        const std::string row = "Row " + std::to_string(r + 1);
        if (r > 0 && Number(cells[cantStation]) < Number(table.Rows[r - 1].Cells[cantStation]))
            return row + ": the station " + Trim(cells[cantStation]) + " lies before the station " +
                   Trim(table.Rows[r - 1].Cells[cantStation]) + " of the row above";
        const double cant = twoRails
                                ? Number(cells[cantApplied]) - Number(cells[cantRotationOrRight])
                                : Number(cells[cantApplied]);
        if (std::fabs(cant) > baseMm)
            return row + ": a cant of " + FormatDecimals(std::fabs(cant), 1) +
                   " mm is more than the superelevation base (" + FormatDecimals(baseMm, 1) +
                   " mm)";
    }
    return {};
}

} // namespace

EditorKind CantKind(bool doubleTrack) {
    EditorKind kind;
    kind.Program = "Cantrix";
    kind.FileKind = "cant table";
    kind.Filter = "Cant tables (*.xml)";
    kind.ProposedName = "cant_table.xml";
    kind.ChooseDef = [doubleTrack](const pugi::xml_document &xml) {
        return ChooseDef(xml, doubleTrack);
    };
    kind.TemplateText = TemplateText;
    kind.AskReader = AskReader;
    kind.Problem = Problem;
    return kind;
}

} // namespace vialto::editors
