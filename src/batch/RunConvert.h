// The batch command line "vialto-convert": reads a job from flags or from a
// job file, runs the import stage, refuses to write when anything failed or is
// out of tolerance, runs the export stage (which proves the document before it
// replaces the output) and prints the import tree, the summary of what was
// written and the proof's figures; with --preview it draws the document.
//
// Exit codes: 0 written; 2 an imported item failed or is out of tolerance
// (nothing written); 3 the export failed (no output left at the path); 4 the
// written document, read back, deviates from the imported design beyond the
// tolerances (nothing written; the alignment, chainage and deviation are
// printed); 5 the document was written but its preview could not be;
// 64 a usage error: no arguments (a short usage is printed), a bad option,
// a missing input, or a chainage range or layer that the imported design
// does not have (the message says what it has).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vialto {

inline constexpr int kConvertWritten = 0;
inline constexpr int kConvertImportFailed = 2;
inline constexpr int kConvertExportFailed = 3;
inline constexpr int kConvertProofFailed = 4;
inline constexpr int kConvertPreviewFailed = 5;
inline constexpr int kConvertUsage = 64;

// The whole command: parse, import, export, print. Returns the exit code.
int RunConvert(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

} // namespace vialto
