// What the converter's own readers say about a file the editors show: whether
// the import would take it, the message the converter would show, and its
// reason with the place in the file. The editors put it above their table.
#pragma once

#include <functional>
#include <string>

namespace vialto::editors {

struct ReaderVerdict {
    bool Accepted = false;
    std::string
        Message; // the converter's message for a refusal ("The file is not of the expected kind.")
    std::string Reason;  // what and where ("... has no sta attribute" with line and column)
    std::string Summary; // for an accepted file: what was read ("29 profiles, 12440 to 15000")
};

// Runs a reader. Its message boxes are held back (the editor shows the
// verdict itself) and its errors recorded: the first one gives the message and
// the reason. `read` returns the reader's result and, when it accepted the
// file, fills the summary.
ReaderVerdict RunReader(const std::function<bool(std::string &summary)> &read);

// One line for the window or a console: "The converter reads this file: ..."
// or "The converter refuses this file: message (reason)".
std::string VerdictLine(const ReaderVerdict &verdict);

} // namespace vialto::editors
