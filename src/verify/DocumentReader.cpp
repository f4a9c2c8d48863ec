#include "verify/DocumentReader.h"

#include "shell/ErrHandler.h"
#include "shell/Platform.h"
#include "shell/Text.h"
#include "shell/WorkSplit.h"
#include "verify/CrossSectText.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

namespace vialto {

namespace {

// What is wrong with the document and at which node; caught at the reader's
// boundary and turned into its failure text.
struct DocumentFault {
    std::string What;
    pugi::xml_node Node;
    long Line = 0; // where no node is at hand: the line itself
};

[[noreturn]] void Fault(const pugi::xml_node &node, std::string what) {
    throw DocumentFault{std::move(what), node};
}

[[noreturn]] void FaultAt(long line, std::string what) {
    throw DocumentFault{std::move(what), {}, line};
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

// A number as this program writes it: optional sign, digits, ".", digits
// (an exponent is accepted too). False for anything else.
bool ParseNumber(std::string_view text, double &value) {
    text = TrimView(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    const auto [end, error] = ReadDecimal(text.data(), text.data() + text.size(), value);
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

// Every blank-separated number of [p, end), into `numbers` (cleared first);
// false, with the token, at one that is no number. The forms this program
// writes are read by ReadDecimals; any other form of a token (a "+" before
// it) is left to ParseNumber.
bool ReadTokens(const char *p, const char *end, std::vector<double> &numbers,
                std::string_view &bad) {
    numbers.clear();
    while ((p = ReadDecimals(p, end, numbers)) != end) {
        const char *const start = p;
        while (p < end && !IsBlank(*p))
            ++p;
        const std::string_view token(start, static_cast<std::size_t>(p - start));
        double value = 0;
        if (!ParseNumber(token, value)) {
            bad = token;
            return false;
        }
        numbers.push_back(value);
    }
    return true;
}

// Every blank-separated number of a text, into `numbers` (cleared first).
void ReadNumbers(const pugi::xml_node &node, std::string_view text, std::vector<double> &numbers) {
    std::string_view bad;
    if (!ReadTokens(text.data(), text.data() + text.size(), numbers, bad))
        Fault(node, NodeLabel(node) + ": \"" + std::string(bad) + "\" is not a number");
}

// The numbers of the node's text, in a buffer of the thread's own (a
// document holds tens of thousands of figure points and vertices).
const std::vector<double> &Numbers(const pugi::xml_node &node) {
    static thread_local std::vector<double> numbers;
    ReadNumbers(node, node.child_value(), numbers);
    return numbers;
}

// A figure point ("northing easting") named `tag` below the element.
DocPoint FigurePoint(const pugi::xml_node &element, const char *tag) {
    const pugi::xml_node node = element.child(tag);
    if (!node)
        Fault(element, NodeLabel(element) + " has no " + tag);
    const std::vector<double> &n = Numbers(node);
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
    // Room for all at once: a long alignment holds thousands of elements.
    const auto children = geom.children();
    const auto count = static_cast<std::size_t>(std::distance(children.begin(), children.end()));
    alignment.Elements.reserve(alignment.Elements.size() + count);
    for (const pugi::xml_node &node : children) {
        if (node.type() != pugi::node_element)
            continue;
        const std::string_view name = node.name();
        if (name != "Line" && name != "Curve" && name != "Spiral")
            Fault(node, "<" + std::string(name) +
                            "> inside CoordGeom is not an element this reader evaluates");
        alignment.Elements.push_back(ReadElement(node));
    }
}

DocProfAlign ReadProfAlign(const pugi::xml_node &prof) {
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
        const std::vector<double> &n = Numbers(node);
        if (n.size() < 2)
            Fault(node, "<" + std::string(name) + "> needs two numbers (station elevation)");
        pvi.Station = n[0];
        pvi.Elevation = n[1];
        align.Points.push_back(pvi);
    }
    return align;
}

// The profile's ProfAligns: those cut out of the text as parts, already read
// (`cut`, which may be null), then any left in the skeleton.
void ReadProfile(const pugi::xml_node &profile, std::vector<DocProfAlign> *cut,
                 DocAlignment &alignment) {
    if (cut)
        for (DocProfAlign &align : *cut)
            alignment.Profile.push_back(std::move(align));
    for (const pugi::xml_node &prof : profile.children("ProfAlign"))
        alignment.Profile.push_back(ReadProfAlign(prof));
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

// The surface's record, reusing the storage `surface` already holds.
void ReadSurface(const pugi::xml_node &node, DocSurface &surface, bool names) {
    surface.Name = node.attribute("name").value();
    surface.Points.clear();
    surface.VertexNameList.clear();
    if (const pugi::xml_node list = node.child("PntList2D")) {
        const std::vector<double> &n = Numbers(list);
        if (n.size() % 2 != 0)
            Fault(list, "<PntList2D> of surface \"" + surface.Name +
                            "\" holds an odd count of numbers (offset height pairs)");
        surface.Points.reserve(n.size() / 2);
        for (std::size_t k = 0; k + 1 < n.size(); k += 2)
            surface.Points.push_back({n[k], n[k + 1]});
    }
    if (names)
        for (const pugi::xml_node &feature : node.children("Feature"))
            if (std::string_view(feature.attribute("code").value()) == "SD Vertex Name")
                surface.VertexNameList = TrimView(feature.child_value());
}

// The cross section's record, reusing the storage `sect` already holds.
void ReadCrossSect(const pugi::xml_node &node, DocCrossSect &sect, bool names) {
    sect.Station = NumberAttribute(node, "sta");
    sect.Name = names ? node.attribute("name").value() : "";
    std::size_t count = 0;
    for (const pugi::xml_node &surf : node.children("CrossSectSurf")) {
        if (count == sect.Surfaces.size())
            sect.Surfaces.emplace_back();
        ReadSurface(surf, sect.Surfaces[count++], names);
    }
    sect.Surfaces.resize(count);
}

// A cross section of the extended root: the stringline names of the main
// part's cross section of the same alignment and place.
struct MirrorSect {
    std::size_t Alignment = 0; // its alignment's place among the extended root's
    std::string StaText;       // the sta attribute as written
    double Station = 0;
    long Line = 0;
    std::vector<long> SurfaceLines; // the line of each surface
    // With names: each surface's names (none where it has no SDVertexName).
    std::vector<std::optional<std::string>> Names;
};

// The number of line ends in text[0, offset). Counted in runs of at most
// 255 bytes into one byte, which the compiler turns into vector code: the
// reader counts every line end of the document.
long LineEndsBefore(const char *text, std::size_t offset) {
    long count = 0;
    while (offset > 0) {
        const std::size_t run = std::min<std::size_t>(offset, 255);
        unsigned char ends = 0;
        for (std::size_t i = 0; i < run; ++i)
            ends += static_cast<unsigned char>(text[i] == '\n');
        count += ends;
        text += run;
        offset -= run;
    }
    return count;
}

// Reads the mirrored cross section; its lines relative to the part's start.
void ReadMirrorSect(const pugi::xml_node &node, const char *text, MirrorSect &sect, bool names) {
    sect.StaText = node.attribute("sta").value();
    sect.Station = NumberAttribute(node, "sta");
    for (const pugi::xml_node &surf : node.children("CrossSectSurf")) {
        sect.SurfaceLines.push_back(
            LineEndsBefore(text, static_cast<std::size_t>(surf.offset_debug())));
        if (!names)
            continue;
        if (const pugi::xml_node list = surf.child("SDVertexName"))
            sect.Names.emplace_back(std::string(TrimView(list.child_value())));
        else
            sect.Names.emplace_back();
    }
}

// The offset-height pairs of a PntList2D's text; false where it is not an
// even count of numbers.
bool ReadPointPairs(std::string_view text, std::vector<DocSectionPoint> &points) {
    static thread_local std::vector<double> numbers;
    std::string_view bad;
    if (!ReadTokens(text.data(), text.data() + text.size(), numbers, bad) ||
        numbers.size() % 2 != 0)
        return false;
    points.resize(numbers.size() / 2);
    for (std::size_t k = 0; k < points.size(); ++k)
        points[k] = {numbers[2 * k], numbers[2 * k + 1]};
    return true;
}

// The cross section's record from its text in the plain form (see
// CrossSectText.h), as ReadCrossSect would read it; false where the text, or
// what it holds, is not as this program writes it: the XML parser then reads
// it and says what is wrong.
bool ReadPlainCrossSect(std::string_view text, DocCrossSect &sect, bool names) {
    static thread_local CrossSectText plain;
    if (!ScanCrossSectText(text, plain) || !plain.Sta || !ParseNumber(*plain.Sta, sect.Station))
        return false;
    sect.Name = names ? plain.Name : std::string_view();
    sect.Surfaces.resize(plain.Surfaces.size());
    for (std::size_t k = 0; k < plain.Surfaces.size(); ++k) {
        const SurfaceText &from = plain.Surfaces[k];
        DocSurface &surface = sect.Surfaces[k];
        surface.Name = from.Name;
        surface.VertexNameList.clear();
        surface.Points.clear();
        if (from.Points && !ReadPointPairs(*from.Points, surface.Points))
            return false;
        if (names && from.VertexNames)
            surface.VertexNameList = TrimView(*from.VertexNames);
    }
    return true;
}

// The same for a cross section of the extended root, as ReadMirrorSect
// would read it.
bool ReadPlainMirrorSect(std::string_view text, MirrorSect &sect, bool names) {
    static thread_local CrossSectText plain;
    if (!ScanCrossSectText(text, plain) || !plain.Sta || !ParseNumber(*plain.Sta, sect.Station))
        return false;
    sect.StaText = *plain.Sta;
    for (const SurfaceText &surface : plain.Surfaces) {
        sect.SurfaceLines.push_back(LineEndsBefore(text.data(), surface.Offset));
        if (names)
            sect.Names.push_back(surface.MirrorNames
                                     ? std::optional<std::string>(TrimView(*surface.MirrorNames))
                                     : std::nullopt);
    }
    return true;
}

// The ProfAlign's record from its text in the plain form (see
// CrossSectText.h), as ReadProfAlign would read it; false where the text, or
// what it holds, is not as this program writes it.
bool ReadPlainProfAlign(std::string_view text, DocProfAlign &align) {
    static thread_local std::vector<double> numbers;
    std::string_view name;
    align.Points.clear();
    // A vertex takes two tags: room for all at once, rather than copying
    // tens of thousands of them as the vector grows.
    align.Points.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '<')) / 2);
    const bool plain = ScanProfAlignText(text, name, [&](const VertexText &vertex) {
        DocPvi pvi;
        if (vertex.Name != "PVI") {
            pvi.Curve =
                vertex.Name == "ParaCurve" ? DocVerticalCurve::Parabola : DocVerticalCurve::Circle;
            if (!vertex.Length || !ParseNumber(*vertex.Length, pvi.CurveLength))
                return false;
            if (pvi.Curve == DocVerticalCurve::Circle &&
                (!vertex.Radius || !ParseNumber(*vertex.Radius, pvi.CurveRadius)))
                return false;
        }
        std::string_view bad;
        const char *const p = vertex.Numbers.data();
        if (!ReadTokens(p, p + vertex.Numbers.size(), numbers, bad) || numbers.size() < 2)
            return false;
        pvi.Station = numbers[0];
        pvi.Elevation = numbers[1];
        align.Points.push_back(pvi);
        return true;
    });
    align.Name = name;
    return plain;
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

// `profiles`: the ProfAligns cut out of the alignment's text, per Profile
// (null when none were).
DocAlignment ReadAlignment(const pugi::xml_node &node,
                           std::vector<std::vector<DocProfAlign>> *profiles) {
    DocAlignment alignment;
    alignment.Name = node.attribute("name").value();
    alignment.Length = OptionalNumberAttribute(node, "length", kNullValue);
    alignment.StaStart = OptionalNumberAttribute(node, "staStart", kNullValue);
    std::size_t profile = 0; // Profiles so far
    for (const pugi::xml_node &child : node.children()) {
        const std::string_view name = child.name();
        if (name == "CoordGeom")
            ReadCoordGeom(child, alignment);
        else if (name == "StaEquation")
            alignment.StaEquations.push_back({NumberAttribute(child, "staAhead"),
                                              NumberAttribute(child, "staBack"),
                                              NumberAttribute(child, "staInternal")});
        else if (name == "Profile")
            ReadProfile(child,
                        profiles && profile < profiles->size() ? &(*profiles)[profile++] : nullptr,
                        alignment);
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

// ---- Reading part by part -------------------------------------------------

// The parse of a cross section: escapes (names may hold them) and texts kept
// in their elements; no line-end normalisation (every value is trimmed).
constexpr unsigned kPartParse = pugi::parse_escapes | pugi::parse_embed_pcdata;
// The parse of the rest, and of a ProfAlign part: the same, plus what pugixml
// reads by default.
constexpr unsigned kSkeletonParse = (pugi::parse_default | pugi::parse_embed_pcdata) &
                                    ~pugi::parse_eol & ~pugi::parse_wconv_attribute;

// A main-part cross section as the extended root is matched against it.
struct SectShape {
    double Station = 0;
    std::size_t Surfaces = 0;
};

// The document's bytes, a block at a time; 0 at its end.
using DocumentSource = std::function<std::size_t(char *, std::size_t)>;

bool IsNameEnd(char c) { return IsBlank(c) || c == '/' || c == '>'; }

// Reads the document from the source, cutting each CrossSect of an
// alignment's CrossSects (and of an alignment of the extended root) and each
// ProfAlign of an alignment's Profile out of the text as a part of its own.
// The parts of a block are parsed on all cores and handed over in document
// order; the rest of the text, with each cut part's line ends kept in its
// place so that lines stay those of the document, is the skeleton, parsed
// whole at the end.
//
// To find the parts the reader follows the element names outside them
// (comments, instructions, CDATA and the document type skipped); inside a
// part it only looks for its end tag. What it cannot make sense of stays in
// the skeleton, whose parse then says what is wrong and where.
class PartReader {
  public:
    // `size`: the document's size as far as known (0 when not), which the
    // skeleton never exceeds.
    PartReader(DocumentSource source, const CrossSectReading &how, CrossSectReceiver &receiver,
               std::size_t size)
        : source_(std::move(source)), how_(how), receiver_(receiver) {
        how_.BlockBytes = std::clamp<std::size_t>(how_.BlockBytes, 1, kMaxReadBackBytes);
        crew_ = WorkCrew(size == 0 ? WorkParts() : ReadBackParts(size, how_.BlockBytes));
        // Both buffers at once, each with room for what is left over and a
        // block: a page is then written for the first time only once, which
        // on some systems costs as much as reading it. The skeleton gets room
        // for the whole document for the same reason: its pages are not
        // touched before they are written.
        capacity_ = spareCapacity_ = 2 * how_.BlockBytes;
        data_ = std::make_unique_for_overwrite<char[]>(capacity_);
        spare_ = std::make_unique_for_overwrite<char[]>(spareCapacity_);
        Skeleton.reserve(size);
    }

    // False, with the failure, when a part is not well-formed or misses what
    // it must hold.
    bool Run(std::string &failure) {
        while (true) {
            Scan();
            // A block's worth scanned, or what the last hand-over read.
            if (eof_ || (pos_ > 0 && (pos_ >= how_.BlockBytes || readOn_))) {
                const bool end = eof_;
                // Unless at the end, the next block is read and scanned while
                // these parts are parsed: what it holds is scanned on.
                if (!Hand(failure))
                    return false;
                if (end)
                    break;
                continue;
            }
            Grow(how_.BlockBytes);
            ReadBlock();
        }
        // An unfinished tag or part joins the skeleton as it is.
        Skeleton.append(data_.get(), size_);
        return true;
    }

    std::string Skeleton;
    std::vector<MirrorSect> Mirrors;            // in document order
    std::vector<std::vector<SectShape>> Shapes; // per main-part alignment
    // The ProfAligns cut, per main-part alignment and per Profile of it.
    std::vector<std::vector<std::vector<DocProfAlign>>> Profiles;

  private:
    static constexpr std::size_t kPartRun = 32;

    struct Part {
        std::size_t Begin = 0, End = 0; // in the buffer
        bool Mirror = false;
        bool Profile = false; // a ProfAlign
        std::size_t Alignment = 0;
        // Cross section: its place among the alignment's; ProfAlign: the
        // place of its Profile among the alignment's.
        std::size_t Index = 0;
        bool Sect() const { return !Mirror && !Profile; }
    };
    struct PartResult {
        long LineEnds = 0; // of the part's text
        bool Failed = false;
        bool NotWellFormed = false;
        std::string What;
        long FaultLine = 0; // line ends before the fault, from the part's start
        MirrorSect Mirror;
        DocProfAlign Profile;
    };

    void Grow(std::size_t more) {
        if (size_ + more <= capacity_)
            return;
        const std::size_t capacity = std::max(capacity_ * 2, size_ + more);
        auto data = std::make_unique_for_overwrite<char[]>(capacity);
        std::copy(data_.get(), data_.get() + size_, data.get());
        data_ = std::move(data);
        capacity_ = capacity;
    }

    std::size_t Find(std::string_view what, std::size_t from) const {
        const std::string_view text(data_.get(), size_);
        return from > size_ ? std::string_view::npos : text.find(what, from);
    }

    // Scans from pos_ as far as the buffer allows.
    void Scan() {
        while (true) {
            if (inPart_) {
                if (!FindPartEnd())
                    return;
                continue;
            }
            const void *lt = std::memchr(data_.get() + pos_, '<', size_ - pos_);
            if (!lt) {
                pos_ = size_;
                return;
            }
            pos_ = static_cast<std::size_t>(static_cast<const char *>(lt) - data_.get());
            if (!ScanMarkup())
                return;
            resume_ = 0;
            quote_ = 0;
            depth_ = 0;
        }
    }

    // The construct starting at pos_; false when the buffer ends inside it
    // (resume_ and its state say where to go on).
    bool ScanMarkup() {
        const char *d = data_.get();
        const std::string_view text(d, size_);
        const std::size_t at = pos_;
        if (size_ - at < 9 && !eof_ && (size_ - at < 2 || d[at + 1] == '!'))
            return false; // too short yet to tell a comment from CDATA
        auto skipTo = [&](std::string_view end, std::size_t from) {
            const std::size_t found = Find(end, std::max(from, resume_));
            if (found == std::string_view::npos) {
                resume_ = size_ >= end.size() ? size_ - end.size() + 1 : 0;
                return false;
            }
            pos_ = found + end.size();
            return true;
        };
        if (text.substr(at, 4) == "<!--")
            return skipTo("-->", at + 4);
        if (text.substr(at, 9) == "<![CDATA[")
            return skipTo("]]>", at + 9);
        if (text.substr(at, 2) == "<?")
            return skipTo("?>", at + 2);
        std::size_t i = std::max(at + 1, resume_);
        if (text.substr(at, 2) == "<!") { // a document type, up to its '>' outside [ ]
            for (; i < size_; ++i) {
                if (d[i] == '[')
                    ++depth_;
                else if (d[i] == ']')
                    --depth_;
                else if (d[i] == '>' && depth_ <= 0)
                    break;
            }
            if (i >= size_) {
                resume_ = size_;
                return false;
            }
            pos_ = i + 1;
            return true;
        }
        // A tag, up to its '>' outside quotes.
        for (; i < size_; ++i) {
            const char c = d[i];
            if (quote_) {
                if (c == quote_)
                    quote_ = 0;
            } else if (c == '"' || c == '\'') {
                quote_ = c;
            } else if (c == '>') {
                break;
            }
        }
        if (i >= size_) {
            resume_ = size_;
            return false;
        }
        const std::size_t tagEnd = i + 1;
        const bool endTag = d[at + 1] == '/';
        std::size_t nameEnd = at + (endTag ? 2 : 1);
        while (nameEnd < i && !IsNameEnd(d[nameEnd]))
            ++nameEnd;
        const std::string_view name =
            text.substr(at + (endTag ? 2 : 1), nameEnd - at - (endTag ? 2 : 1));
        pos_ = tagEnd;
        if (endTag) {
            if (!stack_.empty())
                stack_.pop_back();
            return true;
        }
        const bool selfClosing = d[i - 1] == '/';
        const bool cut = name == "CrossSect" && stack_.size() == 4;
        const bool main = cut && stack_[1] == "Alignments" && stack_[2] == "Alignment" &&
                          stack_[3] == "CrossSects" && !mainAlignments_.empty();
        const bool mirror = cut && stack_[1] == "OstremLandXML" && stack_[2] == "Alignments" &&
                            stack_[3] == "Alignment" && mirrorAlignments_ > 0;
        const bool profile = name == "ProfAlign" && stack_.size() == 4 &&
                             stack_[1] == "Alignments" && stack_[2] == "Alignment" &&
                             stack_[3] == "Profile" && profiles_ > 0;
        if (main || mirror || profile) {
            Part part;
            part.Begin = at;
            part.Mirror = mirror;
            part.Profile = profile;
            if (mirror) {
                part.Alignment = mirrorAlignments_ - 1;
            } else if (profile) {
                part.Alignment = mainAlignments_.size() - 1;
                part.Index = profiles_ - 1;
            } else {
                part.Alignment = mainAlignments_.size() - 1;
                part.Index = mainAlignments_.back()++;
            }
            if (selfClosing) {
                part.End = tagEnd;
                AddPart(part);
            } else {
                pending_ = part;
                inPart_ = true;
                searchFrom_ = tagEnd;
                pos_ = at; // the part is not scanned yet
            }
            return true;
        }
        if (name == "Alignment" && stack_.size() == 2 && stack_[1] == "Alignments") {
            mainAlignments_.push_back(0);
            profiles_ = 0;
        } else if (name == "Profile" && stack_.size() == 3 && stack_[1] == "Alignments" &&
                   stack_[2] == "Alignment") {
            ++profiles_;
        } else if (name == "Alignment" && stack_.size() == 3 && stack_[1] == "OstremLandXML" &&
                   stack_[2] == "Alignments")
            ++mirrorAlignments_;
        if (!selfClosing)
            stack_.emplace_back(name);
        return true;
    }

    // The end tag of the part being cut; false when it is not in the buffer.
    bool FindPartEnd() {
        const std::string_view kEnd = pending_.Profile ? "</ProfAlign" : "</CrossSect";
        const char *d = data_.get();
        while (true) {
            const std::size_t found = Find(kEnd, searchFrom_);
            if (found == std::string_view::npos) {
                searchFrom_ =
                    std::max(searchFrom_, size_ >= kEnd.size() ? size_ - kEnd.size() + 1 : 0);
                return false;
            }
            std::size_t i = found + kEnd.size();
            while (i < size_ && IsBlank(d[i]))
                ++i;
            if (i >= size_) {
                searchFrom_ = found;
                return false;
            }
            if (d[i] != '>') { // another name that starts alike
                searchFrom_ = found + 1;
                continue;
            }
            pending_.End = i + 1;
            inPart_ = false;
            AddPart(pending_);
            return true;
        }
    }

    void ReadBlock() {
        const std::size_t got = source_(data_.get() + size_, how_.BlockBytes);
        size_ += got;
        eof_ = got == 0;
    }

    void AddPart(const Part &part) {
        scanned_->push_back(part);
        pos_ = part.End;
    }

    // The part's record, or what is wrong with it.
    bool ParsePart(char *buffer, std::size_t k) {
        const Part &part = parts_[k];
        PartResult &result = results_[k];
        char *text = buffer + part.Begin;
        const std::size_t length = part.End - part.Begin;
        result.LineEnds = LineEndsBefore(text, length);
        result.Failed = result.NotWellFormed = false;
        if (part.Mirror) {
            result.Mirror = MirrorSect{};
            result.Mirror.Alignment = part.Alignment;
            if (ReadPlainMirrorSect({text, length}, result.Mirror, how_.Names))
                return true;
        } else if (part.Profile) {
            if (ReadPlainProfAlign({text, length}, result.Profile))
                return true;
        } else if (ReadPlainCrossSect({text, length}, records_[k], how_.Names)) {
            return true;
        }
        pugi::xml_document xml;
        const pugi::xml_parse_result parsed = xml.load_buffer_inplace(
            text, length, part.Profile ? kSkeletonParse : kPartParse, pugi::encoding_utf8);
        if (!parsed) {
            result.Failed = result.NotWellFormed = true;
            result.What = std::string("not well-formed XML: ") + parsed.description();
            result.FaultLine = LineEndsBefore(
                text, std::min(length, static_cast<std::size_t>(
                                           std::max<std::ptrdiff_t>(parsed.offset, 0))));
            return false;
        }
        try {
            if (part.Mirror) {
                result.Mirror = MirrorSect{};
                result.Mirror.Alignment = part.Alignment;
                ReadMirrorSect(xml.first_child(), text, result.Mirror, how_.Names);
            } else if (part.Profile) {
                result.Profile = ReadProfAlign(xml.first_child());
            } else {
                ReadCrossSect(xml.first_child(), records_[k], how_.Names);
            }
        } catch (const DocumentFault &fault) {
            result.Failed = true;
            result.What = fault.What;
            result.FaultLine = LineEndsBefore(
                text, std::min(length, static_cast<std::size_t>(std::max<std::ptrdiff_t>(
                                           fault.Node.offset_debug(), 0))));
            return false;
        }
        return true;
    }

    void AppendSkeleton(const char *buffer, std::size_t from, std::size_t to) {
        Skeleton.append(buffer + from, to - from);
        lineEnds_ += LineEndsBefore(buffer + from, to - from);
    }

    // Parses the parts cut so far, hands them over and adds the text scanned
    // so far to the skeleton. That text stays in its buffer while it is
    // parsed; what follows it goes to the other buffer, where meanwhile,
    // unless at the end, the next block is read and scanned, its parts kept
    // for the next hand-over.
    bool Hand(std::string &failure) {
        const std::size_t count = parts_.size();
        const std::size_t handed = pos_;
        if (results_.size() < count)
            results_.resize(count);
        if (records_.size() < count)
            records_.resize(count);
        std::swap(data_, spare_);
        std::swap(capacity_, spareCapacity_);
        char *const text = spare_.get();
        const std::size_t rest = size_ - handed;
        if (capacity_ < rest + how_.BlockBytes) {
            capacity_ = std::max(spareCapacity_, rest + how_.BlockBytes);
            data_ = std::make_unique_for_overwrite<char[]>(capacity_);
        }
        std::copy(text + handed, text + size_, data_.get());
        size_ = rest;
        pos_ -= handed;
        searchFrom_ = searchFrom_ > handed ? searchFrom_ - handed : 0;
        resume_ = resume_ > handed ? resume_ - handed : 0;
        pending_.Begin = pending_.Begin > handed ? pending_.Begin - handed : 0;
        const std::size_t readOn = eof_ ? 0 : 1;
        scanned_ = &next_;
        // Runs of parts, each on one thread: their records lie side by side.
        const std::size_t runs = (count + kPartRun - 1) / kPartRun;
        crew_.RunClaimed(runs + readOn, [&](std::size_t item) {
            if (item < readOn) {
                ReadBlock();
                Scan();
                return;
            }
            const std::size_t first = (item - readOn) * kPartRun;
            for (std::size_t k = first; k < std::min(count, first + kPartRun); ++k)
                ParsePart(text, k);
        });
        scanned_ = &parts_;
        readOn_ = readOn;
        std::size_t at = 0;
        for (std::size_t k = 0; k < count; ++k) {
            const Part &part = parts_[k];
            PartResult &result = results_[k];
            AppendSkeleton(text, at, part.Begin);
            const long line = lineEnds_ + 1;
            if (result.Failed) {
                const std::string at = std::to_string(line + result.FaultLine);
                failure =
                    result.What + (result.NotWellFormed ? " at line " + at : " (line " + at + ")");
                return false;
            }
            Skeleton.append(static_cast<std::size_t>(result.LineEnds), '\n');
            lineEnds_ += result.LineEnds;
            at = part.End;
            if (part.Mirror) {
                result.Mirror.Line = line;
                for (long &surfaceLine : result.Mirror.SurfaceLines)
                    surfaceLine += line;
                Mirrors.push_back(std::move(result.Mirror));
            } else if (part.Profile) {
                if (Profiles.size() <= part.Alignment)
                    Profiles.resize(part.Alignment + 1);
                if (Profiles[part.Alignment].size() <= part.Index)
                    Profiles[part.Alignment].resize(part.Index + 1);
                Profiles[part.Alignment][part.Index].push_back(std::move(result.Profile));
            } else {
                DocCrossSect &sect = records_[k];
                sect.SourceLine = line;
                if (Shapes.size() <= part.Alignment)
                    Shapes.resize(part.Alignment + 1);
                Shapes[part.Alignment].push_back({sect.Station, sect.Surfaces.size()});
            }
        }
        AppendSkeleton(text, at, handed);
        for (std::size_t k = 0; k < count;) {
            std::size_t j = k + 1;
            if (parts_[k].Sect()) {
                while (j < count && parts_[j].Sect() && parts_[j].Alignment == parts_[k].Alignment)
                    ++j;
                receiver_.Receive(parts_[k].Alignment, parts_[k].Index,
                                  std::span<DocCrossSect>(records_.data() + k, j - k));
            }
            k = j;
        }
        parts_.swap(next_);
        next_.clear();
        return true;
    }

    DocumentSource source_;
    CrossSectReading how_;
    CrossSectReceiver &receiver_;

    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0, capacity_ = 0;
    std::unique_ptr<char[]> spare_; // the text last handed over
    std::size_t spareCapacity_ = 0;
    bool readOn_ = false; // the last hand-over read the next block
    bool eof_ = false;
    std::size_t pos_ = 0;    // scanned up to here
    std::size_t resume_ = 0; // where the scan of an unfinished construct goes on
    char quote_ = 0;
    int depth_ = 0;
    bool inPart_ = false;
    Part pending_;
    std::size_t searchFrom_ = 0;
    std::vector<std::string> stack_;          // the open elements outside parts
    std::vector<std::size_t> mainAlignments_; // cross sections cut, per alignment
    std::size_t mirrorAlignments_ = 0;
    std::size_t profiles_ = 0; // Profiles of the main-part alignment being read
    long lineEnds_ = 0;        // in the skeleton so far

    std::vector<Part> parts_;              // cut, to be handed over next
    std::vector<Part> next_;               // cut while those are parsed
    std::vector<Part> *scanned_ = &parts_; // where the scan puts the parts it cuts
    std::vector<PartResult> results_;
    std::vector<DocCrossSect> records_; // reused from block to block
    WorkCrew crew_{1};                  // the threads of every hand-over
};

// The extended root mirrors the alignments and cross sections of the document
// with the stringline names hung into them: each mirrored CrossSect is matched
// with the main part's CrossSect of the same alignment, in order, and must
// stand at the same station.
void ReadExtendedRoot(const pugi::xml_node &root, const PartReader &parts,
                      ReadBackDocument &document) {
    document.Extended = true;
    std::map<std::string, std::size_t> used; // cross sections matched per alignment name
    std::size_t ordinal = 0, m = 0;
    const std::vector<SectShape> none;
    for (const pugi::xml_node &alignments : root.children("Alignments")) {
        for (const pugi::xml_node &node : alignments.children("Alignment")) {
            const std::string name = node.attribute("name").value();
            auto found = std::find_if(document.Alignments.begin(), document.Alignments.end(),
                                      [&](const DocAlignment &a) { return a.Name == name; });
            if (found == document.Alignments.end())
                Fault(node, "the extended part names alignment \"" + name +
                                "\", which the document does not hold");
            const auto a = static_cast<std::size_t>(found - document.Alignments.begin());
            const std::vector<SectShape> &shapes = a < parts.Shapes.size() ? parts.Shapes[a] : none;
            std::size_t &next = used[name];
            for (; m < parts.Mirrors.size() && parts.Mirrors[m].Alignment == ordinal; ++m) {
                const MirrorSect &sect = parts.Mirrors[m];
                const std::string label = "<CrossSect sta=\"" + sect.StaText + "\">";
                if (next >= shapes.size())
                    FaultAt(sect.Line, "the extended part holds more cross sections for \"" + name +
                                           "\" than the document");
                const SectShape &main = shapes[next];
                if (std::abs(sect.Station - main.Station) > 1e-9)
                    FaultAt(sect.Line, label + " of the extended part does not match " +
                                           "the document's cross section at " +
                                           FormatDecimals(main.Station, 6));
                if (sect.SurfaceLines.size() > main.Surfaces)
                    FaultAt(sect.SurfaceLines[main.Surfaces],
                            label + ": the extended part holds more surfaces");
                if (next < found->CrossSects.size())
                    for (std::size_t s = 0; s < sect.Names.size(); ++s)
                        if (sect.Names[s])
                            found->CrossSects[next].Surfaces[s].VertexNameList = *sect.Names[s];
                ++next;
            }
            ++ordinal;
        }
        for (const pugi::xml_node &group : alignments.children("SDStringLineLayers"))
            ReadExtendedLayers(group, document.StringlineLayers);
    }
    for (const pugi::xml_node &group : root.children("SDStringLineLayers"))
        ReadExtendedLayers(group, document.StringlineLayers);
}

// Keeps the cross sections for the records of the whole document.
class CrossSectKeeper : public CrossSectReceiver {
  public:
    void Receive(std::size_t alignment, std::size_t, std::span<DocCrossSect> sects) override {
        if (Sects.size() <= alignment)
            Sects.resize(alignment + 1);
        for (DocCrossSect &sect : sects)
            Sects[alignment].push_back(std::move(sect));
    }
    std::vector<std::vector<DocCrossSect>> Sects; // per alignment
};

void ReadDocument(const pugi::xml_node &root, PartReader &parts, CrossSectKeeper *kept,
                  ReadBackDocument &document) {
    if (std::string_view(root.name()) != "LandXML")
        Fault(root, "the root element is <" + std::string(root.name()) + ">, not <LandXML>");
    if (const pugi::xml_node units = root.child("Units")) {
        const pugi::xml_node unit = units.first_child();
        document.LinearUnit = unit.attribute("linearUnit").value();
    }
    for (const pugi::xml_node &alignments : root.children("Alignments")) {
        for (const pugi::xml_node &node : alignments.children()) {
            const std::string_view name = node.name();
            const std::size_t a = document.Alignments.size();
            if (name == "Alignment")
                document.Alignments.push_back(
                    ReadAlignment(node, a < parts.Profiles.size() ? &parts.Profiles[a] : nullptr));
            else if (name == "Feature" &&
                     std::string_view(node.attribute("code").value()) == "SD Stringline Layers")
                ReadPlainLayers(node, document.StringlineLayers);
        }
    }
    if (kept)
        for (std::size_t a = 0; a < kept->Sects.size() && a < document.Alignments.size(); ++a)
            document.Alignments[a].CrossSects = std::move(kept->Sects[a]);
    if (const pugi::xml_node extended = root.child("OstremLandXML"))
        ReadExtendedRoot(extended, parts, document);
}

// The 1-based line of a byte offset of the text.
long LineOfOffset(const std::string &text, std::ptrdiff_t offset) {
    if (offset < 0)
        return 0;
    const std::size_t end = std::min(static_cast<std::size_t>(offset), text.size());
    return 1 + LineEndsBefore(text.data(), end);
}

// Reads the document from the source: the cross sections part by part into
// the receiver (and, when kept, into the records), then the skeleton. `size`
// is the document's size as far as known.
bool ReadParts(const DocumentSource &source, std::size_t size, ReadBackDocument &document,
               CrossSectReceiver &receiver, const CrossSectReading &how, CrossSectKeeper *kept,
               std::string &failure) {
    failure.clear();
    document = ReadBackDocument{};
    const bool ok = Guarded("ReadLandXmlDocument", false, [&] {
        PartReader parts(source, how, receiver, size);
        if (!parts.Run(failure))
            return false;
        pugi::xml_document xml;
        // In place: the skeleton is ours to use up.
        const pugi::xml_parse_result parsed = xml.load_buffer_inplace(
            parts.Skeleton.data(), parts.Skeleton.size(), kSkeletonParse, pugi::encoding_utf8);
        if (!parsed) {
            failure = std::string("not well-formed XML: ") + parsed.description() + " at line " +
                      std::to_string(LineOfOffset(parts.Skeleton, parsed.offset));
            return false;
        }
        try {
            ReadDocument(xml.document_element(), parts, kept, document);
        } catch (const DocumentFault &fault) {
            // Parsing in place only rewrote characters inside values, so the
            // line ends before the node's offset are still those of the file.
            const long line = fault.Line > 0
                                  ? fault.Line
                                  : LineOfOffset(parts.Skeleton, fault.Node.offset_debug());
            failure = fault.What + " (line " + std::to_string(line) + ")";
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

// The file's bytes, after its size was checked.
bool FileSource(const std::filesystem::path &path, std::ifstream &file, std::uintmax_t &size,
                std::string &failure) {
    std::error_code error;
    size = std::filesystem::file_size(path, error);
    if (error) {
        failure = "cannot read " + PathText(path) + ": " + error.message();
        return false;
    }
    if (size > kMaxReadBackBytes) {
        failure = PathText(path) + " is larger than " +
                  std::to_string(kMaxReadBackBytes / (1024 * 1024)) + " MB";
        return false;
    }
    file.open(path, std::ios::binary);
    if (!file) {
        failure = "cannot read " + PathText(path);
        return false;
    }
    return true;
}

bool ReadFile(const std::filesystem::path &path, ReadBackDocument &document,
              CrossSectReceiver &receiver, const CrossSectReading &how, CrossSectKeeper *kept,
              std::string &failure) {
    std::ifstream file;
    std::uintmax_t size = 0;
    if (!FileSource(path, file, size, failure))
        return false;
    std::uintmax_t total = 0;
    bool unreadable = false;
    const DocumentSource source = [&](char *to, std::size_t bytes) -> std::size_t {
        file.read(to, static_cast<std::streamsize>(bytes));
        const auto got = static_cast<std::size_t>(file.gcount());
        total += got;
        // A file that fails, or grows past the limit, while it is read ends
        // there and is refused.
        unreadable = unreadable || file.bad() || total > kMaxReadBackBytes;
        return unreadable ? 0 : got;
    };
    const bool ok =
        ReadParts(source, static_cast<std::size_t>(size), document, receiver, how, kept, failure);
    if (!unreadable)
        return ok;
    failure = "cannot read " + PathText(path);
    document = ReadBackDocument{};
    return false;
}

} // namespace

std::vector<std::string> DocVertexNames(const DocSurface &surface) {
    return SplitNames(surface.VertexNameList);
}

bool ParseLandXmlDocument(std::string &text, ReadBackDocument &document, std::string &failure,
                          std::size_t blockBytes) {
    std::size_t at = 0;
    const DocumentSource source = [&](char *to, std::size_t bytes) {
        const std::size_t n = std::min(bytes, text.size() - at);
        std::copy(text.data() + at, text.data() + at + n, to);
        at += n;
        return n;
    };
    CrossSectKeeper kept;
    return ReadParts(source, text.size(), document, kept, {blockBytes, true}, &kept, failure);
}

bool ReadLandXmlDocument(const std::filesystem::path &path, ReadBackDocument &document,
                         std::string &failure, std::size_t blockBytes) {
    CrossSectKeeper kept;
    return ReadFile(path, document, kept, {blockBytes, true}, &kept, failure);
}

bool ReadLandXmlDocumentParts(const std::filesystem::path &path, ReadBackDocument &document,
                              CrossSectReceiver &receiver, const CrossSectReading &how,
                              std::string &failure) {
    return ReadFile(path, document, receiver, how, nullptr, failure);
}

} // namespace vialto
