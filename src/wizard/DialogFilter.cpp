#include "wizard/DialogFilter.h"

#include "shell/Text.h"

namespace vialto {

std::vector<std::string> DialogFilters(const std::string &classicFilter) {
    std::vector<std::string> filters;
    const std::vector<std::string> parts = Split(classicFilter, "|");
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string description = parts[i];
        if (const std::size_t open = description.find('('); open != std::string::npos)
            description.resize(open);
        description = Trim(description);
        std::string patterns;
        for (const std::string &piece : Split(parts[i + 1], ";")) {
            std::string pattern = Trim(piece);
            if (pattern.empty())
                continue;
            if (pattern == "*.*")
                pattern = "*";
            patterns += (patterns.empty() ? "" : " ") + pattern;
        }
        if (patterns.empty())
            continue;
        filters.push_back((description.empty() ? std::string("*") : description) + " (" + patterns +
                          ")");
    }
    return filters;
}

} // namespace vialto
