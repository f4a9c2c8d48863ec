#include "editors/EditorKind.h"

namespace vialto::editors {

std::string SaveProblem(const EditorKind &kind, const TableDocument &table) {
    std::string problem = FieldProblem(table);
    if (problem.empty() && kind.Problem)
        problem = kind.Problem(table);
    return problem;
}

} // namespace vialto::editors
