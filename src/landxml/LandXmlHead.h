// The fixed head of the document: the XML declaration and LandXML root, the
// Application, Project and Units lines, and the extended flavour's root in the
// side file. Each returns true when its last line was written.
#pragma once

#include <string>

namespace vialto {

// The namespaces and schema locations the document declares.
inline constexpr const char *kLandXmlNamespace = "http://www.landxml.org/schema/LandXML-1.2";
inline constexpr const char *kLandXmlSchemaLocation =
    "http://www.landxml.org/schema/LandXML-1.2/LandXML-1.2.xsd";
inline constexpr const char *kXsiNamespace = "http://www.w3.org/2001/XMLSchema-instance";
inline constexpr const char *kMakerUrl = "http://www.ostrem-systems.com";
inline constexpr const char *kOstremNamespace = "http://www.ostrem-systems.com/schema/OsXML-1.2";
inline constexpr const char *kOstremSchemaLocation =
    "http://www.ostrem-systems.com/schema/OsXML-1.2.xsd";

// close = false: opens the files when needed, writes the declaration and the
// root start tag (unindented) and, in the extended flavour, the extended root
// in the side file; the main level becomes 1. close = true: closes the extended
// root, copies the side file's lines into the main file and deletes the side
// file, then writes "</LandXML>" unindented.
bool TagLandXML(bool close);
// <Application ...><Author createdBy="C" /></Application> at the main level.
bool TagApplication(const std::string &createdBy);
// <Project name="N" desc="D" /> at the main level.
bool TagProject(const std::string &name, const std::string &desc);
// The Units block for a linear unit code 1..8 (1 millimetre ... 8 mile); any
// other code raises error 5 (reported as "CLandXML.TagUnits") and writes nothing.
bool TagUnits(int linearUnits);
// The extended flavour's root start (close = false; the side level becomes 1
// first) or end tag, in the side file.
bool TagOstremLandXML(bool close);

} // namespace vialto
