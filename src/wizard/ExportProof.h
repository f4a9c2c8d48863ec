// What the proof of an export compares the written document with, gathered
// from the alignment store while the export writes: the rails a track's cant
// table gives, and the proof run on the finished work file before it
// replaces the output.
#pragma once

#include "model/AlignmentStore.h"
#include "verify/Proof.h"
#include "wizard/JobDescription.h"

#include <filesystem>
#include <string>

namespace vialto {

// The rails of the track in the slot as its cant table gives them (the rise
// of each rail for the rotation point and the turn of the element there, the
// widening where the table spreads the rails), standing on the slot's profile
// or, without one, on the chosen stringline's.
ImportedRails ImportedRailsOfSlot(SlotNumber slot, const std::string &stringline);

// Reads the written document back and compares it with the design, against
// the job's tolerances, keeping the records read back when the job asks for
// them (KeepReadBack). Never raises: a failure of the proof itself is
// reported ("ProveExport") and fails the report.
ProofReport ProveExport(const std::filesystem::path &document, const ImportedDesign &design,
                        const JobDescription &job);

} // namespace vialto
