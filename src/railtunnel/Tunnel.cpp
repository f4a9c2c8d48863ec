// Loading of a tunnel profile set and its copy into the output document.
//
// The set is copied as the file's root element on one line. It is written
// from the parsed document, not from the file's lines: a line break between
// two attributes or inside a text must not glue words together, and the copy
// must be UTF-8 whatever encoding the editor saved the file in. Only the line
// breaks and indentation between tags go; every element, attribute, text
// (blanks included), CDATA section, comment and instruction stays.
#include "railtunnel/Tunnel.h"

#include "landxml/LandXmlWriter.h"
#include "railtunnel/XmlInputFile.h"
#include "shell/AppModel.h"
#include "shell/ErrHandler.h"
#include "shell/Error.h"
#include "shell/Text.h"

#include <algorithm>

namespace vialto {
namespace {

std::string_view BaseName(const pugi::xml_node &node) {
    const std::string_view name = node.name();
    const std::size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// The lines of the text as a line-by-line reader sees them (CR LF, LF or CR
// end a line); only the first two are needed.
std::vector<std::string_view> FirstLines(std::string_view text, std::size_t count) {
    std::vector<std::string_view> lines;
    std::size_t at = 0;
    while (lines.size() < count && at < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(at));
            break;
        }
        lines.push_back(text.substr(at, end - at));
        at = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
    return lines;
}

// Comment and processing-instruction text on one line, still well-formed:
// they cannot hold character references, so a line break becomes a blank.
std::string OneLineMarkupText(std::string_view text) {
    std::string out = Utf8Text(text);
    for (char &c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
    return out;
}

// Text of nothing but blanks, tabs and line breaks that holds a line break:
// the file's layout between two tags, not content.
bool IsLayout(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos &&
           text.find_first_of("\r\n") != std::string_view::npos;
}

// A CDATA section on one line: at each line break the section closes, the
// break follows as a character reference, and a new section opens, so that
// a reader gets back the same text.
void WriteCdata(std::string_view text, std::string &out) {
    out += "<![CDATA[";
    for (std::size_t at = 0;;) {
        const std::size_t end = text.find_first_of("\r\n", at);
        out += Utf8Text(text.substr(at, end - at));
        if (end == std::string_view::npos)
            break;
        out += "]]>";
        out += text[end] == '\r' ? "&#13;" : "&#10;";
        out += "<![CDATA[";
        at = end + 1;
    }
    out += "]]>";
}

// Writes one node that is not an element.
void WriteLeaf(const pugi::xml_node &node, std::string &out) {
    switch (node.type()) {
    case pugi::node_pcdata:
        if (!IsLayout(node.value()))
            out += XmlText(node.value());
        return;
    case pugi::node_cdata:
        WriteCdata(node.value(), out);
        return;
    case pugi::node_comment: {
        // "--" may not appear inside a comment, nor "-" at its end.
        std::string text = ReplaceAll(OneLineMarkupText(node.value()), "--", "- -");
        if (!text.empty() && text.back() == '-')
            text += ' ';
        out += "<!--" + text + "-->";
        return;
    }
    case pugi::node_pi:
        out += "<?";
        out += node.name();
        if (*node.value()) {
            out += ' ';
            out += ReplaceAll(OneLineMarkupText(node.value()), "?>", "? >");
        }
        out += "?>";
        return;
    default:
        return;
    }
}

// Whether anything but layout lies between the element's tags; an element
// without is written as an empty tag.
bool HasContent(const pugi::xml_node &element) {
    for (const pugi::xml_node &child : element.children())
        if (child.type() != pugi::node_pcdata || !IsLayout(child.value()))
            return true;
    return false;
}

void WriteStartTag(const pugi::xml_node &element, bool hasContent, std::string &out) {
    out += '<';
    out += element.name();
    for (const pugi::xml_attribute &attribute : element.attributes()) {
        out += ' ';
        out += attribute.name();
        out += "=\"";
        out += XmlText(attribute.value());
        out += '"';
    }
    out += hasContent ? ">" : "/>";
}

// Writes the element and everything below it as one line of UTF-8 XML. Texts
// and attribute values are escaped again, so line breaks inside them travel
// as character references and a reader gets back exactly what the file held.
// The walk follows the tree's links instead of recursing, so that no nesting
// depth can exhaust the stack.
void WriteOneLine(const pugi::xml_node &root, std::string &out) {
    pugi::xml_node node = root;
    for (;;) {
        if (node.type() == pugi::node_element) {
            const bool hasContent = HasContent(node);
            WriteStartTag(node, hasContent, out);
            if (hasContent) {
                node = node.first_child();
                continue;
            }
        } else {
            WriteLeaf(node, out);
        }
        // Close every element whose last child has been written.
        while (node != root && !node.next_sibling()) {
            node = node.parent();
            out += "</";
            out += node.name();
            out += '>';
        }
        if (node == root)
            return;
        node = node.next_sibling();
    }
}

} // namespace

bool clsTunnel::Load(const std::string &fileName) {
    return Guarded("clsTunnel.Load", false, [&] {
        Trace(">> clsTunnel.Load");
        const std::string text = ReadXmlInputText(fileName, errFileNotFound, errNoValidFile);

        // The editor writes the declaration on the first line and the root's
        // start tag on the second; anything else is not one of its files.
        const std::vector<std::string_view> lines = FirstLines(text, 2);
        if (!lines.empty() && StartsWith(lines[0], "<?xml") &&
            (lines.size() < 2 || !StartsWith(lines[1], "<TunnelProfiles")))
            RaiseError(errNoValidFile,
                       "The second line of " + fileName + " does not start with <TunnelProfiles");

        pugi::xml_document doc;
        ParseXmlInput(doc, text,
                      pugi::parse_default | pugi::parse_comments | pugi::parse_pi |
                          pugi::parse_ws_pcdata | pugi::parse_doctype,
                      errNoValidFile, fileName);
        RefuseEntities(doc, text, errNoValidFile, fileName);
        const pugi::xml_node root = doc.document_element();
        if (BaseName(root) != "TunnelProfiles")
            RaiseError(errNoValidFile, "The root element of " + fileName + " is <" +
                                           std::string(root.name()) + ">, not <TunnelProfiles>");

        const pugi::xpath_node_set profiles = root.select_nodes(".//TunnelProfile");
        if (profiles.empty())
            RaiseError(errNotFillAll,
                       "The tunnel profile file " + fileName + " has no <TunnelProfile> elements");
        std::vector<double> chainages;
        chainages.reserve(profiles.size());
        for (const pugi::xpath_node &item : profiles) {
            const pugi::xml_attribute sta = item.node().attribute("sta");
            if (!sta)
                RaiseError(errNoValidFile, "The <TunnelProfile> element at " +
                                               XmlInputPlace(text, item.node().offset_debug()) +
                                               " of " + fileName + " has no sta attribute");
            chainages.push_back(ParseDecimal(sta.value()));
        }
        std::stable_sort(chainages.begin(), chainages.end());

        std::string line;
        line.reserve(text.size());
        WriteOneLine(root, line);
        // Comments and instructions after the root belong to the copy too.
        for (pugi::xml_node after = root.next_sibling(); after; after = after.next_sibling())
            WriteLeaf(after, line);

        chainages_ = std::move(chainages);
        text_ = std::move(line);
        Trace("<< clsTunnel.Load");
        return true;
    });
}

double clsTunnel::GetChainageStart() const { return chainages_.at(0); }

double clsTunnel::GetChainageEnd() const {
    if (chainages_.empty())
        RaiseRuntime(errSubscript, "the tunnel profile set has no profiles");
    return chainages_.back();
}

bool clsTunnel::ExportToLandXml(double &rChainageStart, double &rChainageEnd, double /*dChStart*/,
                                double /*dChEnd*/) const {
    return Guarded("clsTunnel.ExportToLandXml", false, [&] {
        Trace(">> clsTunnel.ExportToLandXml");
        rChainageStart = GetChainageStart();
        rChainageEnd = GetChainageEnd();
        // In the plain flavour the side level is 0, so the line is not indented.
        const bool written = AppModel().IsOstXML ? WriteLnAt(text_) : WriteLnAtOstLevel(text_);
        Trace("<< clsTunnel.ExportToLandXml");
        return written;
    });
}

std::shared_ptr<clsTunnel> GetAligmentTnl(SlotNumber slot) {
    return std::any_cast<std::shared_ptr<clsTunnel>>(GetAligmentShared(slot, flagTnl));
}

void SetAligmentTnl(SlotNumber slot, std::shared_ptr<clsTunnel> tunnel) {
    SetAligmentShared(slot, flagTnl, std::move(tunnel));
}

} // namespace vialto
