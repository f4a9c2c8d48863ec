// What the batch command line prints: the stage captions while it works, the
// import tree with a tick or a cross per input (and the reason and check
// report of each cross), and the summary of the chainage ranges written.
#pragma once

#include "shell/UserInterface.h"
#include "wizard/ImportTree.h"
#include "wizard/ResultSummary.h"

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

} // namespace vialto
