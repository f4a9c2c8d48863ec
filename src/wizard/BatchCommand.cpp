#include "wizard/BatchCommand.h"

#include "check/AlignmentCheck.h"
#include "import/ListingText.h"
#include "shell/AppModel.h"
#include "shell/StartUp.h"
#include "shell/Text.h"
#include "wizard/ExportStage.h"
#include "wizard/ImportStage.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <sstream>

namespace vialto {

namespace {

// Where a file flag puts its file.
struct FileTarget {
    int Page;
    int Slot;
};

struct OptionSpec {
    const char *Name;     // flag without "--"; also the job-file key
    const char *Argument; // "" for a switch
    const char *Help;
    // Applies the value; returns "" or what is wrong with it.
    std::function<std::string(JobDescription &, const std::string &)> Apply;
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

std::string SetChainage(double &field, const std::string &value) {
    if (!IsNumericText(value))
        return "needs a chainage such as 12+340.000 or 12340, not \"" + value + "\"";
    field = ParseChainage(value);
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

std::vector<OptionSpec> Options() {
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
         "which rail the track profile gives (default axis: the track axis on the platform)",
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
        {"output", "FILE", "the document to write (same as -o)",
         [](JobDescription &job, const std::string &v) -> std::string {
             if (v.empty())
                 return "needs a file name";
             job.OutputPath = v;
             return {};
         }},
    };
}

const OptionSpec *FindOption(const std::vector<OptionSpec> &options, const std::string &name) {
    for (const OptionSpec &o : options)
        if (name == o.Name)
            return &o;
    return nullptr;
}

bool IsPathOption(const OptionSpec &o) { return std::string(o.Argument) == "FILE"; }

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

bool ReadJobFileInto(const std::string &path, JobDescription &job, std::string &error,
                     std::vector<std::string> &used);

// The files the input-files page insists on before it lets the user go on.
std::string MissingRequiredFile(const JobDescription &job) {
    if (job.JobType != jobRailDouble)
        return job.IsSelected(1, slotHz) ? "" : "the job needs a horizontal listing: give --hz";
    if (!job.IsSelected(2, slotHz) && !job.IsSelected(3, slotHz))
        return "a double track needs --left-hz or --right-hz";
    if (job.IsOptionSelected(2, slotVt) &&
        (!job.IsSelected(3, slotVt) || !job.IsSelected(3, slotSup)))
        return "--left-vt-from-right needs --right-vt and --right-cant";
    if (job.IsOptionSelected(3, slotVt) &&
        (!job.IsSelected(2, slotVt) || !job.IsSelected(2, slotSup)))
        return "--right-vt-from-left needs --left-vt and --left-cant";
    return {};
}

} // namespace

std::string ConvertUsageText() {
    std::ostringstream text;
    text << "Usage: vialto-convert [options] -o FILE\n"
            "Converts design listings into one LandXML 1.2 document.\n\n"
            "Options:\n";
    for (const OptionSpec &o : Options()) {
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
            "Exit codes: 0 written; 2 an input failed to read or is out of tolerance (nothing\n"
            "written); 3 the export failed (no output left); 64 usage error.\n";
    return text.str();
}

bool ReadJobFile(const std::string &path, JobDescription &job, std::string &error) {
    std::vector<std::string> used;
    return ReadJobFileInto(path, job, error, used);
}

namespace {

bool ReadJobFileInto(const std::string &path, JobDescription &job, std::string &error,
                     std::vector<std::string> &used) {
    std::ifstream file{std::filesystem::path(path), std::ios::binary};
    if (!file) {
        error = "cannot read the job file " + path;
        return false;
    }
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    const std::vector<OptionSpec> options = Options();
    std::string line;
    long number = 0;
    while (std::getline(file, line)) {
        ++number;
        line = Trim(line);
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t eq = line.find('=');
        const std::string where = path + ", line " + std::to_string(number) + ": ";
        if (eq == std::string::npos) {
            error = where + "expected \"key = value\"";
            return false;
        }
        const std::string key = Trim(line.substr(0, eq));
        std::string value = Trim(line.substr(eq + 1));
        const OptionSpec *option = FindOption(options, key);
        if (!option) {
            error = where + "unknown key \"" + key + "\"";
            return false;
        }
        if ((IsPathOption(*option)) && !value.empty() && std::filesystem::path(value).is_relative())
            value = (folder / value).lexically_normal().string();
        if (const std::string problem = option->Apply(job, value); !problem.empty()) {
            error = where + key + " " + problem;
            return false;
        }
        used.push_back(key);
    }
    return true;
}

} // namespace

std::optional<JobDescription> ParseConvertArguments(const std::vector<std::string> &args,
                                                    std::string &error, bool &helpWanted) {
    helpWanted = false;
    JobDescription job;
    std::vector<std::string> used;
    const std::vector<OptionSpec> options = Options();
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
        } else if (name == "job-file" ||
                   (FindOption(options, name) && *FindOption(options, name)->Argument)) {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value (see --help)";
                return std::nullopt;
            }
            value = args[++i];
        }
        if (name == "job-file") {
            if (!ReadJobFileInto(value, job, error, used))
                return std::nullopt;
            continue;
        }
        const OptionSpec *option = FindOption(options, name);
        if (!option) {
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
    if (std::string missing = MissingRequiredFile(job); !missing.empty()) {
        error = missing + " (see --help)";
        return std::nullopt;
    }
    return job;
}

} // namespace vialto

namespace vialto {

namespace {

// Progress on the console: only the step names, one line each.
class ConsoleProgress final : public IProgress {
  public:
    explicit ConsoleProgress(std::ostream &out) : out_(out) {}
    void Start(const std::string &caption, double, double) override {
        if (!caption.empty() && caption != last_)
            out_ << "  " << caption << "\n";
        last_ = caption;
    }
    void Step(double) override {}
    bool CancelRequested() override { return false; }
    void Finish() override {}

  private:
    std::ostream &out_;
    std::string last_;
};

// The lines of a check report text, indented.
void PrintIndented(std::ostream &out, const std::string &text, const std::string &indent) {
    for (const std::string &line : Split(ReplaceAll(text, "\r\n", "\n"), "\n"))
        if (!Trim(line).empty())
            out << indent << TrimRight(line) << "\n";
}

void PrintTree(std::ostream &out, const ImportTree &tree) {
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

// Files named by the job that cannot be found, as one line.
std::string MissingInputs(const JobDescription &job) {
    std::string missing;
    for (const InputPage &page : job.Pages)
        for (const FileSlot &slot : page.Slots)
            if (slot.Selected && !std::filesystem::is_regular_file(slot.Path))
                missing += (missing.empty() ? "" : ", ") + slot.Path;
    return missing;
}

} // namespace

int RunConvert(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
    std::string error;
    bool help = false;
    std::optional<JobDescription> parsed = ParseConvertArguments(args, error, help);
    if (help) {
        out << ConvertUsageText();
        return kConvertWritten;
    }
    if (!parsed) {
        err << "vialto-convert: " << error << "\n";
        return kConvertUsage;
    }
    const JobDescription &job = *parsed;
    if (const std::string missing = MissingInputs(job); !missing.empty()) {
        err << "vialto-convert: cannot find " << missing << "\n";
        return kConvertUsage;
    }

    clsAppModel &app = AppModel();
    app.Reset();
    SetSupportedFormats(fmtTunnel);
    app.XmlFileToExport = job.OutputPath;
    app.IsOstXML = job.Extended;
    app.ConversionInfo().RoadDataName = job.ProjectName;
    app.ConversionInfo().Flags |= job.ConversionFlags;
    if (!app.TokenFile().ReadFile(kLanguageFileName))
        err << "vialto-convert: the language file " << kLanguageFileName
            << " is missing; texts show their tokens\n";

    ConsoleProgress progress(out);
    ImportTree tree;
    out << "Reading\n";
    IntroPageImporting(job, tree, progress);
    PrintTree(out, tree);
    if (!tree.IsAllOk()) {
        err << "vialto-convert: an input failed to read or is out of tolerance; nothing was "
               "written\n";
        return kConvertImportFailed;
    }

    out << "Writing " << job.OutputPath << "\n";
    ResultSummary summary;
    const ExportChoices choices = IntroPageExporting(job);
    if (!ExitPageExporting(job, choices, summary, progress)) {
        err << "vialto-convert: the export failed; nothing was written to " << job.OutputPath
            << "\n";
        return kConvertExportFailed;
    }
    PrintSummary(out, summary);
    out << "Wrote " << job.OutputPath << "\n";
    return kConvertWritten;
}

} // namespace vialto
