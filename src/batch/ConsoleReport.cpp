#include "batch/ConsoleReport.h"

#include "check/AlignmentCheck.h"
#include "shell/ErrHandler.h"
#include "shell/Platform.h"
#include "shell/Text.h"

#include <ostream>

namespace vialto {

namespace {

// The lines of a check report text, indented.
void PrintIndented(std::ostream &out, const std::string &text, const std::string &indent) {
    for (const std::string &line : Split(ReplaceAll(text, "\r\n", "\n"), "\n"))
        if (!Trim(line).empty())
            out << indent << TrimRight(line) << "\n";
}

// A leaf: a tick, a cross, or a dash for an item that was never read; under
// a cross the reason and, where the check found something, its report.
void PrintLeaf(std::ostream &out, const ImportTreeNode &node) {
    const bool failed = node.Image == kImageFailed;
    out << "  "
        << (failed                   ? "\u2717 "
            : node.Image == kImageOk ? "\u2713 "
                                     : "- ")
        << node.Caption << "\n";
    if (!failed)
        return;
    if (!node.Reason.empty())
        PrintIndented(out, node.Reason, "      ");
    const std::string key = node.Key.substr(node.Key.size() - 2);
    const CheckGroup *group = FindCheckGroup(node.Text, key);
    if (group != nullptr && group->ErrorCount > 0)
        PrintIndented(out, GetCheckReportText(node.Text, key), "      ");
    else if (node.Reason.empty())
        out << "      the reason is in the log " << PathText(LogFilePath()) << "\n";
}

} // namespace

void ConsoleProgress::Start(const std::string &caption, double, double) {
    if (!caption.empty() && caption != last_)
        out_ << "  " << caption << "\n";
    last_ = caption;
}

void PrintImportTree(std::ostream &out, const ImportTree &tree) {
    // Each branch with its leaves under it, also those added after the tree
    // was built (a generated profile).
    for (const ImportTreeNode &root : tree.Nodes()) {
        if (!root.ParentKey.empty())
            continue;
        out << root.Text << "\n";
        for (const ImportTreeNode &node : tree.Nodes())
            if (node.ParentKey == root.Key)
                PrintLeaf(out, node);
    }
}

void PrintSummary(std::ostream &out, const ResultSummary &summary) {
    for (const SummaryPage &page : summary.Pages()) {
        out << page.Title << "\n";
        for (const SummaryRow &row : page.Rows) {
            if (row.Description.empty())
                continue;
            std::string label = row.Description;
            if (label.size() < 30)
                label.resize(30, ' ');
            out << "  " << label << " "
                << (row.Value == kNullValue ? std::string("-")
                                            : FormatDecimals(row.Value, 3) + " " + row.Unit)
                << "\n";
        }
    }
}

namespace {

// "0.0009 m at 14+510.000".
std::string Figure(const Deviation &d, const std::string &unit) {
    return FormatDecimals(d.Value, kProofDecimals) + " " + unit + " at " + ChainageText(d.Chainage);
}

void FigureLine(std::ostream &out, const char *label, const std::string &figure,
                const std::string &note) {
    std::string text = std::string("    ") + label;
    if (text.size() < 26)
        text.resize(26, ' ');
    out << text << figure << (note.empty() ? "" : "  (" + note + ")") << "\n";
}

} // namespace

void PrintProof(std::ostream &out, const ProofReport &proof) {
    if (!proof.Ran)
        return;
    const std::string &unit = proof.Tolerances.Unit;
    out << "Proof: the document read back against the imported design (tolerances "
        << FormatDecimals(proof.Tolerances.Plan, kProofDecimals) << " " << unit << " plan, "
        << FormatDecimals(proof.Tolerances.Height, kProofDecimals) << " " << unit
        << " height): " << (proof.Passed ? "passed" : "FAILED") << "\n";
    for (const AlignmentProof &a : proof.Alignments) {
        out << "  " << a.Name << "\n";
        FigureLine(out, "plan", Figure(a.Plan, unit),
                   std::to_string(a.PlanSamples) + " points; the listing's own gaps reach " +
                       FormatDecimals(a.ImportedGap.Value, kProofDecimals) + " " + unit);
        FigureLine(out, "element ends", Figure(a.ElementEnd, unit), "");
        if (a.HeightSamples > 0)
            FigureLine(out, "height", Figure(a.Height, unit),
                       std::to_string(a.HeightSamples) + " points");
        if (a.RailPairs > 0) {
            FigureLine(out, "rail spread", Figure(a.RailSpread, unit),
                       std::to_string(a.RailPairs) + " rail pairs");
            FigureLine(out, "rail heights", Figure(a.RailHeight, unit), "");
        }
        if (a.SectionPoints > 0) {
            FigureLine(out, "cross-section offsets", Figure(a.SectionOffset, unit),
                       std::to_string(a.SectionPoints) + " points");
            FigureLine(out, "cross-section heights", Figure(a.SectionHeight, unit), "");
        }
    }
}

void PrintProofFailures(std::ostream &err, const ProofReport &proof, const std::string &output) {
    err << "vialto-convert: the written document, read back, deviates from the imported design; "
           "nothing was written to "
        << output << "\n";
    for (std::size_t k = 0; k < proof.Failures.size() && k < kProofFailuresShown; ++k)
        err << "  " << ProofFailureText(proof.Failures[k], proof.Tolerances.Unit) << "\n";
    if (proof.Failures.size() > kProofFailuresShown)
        err << "  ... and " << proof.Failures.size() - kProofFailuresShown << " more\n";
}

} // namespace vialto
