// Schema validation of written documents that tolerates exactly the few
// constructs the field software reads although the LandXML 1.2 schema refuses
// them. Every other part of a document must be valid.
#pragma once

#include <filesystem>
#include <string>

namespace vialto::test {

// Validates a written document against the LandXML 1.2 schema after taking out
// the known forms (see the list in LandXmlKnownForms.cpp); returns "" when
// valid, otherwise the parse error or xmllint's complaints.
std::string ValidateLandXmlKnownForms(const std::filesystem::path &file);

} // namespace vialto::test
