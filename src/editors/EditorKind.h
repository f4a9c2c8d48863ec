// What distinguishes the two sibling editors: the kind of file, its table,
// its template, the converter's reader that judges it, and the rules a file
// must keep beyond its fields' own.
#pragma once

#include "editors/ReaderVerdict.h"
#include "editors/XmlTable.h"

#include <functional>
#include <string>

namespace vialto::editors {

struct EditorKind {
    std::string Program;      // "Tubrix", "Cantrix"
    std::string FileKind;     // "tunnel profile set", for messages
    std::string Filter;       // for the save dialog, Qt's form: "Tunnel profiles (*.xml)"
    std::string ProposedName; // the save dialog's proposal for a new file
    DefChooser ChooseDef;
    std::function<std::string()> TemplateText; // a valid file of the kind, UTF-8
    std::function<ReaderVerdict(const std::string &path)> AskReader;
    // Why the table cannot be saved beyond its fields' rules; "" when it can.
    std::function<std::string(const TableDocument &table)> Problem;
};

// Why the table cannot be saved: its fields' rules first, then the kind's.
std::string SaveProblem(const EditorKind &kind, const TableDocument &table);

} // namespace vialto::editors
