#include "editors/TunnelEditing.h"

#include "railtunnel/Tunnel.h"
#include "shell/Text.h"

#include <string_view>
#include <utility>
#include <vector>

namespace vialto::editors {
namespace {

// What a profile holds besides its chainage and name: its other attributes,
// then its child elements by name with their count ("section=A; Remarks,
// Layer (2)").
std::string ProfileContent(const pugi::xml_node &profile) {
    std::string attributes;
    for (const pugi::xml_attribute &a : profile.attributes()) {
        const std::string_view name = a.name();
        if (name == "sta" || name == "name")
            continue;
        attributes += (attributes.empty() ? "" : ", ") + std::string(name) + "=" + a.value();
    }
    std::vector<std::pair<std::string, int>> children;
    for (const pugi::xml_node &child : profile.children()) {
        if (child.type() != pugi::node_element)
            continue;
        bool counted = false;
        for (auto &[name, count] : children)
            if (name == child.name()) {
                ++count;
                counted = true;
            }
        if (!counted)
            children.emplace_back(child.name(), 1);
    }
    std::string elements;
    for (const auto &[name, count] : children)
        elements += (elements.empty() ? "" : ", ") + name +
                    (count > 1 ? " (" + std::to_string(count) + ")" : "");
    if (attributes.empty())
        return elements;
    return elements.empty() ? attributes : attributes + "; " + elements;
}

std::shared_ptr<const TableDef> Def() {
    static const auto def = [] {
        auto s = std::make_shared<TableDef>();
        s->RootName = "TunnelProfiles";
        s->RowName = "TunnelProfile";
        s->Header = {{"name", "Tunnel name", FieldKind::Text, false, false, {}, {}}};
        s->Columns = {
            {"sta", "Chainage (m)", FieldKind::Number, true, false, {}, {}},
            {"name", "Profile name", FieldKind::Text, false, false, {}, {}},
            {"", "Content kept as it is", FieldKind::Text, false, true, {}, ProfileContent},
        };
        // The converter reads the file only when the root's start tag is its
        // second line.
        s->RootOnSecondLine = true;
        s->BlankRow = {"0.000", ""};
        return std::shared_ptr<const TableDef>(std::move(s));
    }();
    return def;
}

// A horseshoe of 10 m span, 3 m walls and a semicircular crown, as the
// excavation of each template profile (offsets right of the axis, heights
// above it, metres).
std::string TemplateProfile(const char *sta, const char *name) {
    return std::string("  <TunnelProfile sta=\"") + sta + "\" name=\"" + name +
           "\">\n"
           "    <Layer name=\"Excavation\" closed=\"true\">\n"
           "      <Point offset=\"-5.000\" height=\"0.000\"/>\n"
           "      <Point offset=\"-5.000\" height=\"3.000\"/>\n"
           "      <Point offset=\"-3.536\" height=\"6.536\"/>\n"
           "      <Point offset=\"0.000\" height=\"8.000\"/>\n"
           "      <Point offset=\"3.536\" height=\"6.536\"/>\n"
           "      <Point offset=\"5.000\" height=\"3.000\"/>\n"
           "      <Point offset=\"5.000\" height=\"0.000\"/>\n"
           "    </Layer>\n"
           "  </TunnelProfile>\n";
}

std::string TemplateText() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<TunnelProfiles name=\"New tunnel\" unit=\"m\">\n" +
           TemplateProfile("0.000", "Start") + TemplateProfile("100.000", "End") +
           "</TunnelProfiles>\n";
}

ReaderVerdict AskReader(const std::string &path) {
    return RunReader([&](std::string &summary) {
        clsTunnel tunnel;
        if (!tunnel.Load(path))
            return false;
        const std::size_t count = tunnel.GetChainages().size();
        summary = std::to_string(count) + (count == 1 ? " profile" : " profiles") + " from " +
                  FormatDecimals(tunnel.GetChainageStart(), 3) + " to " +
                  FormatDecimals(tunnel.GetChainageEnd(), 3) + " m.";
        return true;
    });
}

std::string Problem(const TableDocument &table) {
    if (table.Rows.empty())
        return "The set needs at least one profile";
    return {};
}

} // namespace

EditorKind TunnelKind() {
    EditorKind kind;
    kind.Program = "Tubrix";
    kind.FileKind = "tunnel profile set";
    kind.Filter = "Tunnel profiles (*.xml)";
    kind.ProposedName = "tunnel_profiles.xml";
    kind.ChooseDef = [](const pugi::xml_document &) { return Def(); };
    kind.TemplateText = TemplateText;
    kind.AskReader = AskReader;
    kind.Problem = Problem;
    return kind;
}

} // namespace vialto::editors
