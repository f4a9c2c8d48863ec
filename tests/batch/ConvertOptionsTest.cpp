// The reading of a job: paths in a job file are taken from its folder and
// later options override it; chainages read as in the listings.
#include "batch/ConvertOptions.h"

#include "shell/Platform.h"
#include "shell/Text.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace vialto;

namespace {

// The arguments of `line`, split at blanks, then `more` (values holding blanks).
std::optional<JobDescription> Parse(const std::string &line, std::string &error,
                                    const std::vector<std::string> &more = {}) {
    std::vector<std::string> args = line.empty() ? std::vector<std::string>{} : Split(line, " ");
    args.insert(args.end(), more.begin(), more.end());
    bool help = false;
    return ParseConvertArguments(args, error, help);
}

} // namespace

TEST(BatchArguments, JobFileWithRelativePathsAndOverrides) {
    vialto::test::TempDir dir;
    const std::filesystem::path absolute = dir.Path() / "elsewhere" / "road.alz";
    vialto::test::WriteFileBytes(dir / "job.txt", "# a road job\n"
                                                  "job = road\n"
                                                  "hz = listings/road.plt\n"
                                                  "vt = " +
                                                      PathText(absolute) +
                                                      "\n"
                                                      "tol-hz = 0,020\n"
                                                      "extended = no\n"
                                                      "output = out.xml\n");
    std::string error;
    const auto job =
        Parse("", error, {"--job-file", (dir / "job.txt").string(), "--tol-hz", "0.03"});
    ASSERT_TRUE(job) << error;
    EXPECT_EQ(job->JobType, jobRoad);
    EXPECT_EQ(Utf8Path(job->Slot(1, slotHz).Path), dir.Path() / "listings" / "road.plt");
    EXPECT_EQ(Utf8Path(job->Slot(1, slotVt).Path), absolute);
    EXPECT_DOUBLE_EQ(job->ToleranceHz, 0.03);
    EXPECT_EQ(Utf8Path(job->OutputPath), dir.Path() / "out.xml");
}

// Chainages read as the listings' cells (decimal commas and thousands marks
// before the notation), on the command line and in a job file alike.
TEST(BatchArguments, ChainagesReadAsInTheListings) {
    vialto::test::TempDir dir;
    const std::pair<const char *, double> cases[] = {
        {"12+900,5", 12900.5}, {"12900,5", 12900.5}, {"12.900,5", 12900.5}, {"-0+010", -10}};
    for (const auto &[text, expected] : cases) {
        std::string error;
        const auto job = Parse("--hz a.plt -o x --from", error, {text});
        ASSERT_TRUE(job) << text << ": " << error;
        EXPECT_DOUBLE_EQ(job->ChainageStart, expected) << text;
        vialto::test::WriteFileBytes(dir / "job.txt", std::string("to = ") + text + "\n");
        const auto fromFile =
            Parse("--hz a.plt -o x --job-file", error, {(dir / "job.txt").string()});
        ASSERT_TRUE(fromFile) << text << ": " << error;
        EXPECT_DOUBLE_EQ(fromFile->ChainageEnd, expected) << text;
    }
}
