// Reading of the XML files the sibling editors write (cant tables, tunnel
// profile sets): the file is read whole, brought to UTF-8 whatever encoding it
// was saved in, and parsed with pugixml. Failures say what is wrong and where
// (line and column of the file).
#pragma once

#include <pugixml.hpp>

#include <cstddef>
#include <cstdint>
#include <string>

namespace vialto {

// Files larger than this are refused before they are read.
inline constexpr std::uintmax_t kMaxXmlInputBytes = 64u * 1024u * 1024u;

// The file's text in UTF-8 without byte order mark. Understands byte order
// marks (UTF-8, UTF-16, UTF-32), UTF-16 without one, and the declared
// encodings UTF-8, US-ASCII, ISO-8859-1/Latin-1 and Windows-1252 (the last
// three read as Windows-1252). Bytes that are not valid UTF-8 in a UTF-8 file
// are read as Windows-1252; control characters XML cannot carry become "?".
// Raises notFoundNumber (with the path) when the
// file cannot be opened, badFileNumber when it is too large, in an encoding
// not understood, or not decodable.
std::string ReadXmlInputText(const std::string &path, long notFoundNumber, long badFileNumber);

// Parses UTF-8 text into doc with the options; on a parse error raises
// errorNumber naming the file (when given), the parser's reason and its
// place ("The file t.xml is not well-formed XML: Start-end tags mismatch at
// line 3, column 14"). A reader that refuses a document type parses with
// pugi::parse_doctype, so that it sees one (RefuseEntities).
void ParseXmlInput(pugi::xml_document &doc, const std::string &text, unsigned options,
                   long errorNumber, const std::string &fileName = {});

// The editors never write a document type, and entities are never expanded:
// raises errorNumber, with the file and the place, for a document type
// declaration anywhere in the document, and for an "&" in the root element
// (or after it) that does not begin one of the five predefined entities or a
// character reference. Comments, CDATA sections and processing instructions
// may hold any "&".
void RefuseEntities(const pugi::xml_document &doc, const std::string &text, long errorNumber,
                    const std::string &fileName);

// "line L, column C" of a byte offset in the text (both 1-based).
std::string XmlInputPlace(const std::string &text, std::ptrdiff_t offset);

} // namespace vialto
