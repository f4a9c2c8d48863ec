#include "wizard/JobDescription.h"

namespace vialto {

bool JobDescription::IsSelected(int page, int slot) const {
    return page >= 1 && page <= PagesTot() && Slot(page, slot).Selected;
}

bool JobDescription::IsOptionSelected(int page, int slot) const {
    return page >= 1 && page <= PagesTot() && Slot(page, slot).Option;
}

std::string JobDescription::TrackStringline(int slot) const {
    return slot >= 1 && slot <= 3 ? TrackStringlines[static_cast<std::size_t>(slot - 1)] : "";
}

std::vector<std::string> JobDescription::SelectedPaths() const {
    std::vector<std::string> paths;
    for (const InputPage &page : Pages)
        for (const FileSlot &slot : page.Slots)
            if (slot.Selected)
                paths.push_back(slot.Path);
    return paths;
}

void ShapePagesForJobType(JobDescription &job) {
    job.Pages.resize(job.JobType == jobRailDouble ? 3 : 1);
}

namespace {
constexpr const char *kJobWords[] = {"road", "tunnel", "rail", "double-rail"};
constexpr const char *kUnitWords[] = {"mm", "cm", "m", "km", "ft", "usft", "in", "mi"};
} // namespace

int JobTypeFromWord(const std::string &word) {
    for (int i = 0; i < 4; ++i)
        if (word == kJobWords[i])
            return i;
    return -1;
}

std::string JobTypeWord(int jobType) {
    return jobType >= 0 && jobType < 4 ? kJobWords[jobType] : "";
}

int LinearUnitFromWord(const std::string &word) {
    for (int i = 0; i < 8; ++i)
        if (word == kUnitWords[i])
            return i + 1;
    return 0;
}

std::string LinearUnitWord(int unit) { return unit >= 1 && unit <= 8 ? kUnitWords[unit - 1] : ""; }

} // namespace vialto
