// A document type declaration that a hostile XML input may carry: an external
// entity that would read a local file.
#pragma once

#include <string>

namespace vialto::test {

inline std::string ExternalEntityDoctype(const std::string &root) {
    return "<!DOCTYPE " + root + " [<!ENTITY xxe SYSTEM \"file:///etc/passwd\">]>\n";
}

} // namespace vialto::test
