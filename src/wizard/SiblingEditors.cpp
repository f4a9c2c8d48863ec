#include "wizard/SiblingEditors.h"

#include "shell/AppModel.h"
#include "shell/Platform.h"

#include <filesystem>

namespace vialto {

namespace {

const char *EditorName(EditorKind kind) {
    switch (kind) {
    case EditorKind::TunnelProfiles:
        return kTunnelEditorName;
    case EditorKind::CantTable:
        return kCantEditorName;
    default:
        return "";
    }
}

} // namespace

std::string SiblingProgramPath(EditorKind kind) {
    if (kind == EditorKind::None)
        return {};
    return PathText(Utf8Path(ProgramFolder()) / Utf8Path(EditorName(kind) + ExecutableSuffix()));
}

bool SiblingProgramExists(EditorKind kind) {
    std::error_code ec;
    return kind != EditorKind::None &&
           std::filesystem::is_regular_file(Utf8Path(SiblingProgramPath(kind)), ec);
}

EditorCommand ComposeEditorCommand(EditorKind kind, const std::string &file, bool doubleTrack) {
    EditorCommand command{SiblingProgramPath(kind), {}};
    switch (kind) {
    case EditorKind::TunnelProfiles:
        command.Arguments = {"-l"};
        if (!file.empty())
            command.Arguments.push_back(file);
        break;
    case EditorKind::CantTable:
        command.Arguments = {doubleTrack ? "-d1" : "-d"};
        if (file.empty()) {
            command.Arguments.push_back("-s");
        } else {
            command.Arguments.push_back("-c");
            command.Arguments.push_back(file);
        }
        break;
    case EditorKind::None:
        break;
    }
    return command;
}

} // namespace vialto
