#include "batch/JobFile.h"

#include "batch/ConvertOptions.h"
#include "shell/Platform.h"
#include "shell/Text.h"

#include <filesystem>
#include <fstream>

namespace vialto {

bool ReadJobFile(const std::string &path, JobDescription &job, std::string &error,
                 std::vector<std::string> *keysRead) {
    std::ifstream file{Utf8Path(path), std::ios::binary};
    if (!file) {
        error = "cannot read the job file " + path;
        return false;
    }
    const std::filesystem::path folder = Utf8Path(path).parent_path();
    std::string line;
    long number = 0;
    while (std::getline(file, line)) {
        ++number;
        line = Trim(line);
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t eq = line.find('=');
        const std::string where = path + ", line " + std::to_string(number) + ": ";
        if (eq == std::string::npos) {
            error = where + "expected \"key = value\"";
            return false;
        }
        const std::string key = Trim(line.substr(0, eq));
        std::string value = Trim(line.substr(eq + 1));
        const ConvertOption *option = FindConvertOption(key);
        if (option == nullptr) {
            error = where + "unknown key \"" + key + "\"";
            return false;
        }
        if (option->TakesPath() && !value.empty() && Utf8Path(value).is_relative())
            value = PathText((folder / Utf8Path(value)).lexically_normal());
        if (const std::string problem = option->Apply(job, value); !problem.empty()) {
            error = where + key + " " + problem;
            return false;
        }
        if (keysRead != nullptr)
            keysRead->push_back(key);
    }
    return true;
}

} // namespace vialto
