// The plain description of one conversion job: everything the import and
// export stages read from the wizard's pages (job type, the files of each
// input page and slot with their options, tolerances, unit, chainage range,
// layer and stringline selections, project name, flavour, output). The Qt
// wizard fills it from its pages; the batch command line from its arguments
// or a job file.
#pragma once

#include "shell/Text.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace vialto {

enum JobTypeCode : int {
    jobRoad = 0,
    jobTunnel = 1,
    jobRailSingle = 2,
    jobRailDouble = 3,
};

// Input-file slots of a page.
enum FileSlotNumber : int {
    slotHz = 1,
    slotVt = 2,
    slotCr = 3,  // cross sections; tunnel profiles in tunnel jobs
    slotSup = 4, // cant table in rail jobs
};

// How a generated track profile is sampled (the two option buttons of a page).
enum VtSubOption : int {
    vtProjected = 1,  // walk the source alignment and project onto the track
    vtAlongTrack = 2, // walk the track and project onto the source alignment
};

struct FileSlot {
    bool Selected = false;
    std::string Path;        // full path
    std::string DisplayName; // the file title shown to the user
    int FileType = 1;        // the file type chosen in the open dialog
    bool Option = false;     // slot 2: take the heights from another alignment
    int SubOption = vtProjected;
};

struct InputPage {
    std::array<FileSlot, 4> Slots; // slots 1..4 at indices 0..3
    FileSlot &Slot(int slot) { return Slots.at(static_cast<std::size_t>(slot - 1)); }
    const FileSlot &Slot(int slot) const { return Slots.at(static_cast<std::size_t>(slot - 1)); }
};

struct JobDescription {
    int JobType = jobTunnel;
    std::vector<InputPage> Pages = std::vector<InputPage>(1); // pages 1..n at 0..n-1
    int ConversionFlags = 7;

    double ToleranceHz = 0.010;
    double ToleranceVt = 0.010;
    int LinearUnits = 3;

    // Road jobs export between these chainages; the null marker means the
    // alignment's own start or end.
    double ChainageStart = kNullValue;
    double ChainageEnd = kNullValue;
    // Layers and stringlines chosen for the export: "$a$b$"; "" chooses all.
    std::string SelectedLayers;
    std::string SelectedStringlines;
    // The rails page's vertical option: what the centre line's profile of a
    // co-planar double track gives the height of (0 the track axis on the
    // platform, 1 the lower rail, 2 the higher rail); the tracks' generated
    // profiles are computed from it.
    int VtDefAlignment = 0;
    // The stringline chosen on the stringline selection page for each track
    // (the first choice on the page of slot 1..3, at index 0..2); "" none. A
    // track without a profile of its own takes its rails' heights from it.
    std::array<std::string, 3> TrackStringlines;

    std::string ProjectName; // "" builds it from the file names
    bool Extended = false;
    // Read the written document back and compare it with the imported design
    // before it replaces the output (see verify/Proof.h).
    bool Proof = true;
    // The batch command's preview: the folder to draw the written document
    // into ("" draws nothing) and every how many cross sections to draw.
    std::string PreviewFolder;
    std::size_t PreviewEvery = 10;
    // Keep the records the proof reads back, for drawing them (the wizard's
    // result page, the batch's preview); without, the proof keeps none of
    // the cross sections it reads.
    bool KeepReadBack = true;
    std::string OutputPath;

    int PagesTot() const { return static_cast<int>(Pages.size()); }
    InputPage &Page(int page) { return Pages.at(static_cast<std::size_t>(page - 1)); }
    const InputPage &Page(int page) const { return Pages.at(static_cast<std::size_t>(page - 1)); }
    const FileSlot &Slot(int page, int slot) const { return Page(page).Slot(slot); }
    // The stringline chosen for the track of slot 1..3; "" for none or any
    // other slot.
    std::string TrackStringline(int slot) const;
    bool IsSelected(int page, int slot) const;
    bool IsOptionSelected(int page, int slot) const;
    // The paths of every selected file, page by page and slot by slot.
    std::vector<std::string> SelectedPaths() const;
};

// Sets the number of pages the job type has (3 for a double track, else 1).
void ShapePagesForJobType(JobDescription &job);

// "road", "tunnel", "rail", "double-rail" and back; -1 for an unknown word.
int JobTypeFromWord(const std::string &word);
std::string JobTypeWord(int jobType);
// "mm", "cm", "m", "km", "ft", "usft", "in", "mi" to unit codes 1..8; 0 unknown.
int LinearUnitFromWord(const std::string &word);
// The word of a unit code ("m" for 3); "" for a code outside 1..8.
std::string LinearUnitWord(int unit);

} // namespace vialto
