// The start of both editor programs: the command line, the check mode, the
// language file for the converter's messages, the session and its window.
#pragma once

#include "editors/EditorCommandLine.h"

#include <functional>
#include <string>
#include <vector>

namespace vialto::editors {

struct EditorProgram {
    std::function<EditorCommand(const std::vector<std::string> &)> Parse;
    std::function<std::string()> Usage;
    std::function<EditorKind(const EditorCommand &)> Kind;
};

// Runs the program; its exit code: 0 after the window closes (or a check the
// reader passes), 1 when there was nothing to edit (or the check failed),
// 64 for arguments not understood.
int RunEditorProgram(int argc, char **argv, const EditorProgram &program);

} // namespace vialto::editors
