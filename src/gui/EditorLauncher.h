// Starts a sibling editor and waits for it to end while the wizard window
// stays painted (and takes no input). The program gets its arguments as a
// list: no shell ever reads them, so a file name is only a file name.
#pragma once

#include "wizard/SiblingEditors.h"

class QWidget;

namespace vialto {

// Runs the editor to its end. False, after a message, when it cannot be
// started; the editor's own exit code is its own business.
bool LaunchEditor(const EditorCommand &command, QWidget *window);

} // namespace vialto
