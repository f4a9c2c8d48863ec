#include "shell/AppModel.h"

#include "shell/Platform.h"

#include <optional>

namespace vialto {

int clsConverterInfo::JobTypeCount() const {
    int count = 0;
    if (nFormatsSuppront & fmtRoad)
        ++count;
    if (nFormatsSuppront & fmtTunnel)
        ++count;
    if (nFormatsSuppront & fmtRail)
        count += 2;
    return count;
}

std::string clsConversionInfo::GetCreator() const {
    const std::string name = LoggedOnUserName();
    // The system's answer is cut at its first NUL.
    return name.substr(0, name.find('\0'));
}

std::string
clsConversionInfo::GetRoadDataName(const std::vector<std::string> &selectedInputPaths) const {
    if (!RoadDataName.empty())
        return RoadDataName;
    std::string list;
    for (const std::string &path : selectedInputPaths) {
        if (!list.empty())
            list += " + ";
        list += FileNameOfPath(path);
    }
    return "<" + list + ">";
}

void clsAppModel::Reset() { *this = clsAppModel(); }

clsAppModel &AppModel() {
    static clsAppModel model;
    return model;
}

std::string Token(const std::string &token) { return AppModel().GetToken(token); }

namespace {
int &FormatsValue() {
    static int value = fmtTunnel;
    return value;
}
// Set by the tests; otherwise the system says where the program lies.
std::optional<std::string> &FolderValue() {
    static std::optional<std::string> folder;
    return folder;
}
} // namespace

int SupportedFormats() { return FormatsValue(); }
void SetSupportedFormats(int value) { FormatsValue() = value; }

std::string SupportedFormatNames(int value) {
    static const std::pair<int, const char *> names[] = {{fmtRoad, "Road"},
                                                         {fmtTunnel, "Tunnel"},
                                                         {fmtRail, "Rail"},
                                                         {fmtPla, "PLA"},
                                                         {fmtDtm, "DTM"}};
    std::string text;
    for (const auto &[bit, name] : names) {
        if (value & bit) {
            if (!text.empty())
                text += ",";
            text += name;
        }
    }
    return text;
}

std::string ProgramFolder() {
    std::optional<std::string> &folder = FolderValue();
    if (!folder)
        folder = ExecutableFolder();
    return *folder;
}
void SetProgramFolder(const std::string &folder) { FolderValue() = folder; }

ProgramVersion GetProgramVersion() { return {1, 0, 0}; }

std::string FileNameOfPath(const std::string &path) {
    const std::size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

} // namespace vialto
