#include "landxml/LandXmlCrossSections.h"

#include "geometry/HzGeometry.h"
#include "landxml/LandXmlWriter.h"
#include "model/ElementSearch.h"
#include "shell/AppModel.h"
#include "shell/ErrHandler.h"
#include "shell/Text.h"

#include <algorithm>

namespace vialto {

namespace {

bool Extended() { return AppModel().IsOstXML; }

// Appends ` name="value"`, the value made fit for XML.
void AppendAttribute(std::string &line, std::string_view name, std::string_view value) {
    line += ' ';
    line += name;
    line += "=\"";
    line += XmlText(value);
    line += '"';
}

std::string Attribute(std::string_view name, std::string_view value) {
    std::string text;
    AppendAttribute(text, name, value);
    return text;
}

// Opening and closing lines of an element mirrored in the side file.
bool OpenBoth(const std::string &line) {
    bool ok = WriteLnOpen(line);
    if (Extended())
        ok = WriteLnOpenOst(line) && ok;
    return ok;
}

bool CloseBoth(const std::string &line) {
    bool ok = WriteLnClose(line);
    if (Extended())
        ok = WriteLnCloseOst(line) && ok;
    return ok;
}

std::string JoinNonEmpty(const std::vector<std::string> &names) {
    std::string list;
    for (const std::string &name : names) {
        if (name.empty())
            continue;
        if (!list.empty())
            list += ",";
        list += name;
    }
    return list;
}

// The names at the excluded positions; none unless the list's first entry is
// 0 or more (the caller's way of saying "no exclusions").
std::vector<std::string> ExcludedNames(const std::vector<std::string> &names,
                                       const std::vector<int> &excluded) {
    std::vector<std::string> result;
    if (excluded.empty() || excluded.front() < 0)
        return result;
    for (int index : excluded)
        if (index >= 0 && static_cast<std::size_t>(index) < names.size() &&
            !names[static_cast<std::size_t>(index)].empty())
            result.push_back(names[static_cast<std::size_t>(index)]);
    return result;
}

// The stringlines 0..Count that the set holds.
std::size_t LineCount(const TStringLines &set) {
    const long count = set.Count + 1;
    return count <= 0 ? 0 : std::min(static_cast<std::size_t>(count), set.Lines.size());
}

bool WriteLayers(const TStringLines &set, const std::string &centreLine, bool sorted,
                 const std::vector<int> *givenExcluded) {
    const bool opened = Extended() ? WriteLnOpenOst("<SDStringLineLayers>")
                                   : TagFeature(false, "SD Stringline Layers", "");
    if (!opened)
        return false;
    bool ok = true;
    auto writeLayer = [&](const std::string &layerName, auto &&memberNumbers, auto &&accept) {
        std::vector<std::string> names{centreLine};
        std::vector<int> ownExcluded;
        for (long number : memberNumbers) {
            if (number < 0 || static_cast<std::size_t>(number) >= LineCount(set))
                continue; // a member the set does not hold
            const TStringLine &line = set.Lines[static_cast<std::size_t>(number)];
            if (!accept(line) || line.Name == centreLine)
                continue;
            if (line.Excluded)
                ownExcluded.push_back(static_cast<int>(names.size()));
            names.push_back(line.Name);
        }
        if (names.size() > 1)
            ok = TagStringLineLayer(names, layerName, 0, sorted,
                                    givenExcluded ? *givenExcluded : ownExcluded) &&
                 ok;
    };
    if (HasLayers(set)) {
        for (const TStringLineLayer &layer : set.Layers)
            writeLayer(layer.Name, layer.Lines,
                       [](const TStringLine &line) { return line.Export; });
    } else {
        std::vector<long> all;
        for (std::size_t k = 0; k < LineCount(set); ++k)
            all.push_back(static_cast<long>(k));
        writeLayer("Default Layer", all,
                   [](const TStringLine &line) { return line.Export && line.State < 1; });
    }
    const bool closed =
        Extended() ? WriteLnCloseOst("</SDStringLineLayers>") : TagFeature(true, "", "");
    return ok && closed;
}

} // namespace

bool TagCrossSects(bool close, const std::string &name) {
    if (close)
        return WriteLnClose("</CrossSects>");
    return WriteLnOpen("<CrossSects" + (name.empty() ? std::string() : Attribute("name", name)) +
                       ">");
}

bool TagCrossSect(bool close, const std::string &sta, const std::string &name) {
    if (close)
        return CloseBoth("</CrossSect>");
    return OpenBoth("<CrossSect sta=\"" + XmlText(sta) + "\"" +
                    (name.empty() ? std::string() : Attribute("name", name)) + ">");
}

bool TagCrossSectSurf(bool close, const std::string &name) {
    if (close)
        return CloseBoth("</CrossSectSurf>");
    std::string line = "<CrossSectSurf";
    AppendAttribute(line, "name", Trim(name));
    line += '>';
    return OpenBoth(line);
}

bool TagPntList2D(const std::string &points) {
    return WriteLnAt("<PntList2D>", points, "</PntList2D>");
}

bool TagFeature(bool complete, const std::string &code, const std::string &text) {
    if (complete && text.empty())
        return WriteLnClose("</Feature>");
    std::string line = "<Feature";
    AppendAttribute(line, "code", code);
    line += '>';
    line += XmlText(text);
    if (!complete)
        return WriteLnOpen(line);
    line += "</Feature>";
    return WriteLnAt(line);
}

bool TagProperty(const std::string &label, const std::string &value) {
    return WriteLnAt("<Property" + Attribute("label", label) +
                     (value.empty() ? std::string() : Attribute("value", value)) + "/>");
}

bool TagCoordGeomIrrLn(const HzAlignment &elements, double from, double to) {
    return Guarded("CLandXML.TagCoordGeomIrrLn", false, [&] {
        if (ElementCount(elements) < 1)
            return true;
        const auto [first, last] = ElementRangeAt(elements, from, to);
        const HzElement &start = elements.at(static_cast<std::size_t>(first));
        const HzElement &end = elements.at(static_cast<std::size_t>(last));
        const HzPoint endPoint = GetCoordInLine(end, end.Length);
        bool ok =
            WriteLnOpen("<IrregularLine staStart=\"" + FormatDecimals(start.Chainage, 6) + "\">");
        ok = WriteLnAt("<Start>" + PointText(start.X, start.Y) + "</Start>") && ok;
        ok = WriteLnAt("<End>" + PointText(endPoint.X, endPoint.Y) + "</End>") && ok;
        std::string points;
        for (long k = first; k <= last; ++k) {
            const HzElement &e = elements.at(static_cast<std::size_t>(k));
            points += PointText(e.X, e.Y) + " ";
        }
        points += PointText(endPoint.X, endPoint.Y);
        ok = TagPntList2D(points) && ok;
        return WriteLnClose("</IrregularLine>") && ok;
    });
}

bool TagStringLineLayer(const std::vector<std::string> &names, const std::string &layerName,
                        int centre, bool sorted, const std::vector<int> &excluded) {
    const std::string list = JoinNonEmpty(names);
    const bool hasCentre = centre >= 0 && static_cast<std::size_t>(centre) < names.size();
    const std::vector<std::string> excludedNames = ExcludedNames(names, excluded);
    if (Extended()) {
        std::string line = "<SDStringLineLayer" + Attribute("name", layerName) +
                           Attribute("inclStringlines", list);
        if (hasCentre)
            line += Attribute("centreLine", names[static_cast<std::size_t>(centre)]);
        if (!excludedNames.empty())
            line += Attribute("excluded", JoinNonEmpty(excludedNames));
        line += sorted ? " sorted=\"true\"" : " sorted=\"false\"";
        return WriteLnAtOst(line + "/>");
    }
    if (!TagFeature(false, "SD Stringline Layer", list))
        return false;
    bool ok = TagProperty("name", layerName);
    if (hasCentre)
        ok = TagProperty("centerline", names[static_cast<std::size_t>(centre)]) && ok;
    ok = TagProperty("sorted", sorted ? "YES" : "NO") && ok;
    for (const std::string &name : excludedNames)
        ok = TagProperty("excluded", name) && ok;
    return TagFeature(true, "", "") && ok;
}

bool TagStringLineLayers(const TStringLines &set, const std::string &centreLine, bool sorted,
                         const std::vector<int> &excluded) {
    return WriteLayers(set, centreLine, sorted, &excluded);
}

bool TagVertexName(const std::string &name) {
    if (Extended())
        return WriteLnAtOst("<SDVertexName>" + XmlText(name) + "</SDVertexName>");
    return WriteLnAt("<Feature code=\"SD Vertex Name\">", XmlText(name), "</Feature>");
}

bool TagVertexConnections(const std::string &interpolate, const std::string &link,
                          const std::string &cont) {
    struct Child {
        const char *Element;
        const char *Code;
        const std::string &Text;
    };
    const Child children[] = {{"SDVertexInterpolate", "SD Vertex Interpolate", interpolate},
                              {"SDVertexLink", "SD Vertex Link", link},
                              {"SDVertexContinue", "SD Vertex Continue", cont}};
    if (Extended()) {
        if (!WriteLnOpenOst("<SDVertexConnections>"))
            return false;
        bool ok = true;
        for (const Child &child : children)
            if (!child.Text.empty())
                ok = WriteLnAtOst("<" + std::string(child.Element) + ">" + XmlText(child.Text) +
                                  "</" + child.Element + ">") &&
                     ok;
        return WriteLnCloseOst("</SDVertexConnections>") && ok;
    }
    if (!TagFeature(false, "SD Vertex Connections", ""))
        return false;
    bool ok = true;
    for (const Child &child : children)
        if (!child.Text.empty())
            ok = TagFeature(true, child.Code, child.Text) && ok;
    return TagFeature(true, "", "") && ok;
}

} // namespace vialto
