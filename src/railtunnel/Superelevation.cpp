// Reading of the cant table and the cross slope it gives along the track.
#include "railtunnel/Superelevation.h"

#include "geometry/HzGeometry.h"
#include "railtunnel/XmlInputFile.h"
#include "shell/ErrHandler.h"
#include "shell/Error.h"
#include "shell/Text.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vialto {
namespace {

// Units per metre of the codes 1..8 (index 0 unused).
constexpr std::array<double, 9> kUnitsPerMetre = {
    0, 1000, 100, 1, 0.001, 3.280839895, 3937.0 / 1200.0, 39.37007874, 0.0006213711922};

// The base name of an element (without a namespace prefix).
std::string_view BaseName(const pugi::xml_node &node) {
    const std::string_view name = node.name();
    const std::size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// The version comment must quote a version whose middle number is 0 to 3: a
// quote, anything, "." + digit 0..3 + ".", anything, a quote.
bool IsKnownVersionComment(std::string_view text) {
    const std::size_t open = text.find('\'');
    const std::size_t close = text.rfind('\'');
    if (open == std::string_view::npos || close == open)
        return false;
    const std::string_view inside = text.substr(open + 1, close - open - 1);
    for (std::size_t i = 0; i + 3 <= inside.size(); ++i)
        if (inside[i] == '.' && inside[i + 1] >= '0' && inside[i + 1] <= '3' &&
            inside[i + 2] == '.')
            return true;
    return false;
}

// A required attribute: its text, or error 10011 naming it, its place and the
// file.
std::string Required(const pugi::xml_node &node, const char *name, const std::string &text,
                     const std::string &fileName) {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute)
        RaiseError(errNoValidFile, "The <" + std::string(node.name()) + "> element at " +
                                       XmlInputPlace(text, node.offset_debug()) + " of " +
                                       fileName + " has no " + name + " attribute");
    return attribute.value();
}

} // namespace

double LinearUnitFactor(int from, int to) {
    if (from == to || from == 0 || to == 0)
        return 1;
    if (from < 0 || from > 8 || to < 0 || to > 8)
        RaiseRuntime(errSubscript,
                     "linear unit code " + std::to_string(from < 0 || from > 8 ? from : to));
    return kUnitsPerMetre[static_cast<std::size_t>(to)] /
           kUnitsPerMetre[static_cast<std::size_t>(from)];
}

CantRotation ParseRotationPoint(std::string_view text) {
    if (text == "insideRail")
        return rotInsideRail;
    if (text == "outsideRail")
        return rotOutsideRail;
    if (text == "center")
        return rotCenter;
    if (text == "leftRail")
        return rotLeftRail;
    if (text == "rightRail")
        return rotRightRail;
    return rotLeftRightForm;
}

CantStationType ParseStationType(std::string_view text) {
    return text == "chainageCentreline" ? stationChainageCentreline : stationCentreline;
}

CantInterpolationKind ParseCantInterpolation(std::string_view text) {
    if (text == "cubic")
        return interpCubic;
    if (text == "reverseCurve")
        return interpReverseCurve;
    return interpLinear;
}

CantWidthExcessType ParseWidthExcessType(std::string_view text) {
    if (text == "lowestRail")
        return widthLowestRail;
    if (text == "halfToBothRails")
        return widthHalfToBothRails;
    return widthHighestRail;
}

bool clsSuperelevation::Import(const std::string &fileName, int linearUnit) {
    return Guarded("ImportSuperelevationTable", false, [&] {
        Trace(">> ImportSuperelevationTable");
        const std::string text = ReadXmlInputText(fileName, errSameName, errSameName);
        pugi::xml_document doc;
        ParseXmlInput(doc, text,
                      pugi::parse_default | pugi::parse_declaration | pugi::parse_comments |
                          pugi::parse_pi | pugi::parse_doctype,
                      errSameName, fileName);

        const pugi::xml_node second = doc.first_child().next_sibling();
        if (second.type() == pugi::node_doctype)
            RaiseError(errFileSuper, "The second node of " + fileName +
                                         " is a document type declaration, not the comment that "
                                         "names the cant table version");
        if (second.type() != pugi::node_comment)
            RaiseError(errFileSuper, "The second node of " + fileName +
                                         " is not the comment that names the cant table version");
        RefuseEntities(doc, text, errSameName, fileName);
        if (!IsKnownVersionComment(second.value()))
            RaiseError(errFileSuperVersion, "Unknown cant table version in the comment '" +
                                                std::string(second.value()) + "'");

        const pugi::xml_node root = doc.document_element();
        if (BaseName(root) != "Cant")
            RaiseError(errNoValidFile, "The root element of " + fileName + " is <" +
                                           std::string(root.name()) + ">, not <Cant>");

        // Built aside and kept only when the whole file was read.
        CantTableData table;
        const double lengthFactor = LinearUnitFactor(unitMetre, linearUnit);
        const double cantFactor = LinearUnitFactor(unitMillimetre, linearUnit);
        table.Gauge = ParseDecimal(Required(root, "gauge", text, fileName)) * lengthFactor;
        table.SuperelevationBase =
            ParseDecimal(Required(root, "superelevationBase", text, fileName)) * lengthFactor;
        table.RotationPoint = ParseRotationPoint(Required(root, "rotationPoint", text, fileName));
        table.IsCoplaneTrack = Required(root, "coPlane", text, fileName) == "true";
        table.StationType = ParseStationType(root.attribute("stationType").value());
        table.WidthExcessType = ParseWidthExcessType(root.attribute("widthExcessType").value());
        table.Version = root.attribute("version").value();

        const pugi::xpath_node_set nodes = root.select_nodes(".//CantStation");
        if (nodes.empty())
            RaiseError(errNotFillAll,
                       "The cant table " + fileName + " has no <CantStation> elements");
        const bool leftRightForm = !nodes.first().node().attribute("appliedCant");
        table.Stations.reserve(nodes.size());
        for (const pugi::xpath_node &item : nodes) {
            const pugi::xml_node node = item.node();
            CantStation station;
            station.Station =
                ParseDecimal(Required(node, "station", text, fileName)) * lengthFactor;
            if (leftRightForm) {
                station.AppliedCantLeft =
                    ParseDecimal(Required(node, "appliedCantLeft", text, fileName)) * cantFactor;
                station.AppliedCantRight =
                    ParseDecimal(Required(node, "appliedCantRight", text, fileName)) * cantFactor;
                station.RotationPoint = rotLeftRightForm;
            } else {
                station.AppliedCant =
                    ParseDecimal(Required(node, "appliedCant", text, fileName)) * cantFactor;
                station.RotationPoint =
                    ParseRotationPoint(Required(node, "rotationPoint", text, fileName));
            }
            station.CantInterpolation =
                ParseCantInterpolation(node.attribute("cantInterpolation").value());
            station.WidthExcess = ParseDecimal(node.attribute("widthExcess").value()) * cantFactor;
            table.Stations.push_back(station);
        }
        data_ = std::move(table);
        stationsAscend_ = StationsAscend(data_.Stations);
        Trace("<< ImportSuperelevationTable");
        return true;
    });
}

double clsSuperelevation::GetChainageStart() const { return data_.Stations.at(0).Station; }

double clsSuperelevation::GetChainageEnd() const {
    if (data_.Stations.empty())
        RaiseRuntime(errSubscript, "the cant table has no stations");
    return data_.Stations.back().Station;
}

std::vector<double> clsSuperelevation::GetChainages() const {
    std::vector<double> chainages;
    chainages.reserve(data_.Stations.size());
    for (const CantStation &station : data_.Stations)
        chainages.push_back(station.Station);
    return chainages;
}

bool clsSuperelevation::StationsAscend(const std::vector<CantStation> &stations) {
    for (std::size_t i = 0; i < stations.size(); ++i)
        if (std::isnan(stations[i].Station) ||
            (i > 0 && stations[i].Station < stations[i - 1].Station))
            return false;
    return true;
}

long clsSuperelevation::FindStation(double chainage) const {
    const auto &stations = data_.Stations;
    if (stationsAscend_ && !std::isnan(chainage)) {
        // The first station not before the chainage is where the scan below
        // stops.
        const auto stop = std::lower_bound(
            stations.begin(), stations.end(), chainage,
            [](const CantStation &station, double c) { return station.Station < c; });
        const long i = static_cast<long>(stop - stations.begin());
        if (stop == stations.end())
            return i - 1;
        return stop->Station == chainage ? i : i - 1;
    }
    for (std::size_t i = 0; i < stations.size(); ++i) {
        if (stations[i].Station > chainage)
            return static_cast<long>(i) - 1;
        if (stations[i].Station == chainage)
            return static_cast<long>(i);
    }
    return static_cast<long>(stations.size()) - 1;
}

double clsSuperelevation::InterpolateCant(double x, double x0, double x1, double y0, double y1,
                                          CantInterpolationKind kind) {
    const double s = x - x0;
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    switch (kind) {
    case interpCubic:
        if (dx == 0)
            return y0;
        return y0 + (3 * dy / (dx * dx)) * s * s + (-2 * dy / (dx * dx * dx)) * s * s * s;
    case interpReverseCurve: {
        if (dx == 0 || dy == 0)
            return y0;
        // Two arcs of radius R = c / (4 sin(atan(dy/dx))) = c^2 / (4 |dy|), level
        // at their stations, meeting at the midpoint. The rise R - sqrt(R^2 - u^2)
        // is written as u^2 / (R + sqrt(R^2 - u^2)) so that a small cant change
        // over a long run keeps its digits.
        const double c = std::sqrt(dx * dx + dy * dy);
        const double radius = std::abs(c / (4 * std::sin(std::atan(dy / dx))));
        const double sigma = y1 >= y0 ? 1.0 : -1.0;
        const auto rise = [radius](double u) {
            return u * u / (radius + std::sqrt(std::max(0.0, radius * radius - u * u)));
        };
        if (s <= dx / 2)
            return y0 + sigma * rise(s);
        return y1 - sigma * rise(x - x1);
    }
    case interpLinear:
    default:
        if (dx == 0)
            return y0;
        return y0 + dy * s / dx;
    }
}

double clsSuperelevation::GetSlopeInChainage(double chainage) const {
    const long i = FindStation(chainage);
    if (i < 0)
        return 0;
    const auto &stations = data_.Stations;
    const CantStation &here = stations.at(static_cast<std::size_t>(i));
    const bool between = chainage != here.Station && i + 1 < static_cast<long>(stations.size());
    const auto value = [&](double CantStation::*field) {
        if (!between)
            return here.*field;
        const CantStation &next = stations[static_cast<std::size_t>(i) + 1];
        return InterpolateCant(chainage, here.Station, next.Station, here.*field, next.*field,
                               here.CantInterpolation);
    };
    const double rise =
        here.RotationPoint != rotLeftRightForm
            ? value(&CantStation::AppliedCant)
            : value(&CantStation::AppliedCantLeft) - value(&CantStation::AppliedCantRight);
    const double ratio = Divide(rise, data_.SuperelevationBase);
    // A cant as large as the base stands the track on its side; anything larger
    // is not a cant at all.
    if (std::abs(ratio) > 1 + kArcSinTolerance)
        RaiseRuntime(errInvalidCall, "the cant at chainage " + FormatDecimals(chainage, 4) +
                                         " exceeds the superelevation base");
    if (std::abs(ratio) >= 1)
        return ratio > 0 ? kHalfPi : -kHalfPi;
    return ArcSin(ratio);
}

std::shared_ptr<clsSuperelevation> GetAligmentSup(SlotNumber slot) {
    return std::any_cast<std::shared_ptr<clsSuperelevation>>(GetAligmentShared(slot, flagSup));
}

void SetAligmentSup(SlotNumber slot, std::shared_ptr<clsSuperelevation> table) {
    SetAligmentShared(slot, flagSup, std::move(table));
}

} // namespace vialto
