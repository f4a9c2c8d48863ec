#include "batch/ConvertOptions.h"

#include "batch/JobFile.h"
#include "import/ListingText.h"
#include "shell/Text.h"

#include <sstream>
#include <string_view>

namespace vialto {

namespace {

// Where a file option puts its file.
struct FileTarget {
    int Page;
    int Slot;
};

std::string SetFile(JobDescription &job, FileTarget target, const std::string &path) {
    if (path.empty())
        return "needs a file name";
    if (job.PagesTot() < target.Page)
        job.Pages.resize(static_cast<std::size_t>(target.Page));
    FileSlot &slot = job.Page(target.Page).Slot(target.Slot);
    slot.Selected = true;
    slot.Path = path;
    slot.DisplayName = ListingName(path);
    return {};
}

std::string SetNumber(double &field, const std::string &value) {
    const std::string number = ReplaceAll(value, ",", "."); // a decimal comma is fine
    if (!IsPlainNumber(number))
        return "needs a number, not \"" + value + "\"";
    field = Val(number);
    return {};
}

// A chainage after NormalizeDecimal: [sign] kilometres ["+" or "-" metres]
// ["." decimals], or [sign] metres ["." decimals]; short enough to stay
// finite.
bool IsChainageText(std::string_view text) {
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t start = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            ++i;
        return i > start;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    if (!digits())
        return false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
        if (!digits())
            return false;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        if (!digits())
            return false;
    }
    return i == text.size() && text.size() <= 30;
}

// Read as the listings' chainage cells are: decimal commas and thousands
// separators first, then the chainage notation ("12+900,5", "12+900.5" and
// "12900.5" are one chainage).
std::string SetChainage(double &field, const std::string &value) {
    std::string text = Trim(value);
    NormalizeDecimal(text);
    if (!IsChainageText(text))
        return "needs a chainage such as 12+340.000, 12+340,5 or 12340.5, not \"" + value + "\"";
    field = ParseChainage(text);
    return {};
}

std::string SetSwitch(bool &field, const std::string &value) {
    if (value.empty() || value == "yes" || value == "true" || value == "1") {
        field = true;
        return {};
    }
    if (value == "no" || value == "false" || value == "0") {
        field = false;
        return {};
    }
    return "takes yes or no, not \"" + value + "\"";
}

std::string SetSampling(JobDescription &job, int page, const std::string &value) {
    if (job.PagesTot() < page)
        job.Pages.resize(static_cast<std::size_t>(page));
    int &sub = job.Page(page).Slot(slotVt).SubOption;
    if (value == "projected")
        sub = vtProjected;
    else if (value == "along-track")
        sub = vtAlongTrack;
    else
        return "takes projected or along-track, not \"" + value + "\"";
    return {};
}

std::string SetVtOption(JobDescription &job, int page, const std::string &value) {
    if (job.PagesTot() < page)
        job.Pages.resize(static_cast<std::size_t>(page));
    return SetSwitch(job.Page(page).Slot(slotVt).Option, value);
}

// "A,B" to "$A$B$".
std::string Selection(const std::string &list) {
    std::string text = "$";
    for (const std::string &item : Split(list, ","))
        if (!Trim(item).empty())
            text += Trim(item) + "$";
    return text == "$" ? std::string() : text;
}

std::vector<ConvertOption> MakeOptions() {
    auto file = [](int page, int slot) {
        return [=](JobDescription &job, const std::string &v) {
            return SetFile(job, {page, slot}, v);
        };
    };
    return {
        {"job", "road|tunnel|rail|double-rail", "job type (default tunnel)",
         [](JobDescription &job, const std::string &v) -> std::string {
             const int type = JobTypeFromWord(v);
             if (type < 0)
                 return "takes road, tunnel, rail or double-rail, not \"" + v + "\"";
             job.JobType = type;
             return {};
         }},
        {"hz", "FILE", "horizontal alignment listing (.plt, .rtf, .txt)", file(1, slotHz)},
        {"vt", "FILE", "vertical alignment listing (.alz, .rtf, .txt)", file(1, slotVt)},
        {"cross", "FILE", "cross-section listing, road jobs (.trv, .trv2, .rtf, .txt)",
         file(1, slotCr)},
        {"tunnel", "FILE", "tunnel profile set, tunnel jobs (.xml)", file(1, slotCr)},
        {"cant", "FILE", "cant table, rail jobs (.xml)", file(1, slotSup)},
        {"left-hz", "FILE", "double track: left track horizontal listing", file(2, slotHz)},
        {"left-vt", "FILE", "double track: left track vertical listing", file(2, slotVt)},
        {"left-cant", "FILE", "double track: left track cant table", file(2, slotSup)},
        {"right-hz", "FILE", "double track: right track horizontal listing", file(3, slotHz)},
        {"right-vt", "FILE", "double track: right track vertical listing", file(3, slotVt)},
        {"right-cant", "FILE", "double track: right track cant table", file(3, slotSup)},
        {"tracks-vt-from-centre", "",
         "double track: both tracks take their heights from the centre line",
         [](JobDescription &job, const std::string &v) { return SetVtOption(job, 1, v); }},
        {"left-vt-from-right", "",
         "double track: the left track takes its heights from the right track",
         [](JobDescription &job, const std::string &v) { return SetVtOption(job, 2, v); }},
        {"right-vt-from-left", "",
         "double track: the right track takes its heights from the left track",
         [](JobDescription &job, const std::string &v) { return SetVtOption(job, 3, v); }},
        {"centre-vt-sampling", "projected|along-track",
         "how --tracks-vt-from-centre samples (default projected)",
         [](JobDescription &job, const std::string &v) { return SetSampling(job, 1, v); }},
        {"left-vt-sampling", "projected|along-track", "how --left-vt-from-right samples",
         [](JobDescription &job, const std::string &v) { return SetSampling(job, 2, v); }},
        {"right-vt-sampling", "projected|along-track", "how --right-vt-from-left samples",
         [](JobDescription &job, const std::string &v) { return SetSampling(job, 3, v); }},
        {"rail-vt", "axis|low|high",
         "co-planar double track: the centre line's profile gives the axis between the "
         "tracks (default), the lower or the higher rail",
         [](JobDescription &job, const std::string &v) -> std::string {
             const char *words[] = {"axis", "low", "high"};
             for (int i = 0; i < 3; ++i)
                 if (v == words[i]) {
                     job.VtDefAlignment = i;
                     return {};
                 }
             return "takes axis, low or high, not \"" + v + "\"";
         }},
        {"tol-hz", "N", "horizontal tolerance (default 0.010)",
         [](JobDescription &job, const std::string &v) { return SetNumber(job.ToleranceHz, v); }},
        {"tol-vt", "N", "vertical tolerance (default 0.010)",
         [](JobDescription &job, const std::string &v) { return SetNumber(job.ToleranceVt, v); }},
        {"unit", "mm|cm|m|km|ft|usft|in|mi",
         "linear unit of the listings (default m; ft is the international foot)",
         [](JobDescription &job, const std::string &v) -> std::string {
             const int unit = LinearUnitFromWord(v);
             if (unit == 0)
                 return "takes mm, cm, m, km, ft, usft, in or mi, not \"" + v + "\"";
             job.LinearUnits = unit;
             return {};
         }},
        {"from", "CH", "road jobs: first chainage to write (default the alignment's start)",
         [](JobDescription &job, const std::string &v) {
             return SetChainage(job.ChainageStart, v);
         }},
        {"to", "CH", "road jobs: last chainage to write (default the alignment's end)",
         [](JobDescription &job, const std::string &v) { return SetChainage(job.ChainageEnd, v); }},
        {"layers", "A,B", "cross-section layers to write (default all)",
         [](JobDescription &job, const std::string &v) -> std::string {
             job.SelectedLayers = Selection(v);
             return {};
         }},
        {"name", "TEXT", "project name (default the input file names)",
         [](JobDescription &job, const std::string &v) -> std::string {
             job.ProjectName = v;
             return {};
         }},
        {"extended", "", "write the extended document flavour",
         [](JobDescription &job, const std::string &v) { return SetSwitch(job.Extended, v); }},
        {"no-proof", "",
         "do not read the written document back and compare it with the imported design",
         [](JobDescription &job, const std::string &v) {
             bool off = false;
             std::string problem = SetSwitch(off, v);
             job.Proof = !off;
             return problem;
         }},
        {"preview", "DIR",
         "draw what was written into DIR: plan.svg, profile.svg, sections.svg, index.html",
         [](JobDescription &job, const std::string &v) -> std::string {
             if (v.empty())
                 return "needs a folder name";
             job.PreviewFolder = v;
             return {};
         }},
        {"preview-every", "N", "with --preview: draw every N-th cross section (default 10)",
         [](JobDescription &job, const std::string &v) -> std::string {
             if (!IsPlainNumber(v) || v.find_first_not_of("0123456789") != std::string::npos ||
                 Val(v) < 1 || Val(v) > 1e6)
                 return "needs a whole number from 1, not \"" + v + "\"";
             job.PreviewEvery = static_cast<std::size_t>(Val(v));
             return {};
         }},
        {"output", "FILE", "the document to write (same as -o)",
         [](JobDescription &job, const std::string &v) -> std::string {
             if (v.empty())
                 return "needs a file name";
             job.OutputPath = v;
             return {};
         }},
    };
}

// The job type a flag belongs to; "" when it fits every job.
std::string FlagMismatch(const std::string &name, int jobType) {
    const bool doubleOnly = StartsWith(name, "left-") || StartsWith(name, "right-") ||
                            name == "tracks-vt-from-centre" || name == "centre-vt-sampling";
    if (doubleOnly && jobType != jobRailDouble)
        return "--" + name + " is for double-rail jobs";
    if (name == "tunnel" && jobType != jobTunnel)
        return "--tunnel is for tunnel jobs";
    if (name == "cross" && jobType != jobRoad)
        return "--cross is for road jobs";
    if (name == "cant" && jobType != jobRailSingle && jobType != jobRailDouble)
        return "--cant is for rail jobs";
    return {};
}

// The files the input-files page insists on before it lets the user go on.
std::string MissingRequiredFile(const JobDescription &job) {
    if (job.JobType != jobRailDouble)
        return job.IsSelected(1, slotHz) ? "" : "the job needs a horizontal listing: give --hz";
    if (!job.IsSelected(2, slotHz) && !job.IsSelected(3, slotHz))
        return "a double track needs --left-hz or --right-hz";
    // The track takes the other track's heights, corrected by its own cant.
    if (job.IsOptionSelected(2, slotVt) &&
        (!job.IsSelected(3, slotVt) || !job.IsSelected(2, slotSup)))
        return "--left-vt-from-right needs --right-vt and --left-cant";
    if (job.IsOptionSelected(3, slotVt) &&
        (!job.IsSelected(2, slotVt) || !job.IsSelected(3, slotSup)))
        return "--right-vt-from-left needs --left-vt and --right-cant";
    return {};
}

} // namespace

const std::vector<ConvertOption> &ConvertOptions() {
    static const std::vector<ConvertOption> options = MakeOptions();
    return options;
}

const ConvertOption *FindConvertOption(const std::string &name) {
    for (const ConvertOption &o : ConvertOptions())
        if (name == o.Name)
            return &o;
    return nullptr;
}

std::string ConvertUsageText() {
    std::ostringstream text;
    text << "Usage: vialto-convert [options] -o FILE\n"
            "Converts design listings into one LandXML 1.2 document.\n\n"
            "Options:\n";
    for (const ConvertOption &o : ConvertOptions()) {
        std::string left = std::string("  --") + o.Name;
        if (*o.Argument)
            left += std::string(" ") + o.Argument;
        if (left.size() < 34)
            left.resize(34, ' ');
        else
            left += "\n" + std::string(34, ' ');
        text << left << o.Help << "\n";
    }
    text << "  -o FILE                         the document to write (required)\n"
            "  --job-file FILE                 read the job from a file of \"key = value\" lines\n"
            "                                  (keys are the option names above; later options\n"
            "                                  on the command line override it)\n"
            "  --help                          show this text\n\n"
            "Chainages read as in the listings: 12+340.5, 12+340,5 or 12340.5.\n\n"
            "Exit codes: 0 written; 2 an input failed to read or is out of tolerance (nothing\n"
            "written); 3 the export failed (no output left); 4 the written document, read\n"
            "back, deviates from the imported design beyond the tolerances (nothing written);\n"
            "5 the document was written but the preview could not be; 64 usage error, also a\n"
            "range or layer the design does not have.\n";
    return text.str();
}

std::optional<JobDescription> ParseConvertArguments(const std::vector<std::string> &args,
                                                    std::string &error, bool &helpWanted) {
    helpWanted = false;
    JobDescription job;
    std::vector<std::string> used;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (arg == "--help" || arg == "-h") {
            helpWanted = true;
            return std::nullopt;
        }
        std::string name;
        if (arg == "-o")
            name = "output";
        else if (StartsWith(arg, "--"))
            name = arg.substr(2);
        else {
            error = "unexpected argument \"" + arg + "\" (see --help)";
            return std::nullopt;
        }
        std::string value;
        if (const std::size_t eq = name.find('='); eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        } else if (const ConvertOption *known = FindConvertOption(name);
                   name == "job-file" || (known != nullptr && *known->Argument)) {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value (see --help)";
                return std::nullopt;
            }
            value = args[++i];
        }
        if (name == "job-file") {
            if (!ReadJobFile(value, job, error, &used))
                return std::nullopt;
            continue;
        }
        const ConvertOption *option = FindConvertOption(name);
        if (option == nullptr) {
            error = "unknown option \"" + arg + "\" (see --help)";
            return std::nullopt;
        }
        if (const std::string problem = option->Apply(job, value); !problem.empty()) {
            error = arg + " " + problem;
            return std::nullopt;
        }
        used.push_back(name);
    }
    for (const std::string &name : used) {
        if (std::string mismatch = FlagMismatch(name, job.JobType); !mismatch.empty()) {
            error = mismatch + " (the job is " + JobTypeWord(job.JobType) + "; see --help)";
            return std::nullopt;
        }
    }
    if (job.OutputPath.empty()) {
        error = "no output file: give -o FILE (see --help)";
        return std::nullopt;
    }
    ShapePagesForJobType(job);
    // The batch draws the records the proof read back only with --preview.
    job.KeepReadBack = !job.PreviewFolder.empty();
    if (std::string missing = MissingRequiredFile(job); !missing.empty()) {
        error = missing + " (see --help)";
        return std::nullopt;
    }
    return job;
}

} // namespace vialto
