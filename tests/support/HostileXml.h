// Document type declarations that a hostile XML input may carry: an external
// entity that would read a local file, and the "billion laughs" of entities
// nested ten deep that would expand to gigabytes.
#pragma once

#include <string>

namespace vialto::test {

inline std::string ExternalEntityDoctype(const std::string &root) {
    return "<!DOCTYPE " + root + " [<!ENTITY xxe SYSTEM \"file:///etc/passwd\">]>\n";
}

// Entity lol9 would expand to 10^9 times "lol".
inline std::string BillionLaughs(const std::string &root) {
    std::string doctype = "<!DOCTYPE " + root + " [\n <!ENTITY lol \"lol\">\n";
    for (int level = 1; level <= 9; ++level) {
        const std::string below = level == 1 ? "lol" : "lol" + std::to_string(level - 1);
        doctype += " <!ENTITY lol" + std::to_string(level) + " \"";
        for (int k = 0; k < 10; ++k)
            doctype += "&" + below + ";";
        doctype += "\">\n";
    }
    return doctype + "]>\n";
}

} // namespace vialto::test
