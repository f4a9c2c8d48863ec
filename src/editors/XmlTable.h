// A file of the sibling editors seen as a table: a root element whose
// attributes are the fields above the table, and row elements (tunnel
// profiles, cant stations) whose attributes are the columns. Everything the
// table does not show - other attributes, child elements, comments, the
// elements around the rows - is kept from the file as read and written back
// around the edited values, so a save never loses what the editor does not
// know about.
#pragma once

#include <pugixml.hpp>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vialto::editors {

enum class FieldKind {
    Text,   // any text without control characters
    Number, // a decimal number, "." or "," as separator
    Choice, // one of the field's choices
    Flag,   // "true" or "false"
};

// One field above the table or one column of it.
struct FieldDef {
    std::string Attribute; // the attribute it edits; "" for a column worked out from the row
    std::string Caption;   // what the window shows, with its unit
    FieldKind Kind = FieldKind::Text;
    bool Required = false; // an empty cell is refused on saving (otherwise it drops the attribute)
    bool ReadOnly = false;
    std::vector<std::string> Choices;
    // For a worked-out column: its text from the row's element (may be empty).
    std::function<std::string(const pugi::xml_node &)> Derive;
};

// What a kind of file looks like to the table.
struct TableDef {
    std::string RootName; // base name of the root element (a prefix is allowed)
    std::string RowName;  // the rows' element name, exact
    std::vector<FieldDef> Header;
    std::vector<FieldDef> Columns;
    // Root attributes always written with these values (the format version).
    std::vector<std::pair<std::string, std::string>> Stamp;
    // The comment written as the file's second node, replacing the one the
    // file had there; "" writes none.
    std::string VersionComment;
    // The root's start tag must be the file's second line: comments and
    // processing instructions that stood before the root move to its start.
    bool RootOnSecondLine = false;
    // A row added after the last one lies this far beyond it (metres).
    double RowStep = 20;
    // The cells of a row added to an empty table.
    std::vector<std::string> BlankRow;
};

struct TableRow {
    std::vector<std::string> Cells; // per column: the attribute's text, "" when absent
    pugi::xml_node Source;          // the element whose content the row keeps; empty for none
    std::size_t Group = 0;          // which parent element of the file the row is written into
};

// The table of one file. The parsed file is shared and never changed: rows
// point into it for what they keep.
struct TableDocument {
    std::shared_ptr<const TableDef> Def;
    std::shared_ptr<const pugi::xml_document> Xml;
    std::vector<std::string> Header; // per header field, "" when absent
    std::vector<TableRow> Rows;
};

// The parse options of the editors: those of the converter's readers, plus
// the declaration and a blank text that is an element's only content.
unsigned EditorParseOptions();

// Chooses the table definition by the parsed file (a cant table's form is decided by its
// first station).
using DefChooser = std::function<std::shared_ptr<const TableDef>(const pugi::xml_document &xml)>;

// Reads a file for editing (any encoding the converter's readers take) and
// makes its table. Raises errFileNotFound when it cannot be read and
// errNoValidFile when it is not well-formed XML or its root is another
// element, each with what and where.
TableDocument ReadTable(const std::string &path, const DefChooser &chooseDef);
// The same from UTF-8 text (the templates).
TableDocument TableFromText(const std::string &text, const DefChooser &chooseDef);
// The table of a parsed document.
TableDocument MakeTable(std::shared_ptr<const pugi::xml_document> xml,
                        std::shared_ptr<const TableDef> def);

// The text a cell shows: the attribute's, or the worked-out column's.
std::string CellText(const TableDocument &table, std::size_t row, std::size_t column);

// Changes a header field or a cell to text. Numbers are kept as typed with
// "," turned into "."; "" clears an optional field. Returns "" when taken,
// otherwise why not (and nothing changes).
std::string SetHeaderText(TableDocument &table, std::size_t field, const std::string &text);
std::string SetCellText(TableDocument &table, std::size_t row, std::size_t column,
                        const std::string &text);

// Inserts a row at index `at` (0..row count): a copy of the row before it
// (of the first row when at is 0), keeping that row's content, at a chainage
// halfway to the row after it or RowStep beyond the last; the blank row
// when the table is empty. The chainage is the first column.
void InsertRow(TableDocument &table, std::size_t at);
void RemoveRow(TableDocument &table, std::size_t row);

// Why the cell breaks its column's rule (a file may hold such values); ""
// when it keeps it.
std::string CellProblem(const TableDocument &table, std::size_t row, std::size_t column);

// Why the table cannot be saved as its fields' rules stand ("row 3, Station
// (m): 'x' is not a number"); "" when it can.
std::string FieldProblem(const TableDocument &table);

// The file the table makes, UTF-8 with CR LF line ends: the declaration, the
// version comment, the root with the header values and the stamp, and the
// rows in table order, each inside the parent it was read from; everything
// else as read. Writes from the table alone.
std::string WriteTable(const TableDocument &table);

// Whether the text is a plain decimal number: an optional sign, digits with at
// most one "." or ",", at least one digit.
bool IsDecimalText(const std::string &text);

} // namespace vialto::editors
