// Opens the wizard window and runs it until the user finishes (exit code 0),
// cancels or closes it (1223). Needs the application object.
#pragma once

#include "shell/Settings.h"

namespace vialto {

int RunWizard(ISettings &settings);

// How the wizard ends the program: through the user interface's process exit,
// or in debug mode by closing every window and leaving the event loop, so
// that RunWizard returns the code.
void EndProgram(int exitCode);

} // namespace vialto
