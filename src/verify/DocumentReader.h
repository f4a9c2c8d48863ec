// The reader of the LandXML documents this program writes, in both flavours:
// the plain one, and the extended one whose stringline names and layers stand
// in the extended root at the end of the document. It reads what the proof
// and the preview need into the plain records of DocumentRecords.h and
// evaluates nothing (see DocumentGeometry.h for that).
//
// Like pugixml's own parse result, a failure is a value: the reader says what
// is wrong and where (the line of the document), and never throws.
#pragma once

#include "verify/DocumentRecords.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace vialto {

// Documents larger than this are refused before they are read (a 100 km road
// with 10,000 cross sections is about 26 MB).
inline constexpr std::uintmax_t kMaxReadBackBytes = 1024u * 1024u * 1024u;

// Reads the document at path. False, with `failure` saying what and where,
// when the file cannot be read, is larger than kMaxReadBackBytes, is not
// well-formed XML, has no LandXML root, or misses or misspells what the
// elements this program writes always carry (a figure point, a number, rot,
// spiType).
bool ReadLandXmlDocument(const std::filesystem::path &path, ReadBackDocument &document,
                         std::string &failure);

// The same from the document's text, which the reader parses in place.
bool ParseLandXmlDocument(std::string &text, ReadBackDocument &document, std::string &failure);

} // namespace vialto
