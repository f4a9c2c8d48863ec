// The proof of a written document: the document read back and evaluated by
// its own definitions (DocumentGeometry.h) is compared with the imported
// design evaluated by the engine's geometry, at every element start, every
// element end and every whole unit of chainage between them:
// - plan: distance between the two points at the same chainage (at an
//   element's end, the imported element's own end), beyond the share of the
//   jump the imported alignment itself makes at the element's end (listed
//   coordinates are rounded, and the document runs from listed point to
//   listed point);
// - height: difference of the two profiles at the same chainage;
// - element ends: within the document, how far an element's own end lies from
//   its End, its End from the next Start, and its end chainage from the next
//   staStart (and a Curve's length attribute from its figure), beyond that
//   jump;
// - rails: the spread of each written rail pair against the gauge across the
//   cant, and each rail's height against the profile plus its rise;
// - cross sections: every imported point of a written station, at its offset
//   and height, in the surface of its layer.
// A figure over the user's tolerance (plan figures against the horizontal,
// height figures against the vertical one) fails the proof.
//
// Units: the job's linear unit; chainages along the alignment.
#pragma once

#include "verify/DocumentReader.h"
#include "verify/DocumentRecords.h"
#include "verify/ImportedDesign.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vialto {

// Figures are shown with as many decimals as the document writes.
inline constexpr int kProofDecimals = 6;

struct ProofTolerances {
    double Plan = 0.010;    // the user's horizontal tolerance
    double Height = 0.010;  // the user's vertical tolerance
    std::string Unit = "m"; // the unit the figures are shown in
};

// The worst deviation found by one check and where; Chainage is kNullValue
// when the check had nothing to compare.
struct Deviation {
    double Value = 0;
    double Chainage = kNullValue;
};

enum class ProofCheck {
    Document,      // the document cannot be read or does not hold what was written
    Plan,          // plan position
    Height,        // profile height
    ElementEnd,    // end of an element against its End, the next Start, the next staStart
    RailSpread,    // rail pair against the gauge across the cant
    RailHeight,    // rails against the profile and the cant
    SectionOffset, // cross-section point offsets
    SectionHeight, // cross-section point heights
};

// One check of one alignment over its tolerance (its worst place).
struct ProofFailure {
    std::string Alignment;
    ProofCheck Check = ProofCheck::Document;
    double Chainage = kNullValue;
    double Value = 0;
    double Tolerance = 0;
    std::string Detail; // what was compared, for the message
};

struct AlignmentProof {
    std::string Name;
    Deviation Plan, Height, ElementEnd, RailSpread, RailHeight, SectionOffset, SectionHeight;
    // Not a check: the imported alignment's own largest gap between an
    // element's end and the next element's listed start, at the document's
    // element ends (listed coordinates are rounded; the import check accepted
    // it). The plan and element-end figures are what the document deviates
    // beyond it.
    Deviation ImportedGap;
    long PlanSamples = 0;
    long HeightSamples = 0;
    long RailPairs = 0;
    long SectionPoints = 0;
    // What failed, for drawing it: plan elements (indices into the document
    // alignment's Elements), profile chainage ranges, cross sections (indices
    // into CrossSects).
    std::vector<std::size_t> FailedElements;
    std::vector<std::pair<double, double>> FailedHeightRanges;
    std::vector<std::size_t> FailedCrossSects;
};

struct ProofReport {
    bool Ran = false;    // false when the proof was switched off
    bool Passed = false; // ran and found nothing over the tolerances
    ProofTolerances Tolerances;
    std::vector<AlignmentProof> Alignments; // in document order
    std::vector<ProofFailure> Failures;
    // The records read back, for the preview; null when the document could
    // not be read.
    std::shared_ptr<const ReadBackDocument> Document;
};

// Compares the document with the design.
ProofReport ProveDocument(std::shared_ptr<const ReadBackDocument> document,
                          const ImportedDesign &design, const ProofTolerances &tolerances);

// Reads the document at path and compares it; a document that cannot be read
// fails the proof with the reader's reason. The cross sections are compared
// as they are read, a block at a time; with keepDocument the records of the
// whole document are kept in the report too (for drawing them), else the
// report holds none.
ProofReport ProveDocumentFile(const std::filesystem::path &path, const ImportedDesign &design,
                              const ProofTolerances &tolerances, bool keepDocument = false,
                              std::size_t blockBytes = kReadBackBlockBytes);

// "alignment "Eje 1", chainage 12+345.678: plan deviation 0.012345 m over the
// tolerance 0.010000 m (...)".
std::string ProofFailureText(const ProofFailure &failure, const std::string &unit);

// A chainage as "12+345.678" (kNullValue: "-").
std::string ChainageText(double chainage);

// The name of a check as the summaries show it ("plan", "height", ...).
std::string ProofCheckName(ProofCheck check);

} // namespace vialto
