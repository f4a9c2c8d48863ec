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

} // namespace vialto
