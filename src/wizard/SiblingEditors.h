// The sibling editors of the input-files page: the tunnel profile editor
// "Tubrix" and the cant editor "Cantrix", programs of the same family in the
// program's own folder. Their rows offer an edit button that starts them with
// an argument list (never through a shell, so a file name is only ever a
// file name).
#pragma once

#include <string>
#include <vector>

namespace vialto {

enum class EditorKind { None, TunnelProfiles, CantTable };

inline constexpr const char *kTunnelEditorName = "Tubrix";
inline constexpr const char *kCantEditorName = "Cantrix";

struct EditorCommand {
    std::string Program; // full path
    std::vector<std::string> Arguments;
    bool operator==(const EditorCommand &) const = default;
};

// The editor's full path: the program's folder + its name with the
// platform's executable suffix.
std::string SiblingProgramPath(EditorKind kind);
bool SiblingProgramExists(EditorKind kind);

// The editor and its arguments for a row: the tunnel editor gets "-l" and the
// file when one is chosen; the cant editor "-d1" (double track) or "-d"
// (single track), then "-c" and the file, or "-s" when none is chosen.
// Nothing (an empty program) for EditorKind::None.
EditorCommand ComposeEditorCommand(EditorKind kind, const std::string &file, bool doubleTrack);

} // namespace vialto
