// The reading of a job: each usage and job-file error of the batch command
// with the one line it prints (a run that stops on one writes nothing); paths
// in a job file taken from its folder, later options overriding it, chainages
// read as in the listings.
#include "batch/BatchRun.h"
#include "batch/ConvertOptions.h"

#include <algorithm>

namespace vialto::test {
namespace {

struct UsageRow {
    std::vector<std::string> Args; // "-o <folder>/out.xml" is added unless `NoOutput`
    std::string Err;               // the start of the one line printed after "vialto-convert: "
    bool NoOutput = false;
};

using CommandLineTable = BatchTest;

TEST_F(CommandLineTable, UsageAndJobFileErrorsExit64WithOneLine) {
    const std::string hz = SamplePath("listings/road.plt");
    const std::vector<std::string> road = {"--job",   "road",
                                           "--hz",    hz,
                                           "--vt",    SamplePath("listings/road.alz"),
                                           "--cross", SamplePath("cross/road.trv")};
    // A job file, and its error: the file, the line and what is wrong.
    const auto jobFile = [&](const std::string &name, const std::string &text, int line,
                             const std::string &error = "") {
        WriteFileBytes(dir_ / name, text);
        return UsageRow{{"--job-file", PathText(dir_ / name)},
                        PathText(dir_ / name) + ", line " + std::to_string(line) + ": " + error};
    };
    const UsageRow rows[] = {
        {{"--hz", hz}, "no output file: give -o FILE", true},
        {{"--bogus"}, "unknown option \"--bogus\""},
        {{"stray"}, "unexpected argument \"stray\""},
        {{"--hz"}, "--hz needs a value", true},
        {{"--job", "boat"}, "--job takes road, tunnel, rail or double-rail, not \"boat\""},
        {{"--tol-hz", "abc"}, "--tol-hz needs a number, not \"abc\""},
        {{"--unit", "yd"}, "--unit takes mm, cm, m, km, ft, usft, in or mi, not \"yd\""},
        {{"--from", "k12"}, "--from needs a chainage such as 12+340.000, 12+340,5 or 12340.5"},
        {{"--to", "1+2+3"}, "--to needs a chainage"},
        {{"--from", "1.2+340"}, "--from needs a chainage"},
        {{"--from", "12km"}, "--from needs a chainage"},
        {{"--rail-vt", "top"}, "--rail-vt takes axis, low or high, not \"top\""},
        {{"--centre-vt-sampling", "x"}, "--centre-vt-sampling takes projected or along-track"},
        {{"--extended=maybe"}, "--extended=maybe takes yes or no, not \"maybe\""},
        {{"--preview-every", "0"}, "--preview-every needs a whole number from 1, not \"0\""},
        {{"--preview", ""}, "--preview needs a folder name"},
        {{"--job", "road", "--left-hz", hz}, "--left-hz is for double-rail jobs (the job is road"},
        {{"--job", "tunnel", "--cant", "c.xml"}, "--cant is for rail jobs"},
        {{"--job", "rail", "--tunnel", "t.xml"}, "--tunnel is for tunnel jobs"},
        {{"--job", "tunnel", "--cross", "c.trv"}, "--cross is for road jobs"},
        {{"--job", "road"}, "the job needs a horizontal listing: give --hz"},
        {{"--job", "double-rail", "--hz", hz}, "a double track needs --left-hz or --right-hz"},
        {{"--job", "double-rail", "--hz", hz, "--left-hz", hz, "--left-vt-from-right"},
         "--left-vt-from-right needs --right-vt and --left-cant"},
        {{"--hz", "/no/such/road.plt"}, "cannot find /no/such/road.plt"},
        {{"--job-file", "/no/such/job.txt"}, "cannot read the job file"},
        jobFile("speed.txt", "job = road\nspeed = 3\n", 2, "unknown key \"speed\""),
        jobFile("bare.txt", "# a road\nhz\n", 2),
        jobFile("tolerance.txt", "tol-vt = x\n", 1),
        // Found once the listings are read, which the console shows.
        {Plus(road, {"--from", "14500", "--to", "13+000"}),
         "--from 14500.000 lies after --to 13000.000; the alignment runs from 12340.000 to "
         "15040.000"},
        {Plus(road, {"--from", "20+000", "--to", "21+000"}),
         "the range 20000.000 to 21000.000 misses the alignment; the alignment runs from "
         "12340.000 to 15040.000"},
        {Plus(road, {"--layers", "Rasante,NOSUCH"}),
         "--layers names \"NOSUCH\", which the cross sections do not have; their layers are "
         "Taludes, Cunetas, Subrasante, Rasante"},
    };
    for (const UsageRow &row : rows) {
        SCOPED_TRACE(row.Args.front() + " " + row.Err);
        const BatchResult run = Convert(row.Args, row.NoOutput ? "" : "out.xml");
        EXPECT_EQ(run.Code, kConvertUsage);
        EXPECT_EQ(run.Err.rfind("vialto-convert: " + row.Err, 0), 0u) << run.Err;
        EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << run.Err;
        EXPECT_FALSE(std::filesystem::exists(dir_ / "out.xml"));
    }
}

// A job file's paths taken from its folder, later options overriding it;
// chainages read as the listings' cells (decimal commas and thousands marks
// before the notation), on the command line and in a job file alike.
TEST(BatchArguments, JobFilePathsOverridesAndChainages) {
    TempDir dir;
    const std::filesystem::path absolute = dir.Path() / "elsewhere" / "road.alz";
    const std::string vt = "vt = " + PathText(absolute) + "\n";
    WriteFileBytes(dir / "job.txt", "# a road job\njob = road\nhz = listings/road.plt\n" + vt +
                                        "tol-hz = 0,020\nextended = no\noutput = out.xml\n");
    std::string error;
    bool help = false;
    const auto job = ParseConvertArguments(
        {"--job-file", (dir / "job.txt").string(), "--tol-hz", "0.03"}, error, help);
    ASSERT_TRUE(job) << error;
    EXPECT_EQ(job->JobType, jobRoad);
    EXPECT_EQ(Utf8Path(job->Slot(1, slotHz).Path), dir.Path() / "listings" / "road.plt");
    EXPECT_EQ(Utf8Path(job->Slot(1, slotVt).Path), absolute);
    EXPECT_DOUBLE_EQ(job->ToleranceHz, 0.03);
    EXPECT_EQ(Utf8Path(job->OutputPath), dir.Path() / "out.xml");
    const std::pair<const char *, double> chainages[] = {
        {"12+900,5", 12900.5}, {"12900,5", 12900.5}, {"12.900,5", 12900.5}, {"-0+010", -10}};
    for (const auto &[text, expected] : chainages) {
        SCOPED_TRACE(text);
        WriteFileBytes(dir / "job.txt", std::string("to = ") + text + "\n");
        const auto parsed = ParseConvertArguments(
            {"--hz", "a.plt", "-o", "x", "--from", text, "--job-file", (dir / "job.txt").string()},
            error, help);
        ASSERT_TRUE(parsed) << error;
        EXPECT_DOUBLE_EQ(parsed->ChainageStart, expected);
        EXPECT_DOUBLE_EQ(parsed->ChainageEnd, expected);
    }
}

} // namespace
} // namespace vialto::test
