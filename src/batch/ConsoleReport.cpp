#include "batch/ConsoleReport.h"

#include "check/AlignmentCheck.h"
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

} // namespace

void ConsoleProgress::Start(const std::string &caption, double, double) {
    if (!caption.empty() && caption != last_)
        out_ << "  " << caption << "\n";
    last_ = caption;
}

void PrintImportTree(std::ostream &out, const ImportTree &tree) {
    for (const ImportTreeNode &node : tree.Nodes()) {
        if (node.ParentKey.empty()) {
            out << node.Text << "\n";
            continue;
        }
        const bool failed = node.Image == kImageFailed;
        out << "  " << (failed ? "\u2717 " : "\u2713 ") << node.Text << "\n";
        if (!failed)
            continue;
        if (!node.Reason.empty())
            out << "      " << node.Reason << "\n";
        const std::string key = node.Key.substr(node.Key.size() - 2);
        PrintIndented(out, GetCheckReportText(node.Text, key), "      ");
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
