#include "support/LandXmlKnownForms.h"

#include "support/TestSupport.h"

#include <pugixml.hpp>

#include <array>
#include <string_view>

namespace vialto::test {

namespace {

// The known forms, each with why it stays:
//
// 1. A Feature carrying text. The stringline information of the plain flavour
//    is carried as the text of these features (the inclusion list of a layer,
//    a vertex name, the vertex connection values); the field software reads it
//    there. The schema gives Feature element-only content.
constexpr std::array<std::string_view, 6> kTextFeatures = {
    "SD Vertex Name", "SD Vertex Connections", "SD Vertex Interpolate",
    "SD Vertex Link", "SD Vertex Continue",    "SD Stringline Layer"};
// 2. A Property without value: a property whose value is empty is written with
//    its label only; the schema requires value.
// 3. The tunnel profile set copied inside Alignment: the profile editor's own
//    TunnelProfiles element, written as it stands; the schema knows no such
//    child of Alignment.
constexpr std::string_view kTunnelProfiles = "TunnelProfiles";

bool IsTextFeature(const pugi::xml_node &node) {
    if (std::string_view(node.name()) != "Feature")
        return false;
    const std::string_view code = node.attribute("code").value();
    for (std::string_view known : kTextFeatures)
        if (code == known || (code.size() == known.size() + 1 &&
                              code.substr(0, known.size()) == known && code.back() == 's'))
            return true;
    return false;
}

void TakeOutKnownForms(pugi::xml_node node) {
    for (pugi::xml_node child = node.first_child(); child;) {
        pugi::xml_node next = child.next_sibling();
        if (child.type() == pugi::node_element) {
            const std::string_view name = child.name();
            if (name == kTunnelProfiles && std::string_view(node.name()) == "Alignment") {
                node.remove_child(child);
            } else {
                if (name == "Property" && !child.attribute("value"))
                    child.append_attribute("value") = "";
                if (IsTextFeature(child))
                    for (pugi::xml_node text : child.children())
                        if (text.type() == pugi::node_pcdata)
                            text.set_value("");
                TakeOutKnownForms(child);
            }
        }
        child = next;
    }
}

} // namespace

std::string ValidateLandXmlKnownForms(const std::filesystem::path &file) {
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_file(
        file.c_str(), pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata);
    if (!parsed)
        return file.string() + ": not well-formed at offset " + std::to_string(parsed.offset) +
               ": " + parsed.description();
    TakeOutKnownForms(document);
    // The copy keeps the original's layout, so xmllint's line numbers still
    // point into the written file.
    std::filesystem::path copy = file;
    copy += ".checked.xml";
    if (!document.save_file(copy.c_str(), "", pugi::format_raw | pugi::format_no_declaration,
                            pugi::encoding_utf8))
        return "cannot write " + copy.string();
    std::string complaints = ValidateLandXml(copy);
    std::error_code ignored;
    std::filesystem::remove(copy, ignored);
    return complaints;
}

} // namespace vialto::test
