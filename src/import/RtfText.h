// Plain text from an RTF document, in the shape the report readers expect:
// every paragraph and every table row ends with CR LF (the last one too, so no
// row is lost), and every table cell is followed by one tab character (the
// row's last cell included), so a row of 7 cells splits at tabs into 8 pieces,
// the last one empty. The only carriage returns of the text are those that end
// rows.
//
// Inside a table (a paragraph marked \intbl) the paragraphs, line breaks and
// tabs of one cell belong to that cell: they become single blanks between its
// texts (a cell's last paragraph mark adds nothing), and only \row ends the
// row. Word processors write every cell as a paragraph of its own, and an
// Enter typed in a cell as a second one.
//
// Reads groups, control words and symbols, \par, \row, \cell, \line (outside
// tables a line break inside a paragraph: LF alone, which ends no row), \tab,
// \'hh and raw
// bytes above 0x7F as Windows-1252 (the reports' code page; other \ansicpg
// values are read the same way), \uN with \ucN, all converted to UTF-8, and
// skips destinations (\fonttbl, \colortbl, \stylesheet, \info, \pict,
// headers and footers, \*\..., shape properties and shape fallbacks) and
// \binN data. The text of frames and text boxes (\shpinst's \shptxt) is read
// where it stands.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vialto {

struct RtfTextResult {
    bool Ok = false;
    std::string Text;       // UTF-8; what was read up to the failure when !Ok
    std::size_t Offset = 0; // 0-based byte offset of the failure
    long Line = 0;          // 1-based line of the failure in the RTF file
    std::string Reason;     // "" when Ok
    // The 1-based line of the RTF file where each row of Text begins (row k of
    // the text at index k - 1), so that a reader can point into the file.
    std::vector<long> RowLines;
};

// Converts an RTF document. Fails (Ok false, with place and reason) when it
// does not begin with "{\rtf", when its braces do not balance, or when it
// nests groups deeper than a sane document does.
RtfTextResult RtfToText(std::string_view rtf);

} // namespace vialto
