// Tubrix: the tunnel profile editor. Shows a tunnel profile set with what the
// converter's reader says about it, edits its profiles and saves it; or makes
// a new set. See EditorCommandLine.h for the command line.
#include "editor-window/EditorMain.h"
#include "editors/TunnelEditing.h"

int main(int argc, char **argv) {
    using namespace vialto::editors;
    return RunEditorProgram(
        argc, argv,
        {ParseTubrixArguments, TubrixUsage, [](const EditorCommand &) { return TunnelKind(); }});
}
