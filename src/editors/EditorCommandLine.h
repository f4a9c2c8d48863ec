// The command lines of the two editors, as the converter's files page starts
// them, and the window-less check mode:
//
//   Tubrix  [-l [FILE]] [--template-out FILE] [--check]
//   Cantrix (-d | -d1) (-c [FILE] | -s) [--template-out FILE] [--check]
//
// A file is opened for editing; without one (-l alone, -c alone, -s) a new
// template file is made where the save dialog says, or at --template-out.
// --check shows no window: it prints what the converter's reader says about
// the file (after making the template, if asked) and ends with 0 when the
// reader takes it, 1 when it refuses it. The arguments arrive as a list, never
// through a shell: a file name is only ever a file name.
#pragma once

#include "editors/EditorSession.h"

#include <ostream>
#include <string>
#include <vector>

namespace vialto::editors {

inline constexpr int kExitUsage = 64;

struct EditorCommand {
    std::string Error;       // why the arguments are not understood; "" when they are
    bool Help = false;       // --help or -h
    std::string File;        // the file to edit; "" for a new template
    std::string TemplateOut; // where the template goes instead of asking
    bool DoubleTrack = false;
    bool CheckOnly = false;
};

// The arguments after the program's name.
EditorCommand ParseTubrixArguments(const std::vector<std::string> &args);
EditorCommand ParseCantrixArguments(const std::vector<std::string> &args);
std::string TubrixUsage();
std::string CantrixUsage();

// Opens the command's file, or makes the template. A file that does not exist
// yet is made from the template when the user agrees, otherwise opened (and
// refused). False when there is nothing to edit (the template was cancelled
// or could not be written).
bool StartSession(EditorSession &session, const EditorCommand &command, IEditorDialogs &dialogs);

// The check mode: the verdict line on out, problems on err; the exit code.
int RunCheck(const EditorKind &kind, const EditorCommand &command, std::ostream &out,
             std::ostream &err);

} // namespace vialto::editors
