// Cantrix: the cant editor. Shows a cant table with what the converter's
// reader says about it, edits its stations and saves it; or makes a new
// table. See EditorCommandLine.h for the command line.
#include "editor-window/EditorMain.h"
#include "editors/CantEditing.h"

int main(int argc, char **argv) {
    using namespace vialto::editors;
    return RunEditorProgram(argc, argv,
                            {ParseCantrixArguments, CantrixUsage, [](const EditorCommand &command) {
                                 return CantKind(command.DoubleTrack);
                             }});
}
