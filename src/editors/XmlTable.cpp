// The table keeps the parsed file untouched and writes a fresh document from
// a copy of it: the copy's row elements are replaced by the table's rows, each
// made from the element it came from (so its children and other attributes
// travel with it) with the table's values set on it.
#include "editors/XmlTable.h"

#include "railtunnel/XmlInputFile.h"
#include "shell/Error.h"
#include "shell/Text.h"

#include <algorithm>
#include <unordered_map>

namespace vialto::editors {
namespace {

std::string_view BaseName(const pugi::xml_node &node) {
    const std::string_view name = node.name();
    const std::size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// Calls visit(node) for every node below root in document order, descending
// into a node only when visit returns true. The walk follows the tree's
// links, so no nesting depth can exhaust the stack.
template <class Visit> void WalkBelow(const pugi::xml_node &root, Visit visit) {
    pugi::xml_node node = root.first_child();
    while (node) {
        if (visit(node) && node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node != root && !node.next_sibling())
            node = node.parent();
        if (node == root)
            break;
        node = node.next_sibling();
    }
}

// The row elements below the root in document order, without descending into
// a row (a row inside a row is part of the outer row's content).
std::vector<pugi::xml_node> RowElements(const pugi::xml_node &root, const std::string &rowName) {
    std::vector<pugi::xml_node> rows;
    WalkBelow(root, [&](const pugi::xml_node &node) {
        const bool isRow = node.type() == pugi::node_element && rowName == node.name();
        if (isRow)
            rows.push_back(node);
        return !isRow;
    });
    return rows;
}

// The group of each row: the rank of its parent among the rows' parents, in
// order of first appearance. The same walk over a copy gives the same groups.
std::vector<std::size_t> RowGroups(const std::vector<pugi::xml_node> &rows,
                                   std::vector<pugi::xml_node> &parents) {
    std::unordered_map<std::size_t, std::size_t> rank;
    std::vector<std::size_t> groups;
    groups.reserve(rows.size());
    for (const pugi::xml_node &row : rows) {
        const pugi::xml_node parent = row.parent();
        const auto [at, added] = rank.try_emplace(parent.hash_value(), parents.size());
        if (added)
            parents.push_back(parent);
        groups.push_back(at->second);
    }
    return groups;
}

bool HasControlCharacter(const std::string &text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

// Checks text against the field's rule; "" when it passes, with the value to
// keep in `kept`.
std::string CheckField(const FieldDef &field, const std::string &text, std::string &kept) {
    const std::string trimmed = field.Kind == FieldKind::Text ? text : Trim(text);
    if (trimmed.empty()) {
        if (field.Required)
            return "a value is needed";
        kept.clear();
        return {};
    }
    switch (field.Kind) {
    case FieldKind::Number:
        if (!IsDecimalText(trimmed))
            return "'" + trimmed + "' is not a number";
        kept = ReplaceAll(trimmed, ",", ".");
        return {};
    case FieldKind::Choice:
        if (std::find(field.Choices.begin(), field.Choices.end(), trimmed) == field.Choices.end()) {
            std::string list;
            for (const std::string &choice : field.Choices)
                list += (list.empty() ? "" : ", ") + choice;
            return "'" + trimmed + "' is not one of " + list;
        }
        kept = trimmed;
        return {};
    case FieldKind::Flag:
        if (trimmed != "true" && trimmed != "false")
            return "'" + trimmed + "' is neither true nor false";
        kept = trimmed;
        return {};
    case FieldKind::Text:
        if (HasControlCharacter(trimmed))
            return "the text holds a control character";
        kept = trimmed;
        return {};
    }
    return {};
}

bool Editable(const FieldDef &field) { return !field.ReadOnly && !field.Derive; }

// Sets the attribute in place (keeping the element's attribute order), or
// removes it for an empty optional value.
void SetAttribute(pugi::xml_node &node, const FieldDef &field, const std::string &value) {
    const char *name = field.Attribute.c_str();
    if (value.empty() && !field.Required) {
        node.remove_attribute(name);
        return;
    }
    pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute)
        attribute = node.append_attribute(name);
    attribute.set_value(value.c_str());
}

class StringWriter final : public pugi::xml_writer {
  public:
    std::string Text;
    void write(const void *data, std::size_t size) override {
        Text.append(static_cast<const char *>(data), size);
    }
};

// The parser leaves the line ends inside comments and processing
// instructions as the file had them; they become plain LF, as in texts, so
// that the one carriage return left in the written document is a text's.
void NormalizeMarkupLineEnds(const pugi::xml_node &root) {
    WalkBelow(root, [](pugi::xml_node node) {
        if (node.type() == pugi::node_comment || node.type() == pugi::node_pi) {
            const std::string value = node.value();
            if (value.find('\r') != std::string::npos)
                node.set_value(ReplaceAll(ReplaceAll(value, "\r\n", "\n"), "\r", "\n").c_str());
        }
        return true;
    });
}

// Line ends become CR LF. The writer leaves a carriage return that a text
// held (from "&#13;") as it is, and a reader would take it for a line end:
// it is written as the reference again.
std::string CrLf(const std::string &text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\r') {
            out += "&#13;";
            continue;
        }
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

// The chainage of the first column, when it is a number.
bool Chainage(const TableRow &row, double &value) {
    if (row.Cells.empty() || !IsDecimalText(Trim(row.Cells[0])))
        return false;
    value = ParseDecimal(Trim(row.Cells[0]));
    return true;
}

} // namespace

bool IsDecimalText(const std::string &text) {
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        ++at;
    std::size_t digits = 0;
    bool separator = false;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if ((c == '.' || c == ',') && !separator) {
            separator = true;
        } else {
            return false;
        }
    }
    return digits > 0;
}

unsigned EditorParseOptions() {
    return pugi::parse_default | pugi::parse_declaration | pugi::parse_comments | pugi::parse_pi |
           pugi::parse_ws_pcdata_single;
}

TableDocument MakeTable(std::shared_ptr<const pugi::xml_document> xml,
                        std::shared_ptr<const TableDef> def) {
    const pugi::xml_node root = xml->document_element();
    if (!root)
        RaiseError(errNoValidFile, "The file has no root element");
    if (BaseName(root) != def->RootName)
        RaiseError(errNoValidFile, "The root element is <" + std::string(root.name()) + ">, not <" +
                                       def->RootName + ">");
    TableDocument table;
    for (const FieldDef &field : def->Header)
        table.Header.push_back(field.Attribute.empty()
                                   ? std::string()
                                   : root.attribute(field.Attribute.c_str()).value());
    const std::vector<pugi::xml_node> rows = RowElements(root, def->RowName);
    std::vector<pugi::xml_node> parents;
    const std::vector<std::size_t> groups = RowGroups(rows, parents);
    table.Rows.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        TableRow row;
        row.Source = rows[i];
        row.Group = groups[i];
        for (const FieldDef &column : def->Columns)
            row.Cells.push_back(column.Attribute.empty()
                                    ? std::string()
                                    : rows[i].attribute(column.Attribute.c_str()).value());
        table.Rows.push_back(std::move(row));
    }
    table.Def = std::move(def);
    table.Xml = std::move(xml);
    return table;
}

TableDocument TableFromText(const std::string &text, const DefChooser &chooseDef) {
    auto xml = std::make_shared<pugi::xml_document>();
    ParseXmlInput(*xml, text, EditorParseOptions(), errNoValidFile);
    auto def = chooseDef(*xml);
    return MakeTable(std::move(xml), std::move(def));
}

TableDocument ReadTable(const std::string &path, const DefChooser &chooseDef) {
    return TableFromText(ReadXmlInputText(path, errFileNotFound, errNoValidFile), chooseDef);
}

std::string CellText(const TableDocument &table, std::size_t row, std::size_t column) {
    const FieldDef &field = table.Def->Columns.at(column);
    const TableRow &r = table.Rows.at(row);
    if (field.Derive)
        return r.Source ? field.Derive(r.Source) : std::string();
    return r.Cells.at(column);
}

std::string SetHeaderText(TableDocument &table, std::size_t field, const std::string &text) {
    const FieldDef &def = table.Def->Header.at(field);
    if (!Editable(def))
        return def.Caption + " cannot be changed";
    std::string kept;
    const std::string problem = CheckField(def, text, kept);
    if (!problem.empty())
        return def.Caption + ": " + problem;
    table.Header.at(field) = kept;
    return {};
}

std::string SetCellText(TableDocument &table, std::size_t row, std::size_t column,
                        const std::string &text) {
    const FieldDef &def = table.Def->Columns.at(column);
    if (!Editable(def))
        return def.Caption + " cannot be changed";
    std::string kept;
    const std::string problem = CheckField(def, text, kept);
    if (!problem.empty())
        return "Row " + std::to_string(row + 1) + ", " + def.Caption + ": " + problem;
    table.Rows.at(row).Cells.at(column) = kept;
    return {};
}

void InsertRow(TableDocument &table, std::size_t at) {
    const TableDef &def = *table.Def;
    if (table.Rows.empty()) {
        TableRow row;
        row.Cells = def.BlankRow;
        row.Cells.resize(def.Columns.size());
        table.Rows.push_back(std::move(row));
        return;
    }
    at = std::min(at, table.Rows.size());
    TableRow row = table.Rows[at == 0 ? 0 : at - 1];
    for (std::size_t c = 0; c < def.Columns.size(); ++c)
        if (c < def.BlankRow.size() && !def.Columns[c].Attribute.empty() &&
            def.Columns[c].Kind == FieldKind::Text)
            row.Cells[c] = def.BlankRow[c]; // a copied name would name two rows
    double before = 0;
    double after = 0;
    const bool hasBefore = at > 0 && Chainage(table.Rows[at - 1], before);
    const bool hasAfter = at < table.Rows.size() && Chainage(table.Rows[at], after);
    if (hasBefore && hasAfter)
        row.Cells[0] = FormatDecimals((before + after) / 2, 3);
    else if (hasBefore && at == table.Rows.size())
        row.Cells[0] = FormatDecimals(before + def.RowStep, 3);
    else if (hasAfter && at == 0)
        row.Cells[0] = FormatDecimals(after - def.RowStep, 3);
    table.Rows.insert(table.Rows.begin() + static_cast<std::ptrdiff_t>(at), std::move(row));
}

void RemoveRow(TableDocument &table, std::size_t row) {
    if (row < table.Rows.size())
        table.Rows.erase(table.Rows.begin() + static_cast<std::ptrdiff_t>(row));
}

std::string CellProblem(const TableDocument &table, std::size_t row, std::size_t column) {
    const FieldDef &field = table.Def->Columns.at(column);
    std::string kept;
    return Editable(field) ? CheckField(field, table.Rows.at(row).Cells.at(column), kept)
                           : std::string();
}

std::string FieldProblem(const TableDocument &table) {
    const TableDef &def = *table.Def;
    std::string kept;
    for (std::size_t f = 0; f < def.Header.size(); ++f) {
        if (!Editable(def.Header[f]))
            continue;
        const std::string problem = CheckField(def.Header[f], table.Header[f], kept);
        if (!problem.empty())
            return def.Header[f].Caption + ": " + problem;
    }
    for (std::size_t r = 0; r < table.Rows.size(); ++r) {
        for (std::size_t c = 0; c < def.Columns.size(); ++c) {
            const std::string problem = CellProblem(table, r, c);
            if (!problem.empty())
                return "Row " + std::to_string(r + 1) + ", " + def.Columns[c].Caption + ": " +
                       problem;
        }
    }
    return {};
}

std::string WriteTable(const TableDocument &table) {
    const TableDef &def = *table.Def;
    const pugi::xml_document &source = *table.Xml;
    const pugi::xml_node sourceRoot = source.document_element();

    pugi::xml_document out;
    pugi::xml_node declaration = out.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    if (!def.VersionComment.empty())
        out.append_child(pugi::node_comment).set_value(def.VersionComment.c_str());

    // What stood before the root, but the declaration and the old version
    // comment (the file's second node).
    std::vector<pugi::xml_node> prolog;
    std::size_t index = 0;
    for (pugi::xml_node node = source.first_child(); node && node != sourceRoot;
         node = node.next_sibling(), ++index) {
        const bool oldVersionComment =
            !def.VersionComment.empty() && index == 1 && node.type() == pugi::node_comment;
        if (node.type() != pugi::node_declaration && !oldVersionComment)
            prolog.push_back(node);
    }
    if (!def.RootOnSecondLine)
        for (const pugi::xml_node &node : prolog)
            out.append_copy(node);
    pugi::xml_node root = out.append_copy(sourceRoot);
    if (def.RootOnSecondLine) {
        const pugi::xml_node first = root.first_child();
        for (const pugi::xml_node &node : prolog)
            first ? root.insert_copy_before(node, first) : root.append_copy(node);
    }
    for (pugi::xml_node node = sourceRoot.next_sibling(); node; node = node.next_sibling())
        out.append_copy(node);

    for (std::size_t f = 0; f < def.Header.size(); ++f)
        if (Editable(def.Header[f]) && !def.Header[f].Attribute.empty())
            SetAttribute(root, def.Header[f], table.Header[f]);
    for (const auto &[name, value] : def.Stamp) {
        pugi::xml_attribute attribute = root.attribute(name.c_str());
        (attribute ? attribute : root.append_attribute(name.c_str())).set_value(value.c_str());
    }

    // The copy's rows mark where each group's rows go; they are replaced.
    const std::vector<pugi::xml_node> oldRows = RowElements(root, def.RowName);
    std::vector<pugi::xml_node> parents;
    const std::vector<std::size_t> groups = RowGroups(oldRows, parents);
    std::vector<pugi::xml_node> anchors(parents.size());
    for (std::size_t i = oldRows.size(); i-- > 0;)
        anchors[groups[i]] = oldRows[i];
    for (const TableRow &row : table.Rows) {
        const bool known = row.Group < parents.size();
        pugi::xml_node parent = known ? parents[row.Group] : root;
        const pugi::xml_node anchor = known ? anchors[row.Group] : pugi::xml_node();
        pugi::xml_node element;
        if (row.Source)
            element = anchor ? parent.insert_copy_before(row.Source, anchor)
                             : parent.append_copy(row.Source);
        else
            element = anchor ? parent.insert_child_before(def.RowName.c_str(), anchor)
                             : parent.append_child(def.RowName.c_str());
        for (std::size_t c = 0; c < def.Columns.size(); ++c)
            if (Editable(def.Columns[c]) && !def.Columns[c].Attribute.empty())
                SetAttribute(element, def.Columns[c], row.Cells[c]);
    }
    for (const pugi::xml_node &old : oldRows)
        old.parent().remove_child(old);
    // A blank text kept as the only content of an element without rows was
    // its formatting; beside rows it would stay as a stray line break.
    parents.push_back(root);
    for (pugi::xml_node &parent : parents) {
        if (!parent.child(def.RowName.c_str()))
            continue;
        for (pugi::xml_node child = parent.first_child(); child;) {
            const pugi::xml_node next = child.next_sibling();
            if (child.type() == pugi::node_pcdata && Trim(child.value()).empty())
                parent.remove_child(child);
            child = next;
        }
    }

    NormalizeMarkupLineEnds(out);
    StringWriter writer;
    out.save(writer, "  ", pugi::format_indent | pugi::format_no_declaration, pugi::encoding_utf8);
    return CrLf(writer.Text);
}

} // namespace vialto::editors
