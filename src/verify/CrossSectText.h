// The quick reading of one CrossSect or ProfAlign element cut out of a
// document, in the plain form this program writes: elements with attributes
// in quotes, texts, and blanks between them. The bulk of a road's document is
// its cross sections, that of a track's its profiles (a vertex per sample),
// and this reading takes a fraction of the time a general XML parser takes
// on them.
//
// It declines anything else (an entity or character reference, a NUL, a
// comment, CDATA, an instruction, text beside elements, deeper nesting, an
// unexpected name or character): the reader then parses that element with
// the XML parser, which reads it in full or says what is wrong and where.
// What it accepts the parser (escapes and embedded texts, no line-end
// conversion) reads alike.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace vialto {

// One CrossSectSurf, as views into the element's text.
struct SurfaceText {
    std::string_view Name;  // its name attribute ("" when absent)
    std::size_t Offset = 0; // of its "<" from the element's start
    // The texts of its first PntList2D, of its last Feature whose code is
    // "SD Vertex Name", and of its first SDVertexName, where it has them.
    std::optional<std::string_view> Points;
    std::optional<std::string_view> VertexNames;
    std::optional<std::string_view> MirrorNames;
};

struct CrossSectText {
    std::optional<std::string_view> Sta; // its sta attribute
    std::string_view Name;               // its name attribute ("" when absent)
    std::vector<SurfaceText> Surfaces;   // its CrossSectSurf children, in order
};

// Reads `text`, the whole of one CrossSect element, into `sect` (whose
// storage is reused); false when the text is not in the plain form.
bool ScanCrossSectText(std::string_view text, CrossSectText &sect);

// One PVI, ParaCurve or CircCurve of a ProfAlign, as views into its text.
struct VertexText {
    std::string_view Name;                  // PVI, ParaCurve or CircCurve
    std::optional<std::string_view> Length; // its length attribute
    std::optional<std::string_view> Radius; // its radius attribute
    std::string_view Numbers;               // its text
};

// Reads `text`, the whole of one ProfAlign element: its name attribute into
// `name` ("" when absent), and each PVI, ParaCurve and CircCurve child, in
// order, to `vertex` (handed over at once: a profile holds tens of thousands
// of them), which returns false to stop the reading. False when the text is
// not in the plain form or the reading was stopped.
bool ScanProfAlignText(std::string_view text, std::string_view &name,
                       const std::function<bool(const VertexText &)> &vertex);

} // namespace vialto
