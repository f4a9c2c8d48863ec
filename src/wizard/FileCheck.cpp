#include "wizard/FileCheck.h"

#include "shell/Platform.h"

#include <filesystem>

namespace vialto {

std::optional<FileRow> FirstMissingFile(const JobDescription &job, const FileExists &exists) {
    for (int page = 1; page <= job.PagesTot(); ++page) {
        for (int slot = slotHz; slot <= slotSup; ++slot) {
            if (!job.IsSelected(page, slot))
                continue;
            if (slot == slotVt && page > 1 && job.IsOptionSelected(page, slotVt))
                continue;
            if (!exists(job.Slot(page, slot).Path))
                return FileRow{page, slot};
        }
    }
    return std::nullopt;
}

std::optional<FileRow> CheckInputFiles(const JobDescription &job, const FileExists &exists) {
    if (const auto missing = FirstMissingFile(job, exists))
        return missing;
    if (job.JobType != jobRailDouble)
        return job.IsSelected(1, slotHz) ? std::nullopt : std::optional(FileRow{1, slotHz});
    if (!job.IsSelected(2, slotHz) && !job.IsSelected(3, slotHz))
        return FileRow{2, slotHz};
    // The left track from the right one (page 2), or the right from the left.
    for (const auto &[track, other] : {std::pair{2, 3}, std::pair{3, 2}}) {
        if (!job.IsOptionSelected(track, slotVt))
            continue;
        if (!job.IsSelected(other, slotVt))
            return FileRow{other, slotVt};
        if (!job.IsSelected(track, slotSup))
            return FileRow{track, slotSup};
    }
    return std::nullopt;
}

bool RegularFileExists(const std::string &path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(Utf8Path(path), ec);
}

} // namespace vialto
