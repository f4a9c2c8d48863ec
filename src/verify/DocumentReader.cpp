#include "verify/DocumentReader.h"

#include "shell/ErrHandler.h"
#include "shell/Platform.h"

#include <pugixml.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <map>
#include <string_view>

namespace vialto {

namespace {

// What is wrong with the document and at which node; caught at the reader's
// boundary and turned into its failure text.
struct DocumentFault {
    std::string What;
    pugi::xml_node Node;
};

[[noreturn]] void Fault(const pugi::xml_node &node, std::string what) {
    throw DocumentFault{std::move(what), node};
}

// "<Curve staStart="12.5">" for messages: the element and its station.
std::string NodeLabel(const pugi::xml_node &node) {
    std::string label = std::string("<") + node.name();
    if (const pugi::xml_attribute sta = node.attribute("staStart"))
        label += std::string(" staStart=\"") + sta.value() + "\"";
    else if (const pugi::xml_attribute sta2 = node.attribute("sta"))
        label += std::string(" sta=\"") + sta2.value() + "\"";
    return label + ">";
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view TrimView(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Digits with at most one ".", of at most 15 significant digits: the integer
// they make and the power of ten to divide it by are both exact doubles, so
// one division rounds as a full decimal conversion does (and several times
// faster, for the million numbers of a long road's cross sections).
bool ParseShortDecimal(std::string_view text, double &value) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    if (text.empty() || text.size() > 16)
        return false;
    std::int64_t mantissa = 0;
    int digits = 0, decimals = 0;
    bool point = false;
    for (const char c : text) {
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            mantissa = mantissa * 10 + (c - '0');
            ++digits;
            decimals += point;
        } else {
            return false;
        }
    }
    if (digits == 0 || digits > 15)
        return false;
    static constexpr double kTens[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    value = static_cast<double>(mantissa) / kTens[decimals];
    if (negative)
        value = -value;
    return true;
}

// A number as this program writes it: optional sign, digits, ".", digits
// (an exponent is accepted too). False for anything else.
bool ParseNumber(std::string_view text, double &value) {
    text = TrimView(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    if (ParseShortDecimal(text, value))
        return true;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

double NumberAttribute(const pugi::xml_node &node, const char *name) {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute)
        Fault(node, NodeLabel(node) + " has no " + name + " attribute");
    double value = 0;
    if (!ParseNumber(attribute.value(), value))
        Fault(node,
              NodeLabel(node) + ": " + name + "=\"" + attribute.value() + "\" is not a number");
    return value;
}

double OptionalNumberAttribute(const pugi::xml_node &node, const char *name, double absent) {
    return node.attribute(name) ? NumberAttribute(node, name) : absent;
}

// A radius attribute of a Spiral: "INF" (either sign) is an infinite radius,
// given as 0.
double RadiusAttribute(const pugi::xml_node &node, const char *name) {
    const std::string_view text = TrimView(node.attribute(name).value());
    if (text == "INF" || text == "-INF")
        return 0;
    return std::abs(NumberAttribute(node, name));
}

// Every blank-separated number of a text, into `numbers` (cleared first).
void ReadNumbers(const pugi::xml_node &node, std::string_view text, std::vector<double> &numbers) {
    numbers.clear();
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
        std::size_t j = i;
        while (j < text.size() && !IsBlank(text[j]))
            ++j;
        if (j > i) {
            double value = 0;
            if (!ParseNumber(text.substr(i, j - i), value))
                Fault(node, NodeLabel(node) + ": \"" + std::string(text.substr(i, j - i)) +
                                "\" is not a number");
            numbers.push_back(value);
        }
        i = j;
    }
}

std::vector<double> Numbers(const pugi::xml_node &node, std::string_view text) {
    std::vector<double> numbers;
    ReadNumbers(node, text, numbers);
    return numbers;
}

// A figure point ("northing easting") named `tag` below the element.
DocPoint FigurePoint(const pugi::xml_node &element, const char *tag) {
    const pugi::xml_node node = element.child(tag);
    if (!node)
        Fault(element, NodeLabel(element) + " has no " + tag);
    const std::vector<double> n = Numbers(node, node.child_value());
    if (n.size() < 2)
        Fault(node, NodeLabel(element) + ": " + tag + " needs two numbers (northing easting)");
    return DocPoint{n[1], n[0]};
}

bool Clockwise(const pugi::xml_node &node) {
    const std::string_view rot = node.attribute("rot").value();
    if (rot == "cw")
        return true;
    if (rot == "ccw")
        return false;
    Fault(node, NodeLabel(node) + ": rot must be cw or ccw, not \"" + std::string(rot) + "\"");
}

DocElement ReadElement(const pugi::xml_node &node) {
    DocElement element;
    element.StaStart = OptionalNumberAttribute(node, "staStart", kNullValue);
    element.Length = OptionalNumberAttribute(node, "length", kNullValue);
    element.Desc = node.attribute("desc").value();
    element.Start = FigurePoint(node, "Start");
    element.End = FigurePoint(node, "End");
    const std::string_view name = node.name();
    if (name == "Line") {
        element.Kind = DocElementKind::Line;
    } else if (name == "Curve") {
        element.Kind = DocElementKind::Curve;
        element.Center = FigurePoint(node, "Center");
        element.Clockwise = Clockwise(node);
        element.Radius = std::abs(OptionalNumberAttribute(node, "radius", 0));
    } else {
        element.Kind = DocElementKind::Spiral;
        element.PI = FigurePoint(node, "PI");
        element.Clockwise = Clockwise(node);
        element.Length = NumberAttribute(node, "length");
        element.RadiusStart = RadiusAttribute(node, "radiusStart");
        element.RadiusEnd = RadiusAttribute(node, "radiusEnd");
        element.Constant = OptionalNumberAttribute(node, "constant", 0);
        const std::string_view type = node.attribute("spiType").value();
        if (type == "clothoid")
            element.SpiralType = DocSpiralType::Clothoid;
        else if (type == "cubic")
            element.SpiralType = DocSpiralType::Cubic;
        else
            Fault(node, NodeLabel(node) + ": spiType=\"" + std::string(type) +
                            "\" is not a transition this reader evaluates (clothoid, cubic)");
    }
    return element;
}

void ReadCoordGeom(const pugi::xml_node &geom, DocAlignment &alignment) {
    for (const pugi::xml_node &node : geom.children()) {
        if (node.type() != pugi::node_element)
            continue;
        const std::string_view name = node.name();
        if (name != "Line" && name != "Curve" && name != "Spiral")
            Fault(node, "<" + std::string(name) +
                            "> inside CoordGeom is not an element this reader evaluates");
        alignment.Elements.push_back(ReadElement(node));
    }
}

void ReadProfile(const pugi::xml_node &profile, DocAlignment &alignment) {
    for (const pugi::xml_node &prof : profile.children("ProfAlign")) {
        DocProfAlign align;
        align.Name = prof.attribute("name").value();
        for (const pugi::xml_node &node : prof.children()) {
            if (node.type() != pugi::node_element)
                continue;
            const std::string_view name = node.name();
            DocPvi pvi;
            if (name == "ParaCurve") {
                pvi.Curve = DocVerticalCurve::Parabola;
                pvi.CurveLength = NumberAttribute(node, "length");
            } else if (name == "CircCurve") {
                pvi.Curve = DocVerticalCurve::Circle;
                pvi.CurveLength = NumberAttribute(node, "length");
                pvi.CurveRadius = NumberAttribute(node, "radius");
            } else if (name != "PVI") {
                continue; // nothing else of a ProfAlign bears on its heights
            }
            const std::vector<double> n = Numbers(node, node.child_value());
            if (n.size() < 2)
                Fault(node, "<" + std::string(name) + "> needs two numbers (station elevation)");
            pvi.Station = n[0];
            pvi.Elevation = n[1];
            align.Points.push_back(pvi);
        }
        alignment.Profile.push_back(std::move(align));
    }
}

std::vector<std::string> SplitNames(std::string_view text) {
    std::vector<std::string> names;
    text = TrimView(text);
    if (text.empty())
        return names;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        names.emplace_back(TrimView(text.substr(start, comma - start)));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return names;
}

void ReadSurface(const pugi::xml_node &node, DocSurface &surface) {
    surface.Name = node.attribute("name").value();
    const pugi::xml_node list = node.child("PntList2D");
    if (list) {
        // One buffer for every list of the document: there may be tens of
        // thousands.
        static thread_local std::vector<double> n;
        ReadNumbers(list, list.child_value(), n);
        if (n.size() % 2 != 0)
            Fault(list, "<PntList2D> of surface \"" + surface.Name +
                            "\" holds an odd count of numbers (offset height pairs)");
        surface.Points.reserve(n.size() / 2);
        for (std::size_t k = 0; k + 1 < n.size(); k += 2)
            surface.Points.push_back({n[k], n[k + 1]});
    }
    for (const pugi::xml_node &feature : node.children("Feature"))
        if (std::string_view(feature.attribute("code").value()) == "SD Vertex Name")
            surface.VertexNameList = TrimView(feature.child_value());
}

void ReadCrossSects(const pugi::xml_node &sects, DocAlignment &alignment) {
    for (const pugi::xml_node &node : sects.children("CrossSect")) {
        DocCrossSect sect;
        sect.Station = NumberAttribute(node, "sta");
        sect.Name = node.attribute("name").value();
        for (const pugi::xml_node &surf : node.children("CrossSectSurf")) {
            sect.Surfaces.emplace_back();
            ReadSurface(surf, sect.Surfaces.back());
        }
        alignment.CrossSects.push_back(std::move(sect));
    }
}

void ReadTunnelProfiles(const pugi::xml_node &root, DocAlignment &alignment) {
    for (const pugi::xpath_node &profile : root.select_nodes(".//TunnelProfile")) {
        double sta = 0;
        // The editor's files may write a decimal comma; the set is copied as it is.
        std::string text = profile.node().attribute("sta").value();
        std::replace(text.begin(), text.end(), ',', '.');
        if (ParseNumber(text, sta))
            alignment.TunnelProfileStations.push_back(sta);
    }
}

DocAlignment ReadAlignment(const pugi::xml_node &node) {
    DocAlignment alignment;
    alignment.Name = node.attribute("name").value();
    alignment.Length = OptionalNumberAttribute(node, "length", kNullValue);
    alignment.StaStart = OptionalNumberAttribute(node, "staStart", kNullValue);
    for (const pugi::xml_node &child : node.children()) {
        const std::string_view name = child.name();
        if (name == "CoordGeom")
            ReadCoordGeom(child, alignment);
        else if (name == "StaEquation")
            alignment.StaEquations.push_back({NumberAttribute(child, "staAhead"),
                                              NumberAttribute(child, "staBack"),
                                              NumberAttribute(child, "staInternal")});
        else if (name == "Profile")
            ReadProfile(child, alignment);
        else if (name == "CrossSects")
            ReadCrossSects(child, alignment);
        else if (name == "TunnelProfiles")
            ReadTunnelProfiles(child, alignment);
    }
    return alignment;
}

// The layers of the plain flavour: a "SD Stringline Layers" feature holding
// one "SD Stringline Layer" feature per layer, whose text is the inclusion
// list and whose properties name it.
void ReadPlainLayers(const pugi::xml_node &group, std::vector<DocStringlineLayer> &layers) {
    for (const pugi::xml_node &feature : group.children("Feature")) {
        if (std::string_view(feature.attribute("code").value()) != "SD Stringline Layer")
            continue;
        DocStringlineLayer layer;
        layer.Stringlines = SplitNames(feature.child_value());
        for (const pugi::xml_node &property : feature.children("Property")) {
            const std::string_view label = property.attribute("label").value();
            const std::string value = property.attribute("value").value();
            if (label == "name")
                layer.Name = value;
            else if (label == "centerline")
                layer.CentreLine = value;
            else if (label == "sorted")
                layer.Sorted = value == "YES";
            else if (label == "excluded")
                layer.Excluded.push_back(value);
        }
        layers.push_back(std::move(layer));
    }
}

void ReadExtendedLayers(const pugi::xml_node &group, std::vector<DocStringlineLayer> &layers) {
    for (const pugi::xml_node &node : group.children("SDStringLineLayer")) {
        DocStringlineLayer layer;
        layer.Name = node.attribute("name").value();
        layer.Stringlines = SplitNames(node.attribute("inclStringlines").value());
        layer.CentreLine = node.attribute("centreLine").value();
        layer.Sorted = std::string_view(node.attribute("sorted").value()) == "true";
        layer.Excluded = SplitNames(node.attribute("excluded").value());
        layers.push_back(std::move(layer));
    }
}

// The extended root mirrors the alignments and cross sections of the document
// with the stringline names hung into them: each mirrored CrossSect is matched
// with the main part's CrossSect of the same alignment, in order, and must
// stand at the same station.
void ReadExtendedRoot(const pugi::xml_node &root, ReadBackDocument &document) {
    document.Extended = true;
    std::map<std::string, std::size_t> used; // cross sections matched per alignment name
    for (const pugi::xml_node &alignments : root.children("Alignments")) {
        for (const pugi::xml_node &node : alignments.children("Alignment")) {
            const std::string name = node.attribute("name").value();
            auto found = std::find_if(document.Alignments.begin(), document.Alignments.end(),
                                      [&](const DocAlignment &a) { return a.Name == name; });
            if (found == document.Alignments.end())
                Fault(node, "the extended part names alignment \"" + name +
                                "\", which the document does not hold");
            std::size_t &next = used[name];
            for (const pugi::xml_node &sect : node.children("CrossSect")) {
                if (next >= found->CrossSects.size())
                    Fault(sect, "the extended part holds more cross sections for \"" + name +
                                    "\" than the document");
                DocCrossSect &main = found->CrossSects[next++];
                if (std::abs(NumberAttribute(sect, "sta") - main.Station) > 1e-9)
                    Fault(sect, NodeLabel(sect) + " of the extended part does not match " +
                                    "the document's cross section at " +
                                    FormatDecimals(main.Station, 6));
                std::size_t surfaceIndex = 0;
                for (const pugi::xml_node &surf : sect.children("CrossSectSurf")) {
                    if (surfaceIndex >= main.Surfaces.size())
                        Fault(surf, NodeLabel(sect) + ": the extended part holds more surfaces");
                    DocSurface &surface = main.Surfaces[surfaceIndex++];
                    if (const pugi::xml_node names = surf.child("SDVertexName"))
                        surface.VertexNameList = TrimView(names.child_value());
                }
            }
        }
        for (const pugi::xml_node &group : alignments.children("SDStringLineLayers"))
            ReadExtendedLayers(group, document.StringlineLayers);
    }
    for (const pugi::xml_node &group : root.children("SDStringLineLayers"))
        ReadExtendedLayers(group, document.StringlineLayers);
}

void ReadDocument(const pugi::xml_node &root, ReadBackDocument &document) {
    if (std::string_view(root.name()) != "LandXML")
        Fault(root, "the root element is <" + std::string(root.name()) + ">, not <LandXML>");
    if (const pugi::xml_node units = root.child("Units")) {
        const pugi::xml_node unit = units.first_child();
        document.LinearUnit = unit.attribute("linearUnit").value();
    }
    for (const pugi::xml_node &alignments : root.children("Alignments")) {
        for (const pugi::xml_node &node : alignments.children()) {
            const std::string_view name = node.name();
            if (name == "Alignment")
                document.Alignments.push_back(ReadAlignment(node));
            else if (name == "Feature" &&
                     std::string_view(node.attribute("code").value()) == "SD Stringline Layers")
                ReadPlainLayers(node, document.StringlineLayers);
        }
    }
    if (const pugi::xml_node extended = root.child("OstremLandXML"))
        ReadExtendedRoot(extended, document);
}

// The 1-based line of a byte offset of the text.
long LineOfOffset(const std::string &text, std::ptrdiff_t offset) {
    if (offset < 0)
        return 0;
    const std::size_t end = std::min(static_cast<std::size_t>(offset), text.size());
    return 1 +
           static_cast<long>(std::count(text.begin(), text.begin() + static_cast<long>(end), '\n'));
}

} // namespace

std::vector<std::string> DocVertexNames(const DocSurface &surface) {
    return SplitNames(surface.VertexNameList);
}

bool ParseLandXmlDocument(std::string &text, ReadBackDocument &document, std::string &failure) {
    failure.clear();
    document = ReadBackDocument{};
    const bool ok = Guarded("ReadLandXmlDocument", false, [&] {
        pugi::xml_document xml;
        // In place, and without line-end normalisation: the text is ours to
        // use up, and every value read is trimmed anyway.
        // PCDATA kept inside its element: half the nodes for a document made
        // of short texts.
        const pugi::xml_parse_result parsed =
            xml.load_buffer_inplace(text.data(), text.size(),
                                    (pugi::parse_default | pugi::parse_embed_pcdata) &
                                        ~pugi::parse_eol & ~pugi::parse_wconv_attribute,
                                    pugi::encoding_utf8);
        if (!parsed) {
            failure = std::string("not well-formed XML: ") + parsed.description() + " at line " +
                      std::to_string(LineOfOffset(text, parsed.offset));
            return false;
        }
        try {
            ReadDocument(xml.document_element(), document);
        } catch (const DocumentFault &fault) {
            // Parsing in place only rewrote characters inside values, so the
            // line ends before the node's offset are still those of the file.
            failure = fault.What + " (line " +
                      std::to_string(LineOfOffset(text, fault.Node.offset_debug())) + ")";
            return false;
        }
        return true;
    });
    if (!ok && failure.empty())
        failure = "the document could not be read (see the log)";
    if (!ok)
        document = ReadBackDocument{};
    return ok;
}

bool ReadLandXmlDocument(const std::filesystem::path &path, ReadBackDocument &document,
                         std::string &failure) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        failure = "cannot read " + PathText(path) + ": " + error.message();
        return false;
    }
    if (size > kMaxReadBackBytes) {
        failure = PathText(path) + " is larger than " +
                  std::to_string(kMaxReadBackBytes / (1024 * 1024)) + " MB";
        return false;
    }
    std::string text(static_cast<std::size_t>(size), '\0');
    std::ifstream file(path, std::ios::binary);
    if (!file || !file.read(text.data(), static_cast<std::streamsize>(size))) {
        failure = "cannot read " + PathText(path);
        return false;
    }
    return ParseLandXmlDocument(text, document, failure);
}

} // namespace vialto
