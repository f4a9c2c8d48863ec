// The import stage: when the importing page is entered, every file chosen on
// the input-files page is read, in a fixed order, into the alignment store
// (slot n holds page n), each result is checked against the tolerances, and
// the outcome is drawn as the import tree. Leaving the page is refused while
// any leaf is bad (ImportTree::IsAllOk).
#pragma once

#include "shell/UserInterface.h"
#include "wizard/ImportTree.h"
#include "wizard/JobDescription.h"

#include <string>

namespace vialto {

// The page title token of an input-file page of the job type.
std::string FilesPageTitleToken(int jobType, int page);

// Runs the import stage for the job. Returns true (the page is shown); the
// tree says whether everything imported within tolerance.
bool IntroPageImporting(const JobDescription &job, ImportTree &tree, IProgress &progress);

} // namespace vialto
