// The export stage: when the exporting page is left, the whole document is
// written from the alignment store by job type (alignments, station
// equations, profiles, then cross sections, rails or tunnel profiles), and
// the summary of the chainage ranges written is prepared for the result page.
// The document only replaces the output file when every step succeeded.
#pragma once

#include "shell/UserInterface.h"
#include "wizard/JobDescription.h"
#include "wizard/ResultSummary.h"

#include <string>
#include <vector>

namespace vialto {

// What the exporting page shows and hands back: the chainage range and the
// layer choice.
struct ExportChoices {
    double ChainageStart = kNullValue;
    double ChainageEnd = kNullValue;
    bool LayersVisible = false;
    std::vector<std::string> OfferedLayers; // layer names, in order
    std::string SelectedLayers;             // "$a$b$"; "" chooses every layer
    std::string SelectedStringlines;        // "$0$3$"
};

// Entering the exporting page: the range preset from slot 1's horizontal
// alignment (the job's own range where it gives one) and the layers offered.
ExportChoices IntroPageExporting(const JobDescription &job);

// Leaving the exporting page: writes the document to job.OutputPath and fills
// the summary. True when the document was written and moved into place;
// false leaves any earlier file at the output path untouched.
bool ExitPageExporting(const JobDescription &job, const ExportChoices &choices,
                       ResultSummary &summary, IProgress &progress);

} // namespace vialto
