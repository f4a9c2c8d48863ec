// What the batch command line prints: the stage captions while it works, the
// import tree with a tick or a cross per input (and the reason and check
// report of each cross), the summary of the chainage ranges written, and the
// proof of the written document.
#pragma once

#include "shell/UserInterface.h"
#include "wizard/ImportTree.h"
#include "wizard/ResultSummary.h"

#include <cstddef>
#include <iosfwd>
#include <string>

namespace vialto {

// Progress on the console: each new caption on a line of its own; never
// asks to cancel.
class ConsoleProgress final : public IProgress {
  public:
    explicit ConsoleProgress(std::ostream &out) : out_(out) {}
    void Start(const std::string &caption, double, double) override;
    void Step(double) override {}
    bool CancelRequested() override { return false; }
    void Finish() override {}

  private:
    std::ostream &out_;
    std::string last_;
};

void PrintImportTree(std::ostream &out, const ImportTree &tree);
void PrintSummary(std::ostream &out, const ResultSummary &summary);
// The proof's figures per alignment (nothing when the proof was off).
void PrintProof(std::ostream &out, const ProofReport &proof);
// Why the document failed the proof: each failed check with its alignment,
// chainage and deviation (at most kProofFailuresShown of them).
inline constexpr std::size_t kProofFailuresShown = 20;
void PrintProofFailures(std::ostream &err, const ProofReport &proof, const std::string &output);

} // namespace vialto
