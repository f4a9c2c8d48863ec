// The two fixed tables that turn a cross-section listing's point code into a
// layer: the code families of the point-code form (".trv") and the keyword
// table of the layer-name form (".trv2"). Pure functions of the code text; all
// comparisons are exact and case-sensitive.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace vialto {

// The layers that the ".trv", report and printed forms create, by index.
inline constexpr std::array<std::string_view, 4> kCrLayerNames = {"Taludes", "Cunetas",
                                                                  "Subrasante", "Rasante"};
// The one-letter abbreviation of each fixed layer, by index.
inline constexpr std::array<char, 4> kCrLayerLetters = {'T', 'C', 'S', 'R'};

// True when the code belongs to the family of fixed layer `kind` (0..3):
// its first two characters are one of the family's two-letter prefixes, or
// its first character one of its one-letter prefixes. False for any other
// kind. Layer 1 ("Cunetas") has an empty family.
bool IsCodeOfKind(long kind, std::string_view code);

// The layer name of a layer-name-form code: the code's first character is a
// prefix and the keyword is compared from its second character ("ICUNETA" ->
// "Taludes", "ISUBBALASTO" -> "Subbalasto"); any other code is "Plataforma".
std::string LayerNameOfCode(std::string_view code);

} // namespace vialto
