// Feeds arbitrary bytes to the editors' tables of both kinds. Whatever a table
// is made of, what it writes must read back as the same rows, and writing
// that again must give the same bytes: a save never turns a file into one the
// editor itself cannot read, and never drifts from save to save.
#include "editors/CantEditing.h"
#include "editors/TunnelEditing.h"
#include "shell/AppModel.h"
#include "shell/Error.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(const vialto::editors::EditorKind &kind, const std::string &text) {
    using namespace vialto::editors;
    TableDocument table;
    try {
        table = TableFromText(text, kind.ChooseDef);
    } catch (const vialto::VialtoError &) {
        return;
    }
    InsertRow(table, table.Rows.size() / 2);
    (void)SaveProblem(kind, table);
    const std::string written = WriteTable(table);
    TableDocument again;
    try {
        again = TableFromText(written, kind.ChooseDef);
    } catch (const vialto::VialtoError &) {
        std::abort();
    }
    if (again.Rows.size() != table.Rows.size() || WriteTable(again) != written)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    vialto::AppModel().SetAddOnMode(true);
    const std::string text(reinterpret_cast<const char *>(data), size);
    static const vialto::editors::EditorKind tunnel = vialto::editors::TunnelKind();
    static const vialto::editors::EditorKind cant = vialto::editors::CantKind(true);
    Check(tunnel, text);
    Check(cant, text);
    return 0;
}
