// The preview written as files: each drawing rendered to SVG, and the folder
// the batch command's --preview fills (plan.svg, profile.svg, sections.svg
// and an index.html that shows them with the proof's figures).
#pragma once

#include "preview/Drawing.h"
#include "verify/DocumentRecords.h"
#include "verify/Proof.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace vialto {

// Drawings laid out in a grid of panels of the given size, one SVG document.
// Each panel is a group (class "drawing") whose data-scale-x, data-scale-y,
// data-origin-x, data-origin-y and data-margin attributes give its
// ViewTransform, translated to its place by data-left and data-top.
std::string RenderSvg(const std::vector<Drawing> &drawings, std::size_t columns, double panelWidth,
                      double panelHeight);

inline constexpr std::size_t kDefaultSectionsEvery = 10;

// Writes plan.svg, profile.svg, sections.svg (every n-th cross section of each
// alignment) and index.html into the folder, creating it when missing. proof
// may be null. False with `failure` set when a file cannot be written.
bool WritePreview(const std::filesystem::path &folder, const ReadBackDocument &document,
                  const ProofReport *proof, std::size_t sectionsEvery, std::string &failure);

} // namespace vialto
