// Saving an editor's file without ever leaving it half written: the bytes go
// to a work file beside the target, which then replaces the target in one
// rename. A failure leaves the target as it was and removes the work file.
#pragma once

#include <string>

namespace vialto::editors {

// Writes bytes as the file at path. Returns "" on success, otherwise what went
// wrong, naming the file.
std::string SaveReplacing(const std::string &path, const std::string &bytes);

} // namespace vialto::editors
