// Plain text from an RTF document, in the shape the report readers expect:
// every paragraph and every table row ends with CR LF (the last one too, so no
// row is lost), and every table cell is followed by one tab character (the
// row's last cell included), so a row of 7 cells splits at tabs into 8 pieces,
// the last one empty.
//
// Reads groups, control words and symbols, \par, \row, \cell, \line (a line
// break inside a paragraph: LF alone, which ends no row), \tab, \'hh and raw
// bytes above 0x7F as Windows-1252 (the reports' code page; other \ansicpg
// values are read the same way), \uN with \ucN, all converted to UTF-8, and
// skips destinations (\fonttbl, \colortbl, \stylesheet, \info, \pict,
// headers and footers, \*\...) and \binN data.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vialto {

struct RtfTextResult {
    bool Ok = false;
    std::string Text;       // UTF-8; what was read up to the failure when !Ok
    std::size_t Offset = 0; // 0-based byte offset of the failure
    long Line = 0;          // 1-based line of the failure in the RTF file
    std::string Reason;     // "" when Ok
};

// Converts an RTF document. Fails (Ok false, with place and reason) when it
// does not begin with "{\rtf", when its braces do not balance, or when it
// nests groups deeper than a sane document does.
RtfTextResult RtfToText(std::string_view rtf);

} // namespace vialto
