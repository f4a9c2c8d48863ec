// Opens the wizard window and runs it until the user finishes (exit code 0),
// cancels or closes it (1223). Needs the application object.
#pragma once

#include "shell/Settings.h"

namespace vialto {

int RunWizard(ISettings &settings);

} // namespace vialto
