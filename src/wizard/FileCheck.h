// The check the input-files page makes before the user may go on: every
// chosen file exists, and the job has the files it cannot do without. A
// failed check names the file row that needs the user's attention; the page
// moves the keyboard focus there (no message: the row is the message).
#pragma once

#include "wizard/JobDescription.h"

#include <functional>
#include <optional>
#include <string>

namespace vialto {

struct FileRow {
    int Page = 1; // 1..3
    int Slot = 1; // 1..4
    bool operator==(const FileRow &) const = default;
};

using FileExists = std::function<bool(const std::string &path)>;

// The first chosen file, page by page and slot by slot, that does not exist.
// The vertical listing of a track page whose heights come from another
// alignment is not read, so it is not checked.
std::optional<FileRow> FirstMissingFile(const JobDescription &job, const FileExists &exists);

// The whole check: a missing file first, then for a double track at least
// one track's horizontal listing, and a track that takes its heights from the
// other track needs that track's vertical listing and its own cant table (the
// heights carried across are corrected by it); for the other job types the
// horizontal listing of page 1. Nothing when the check passes.
std::optional<FileRow> CheckInputFiles(const JobDescription &job, const FileExists &exists);

// A FileExists that asks the file system (a regular file, or what it links to).
bool RegularFileExists(const std::string &path);

} // namespace vialto
