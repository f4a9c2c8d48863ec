#include "shell/LanguageFile.h"

#include "shell/AppModel.h"
#include "shell/ErrHandler.h"
#include "shell/Platform.h"
#include "shell/Text.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace vialto {

void clsLanguageFile::ReadText(const std::string &text) {
    entries_.clear();
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos || line.find('=', eq + 1) != std::string::npos)
            continue;
        std::string value = line.substr(eq + 1);
        for (std::size_t at = value.find("\\n"); at != std::string::npos;
             at = value.find("\\n", at + 2))
            value.replace(at, 2, "\r\n");
        entries_.emplace_back(Trim(line.substr(0, eq)), Trim(value));
    }
}

bool clsLanguageFile::ReadFile(const std::string &sFile) {
    return Guarded("clsLanguageFile.ReadFile", false, [&] {
        entries_.clear();
        const std::filesystem::path path = Utf8Path(ProgramFolder()) / Utf8Path(sFile);
        std::error_code ec;
        if (std::filesystem::is_directory(path, ec)) // opens, but reads as nothing
            RaiseRuntime(errPathAccess, PathText(path) + " is a folder");
        std::ifstream file(path, std::ios::binary);
        if (!file)
            RaiseRuntime(errFileNotFound, PathText(path));
        std::ostringstream all;
        if (file.peek() != std::ifstream::traits_type::eof())
            all << file.rdbuf();
        if (file.bad() || all.fail())
            RaiseRuntime(errPathAccess, PathText(path));
        std::string text = all.str();
        if (text.rfind("\xEF\xBB\xBF", 0) == 0) // a byte order mark is not part of the first key
            text.erase(0, 3);
        ReadText(text);
        return true;
    });
}

std::string clsLanguageFile::GetToken(const std::string &sToken) const {
    for (const auto &[key, value] : entries_)
        if (key == sToken)
            return value;
    return sToken;
}

} // namespace vialto
