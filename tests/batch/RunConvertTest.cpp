// The batch command's exit codes and console report on the bundled samples
// and small variations of them.
#include "batch/RunConvert.h"

#include "shell/AppModel.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace vialto;
using vialto::test::ReadFileBytes;
using vialto::test::SamplePath;
using vialto::test::WriteFileBytes;

namespace {

class RunConvertTest : public ::testing::Test {
  protected:
    void SetUp() override { SetProgramFolder(VIALTO_BIN_DIR); }
    void TearDown() override { AppModel().Reset(); }
    int Run(const std::vector<std::string> &args) {
        std::ostringstream out, err;
        const int code = RunConvert(args, out, err);
        out_ = out.str();
        err_ = err.str();
        return code;
    }

    vialto::test::TempLogFolder dir_; // the log goes to our folder
    vialto::test::RecordingUi ui_;
    std::string out_, err_;
};

} // namespace

TEST_F(RunConvertTest, ToleranceFailureWritesNothingAndNamesTheChainage) {
    std::string listing = ReadFileBytes(SamplePath("listings/road.plt"));
    // The start of the element at 13340 moves by 0.5.
    listing.replace(listing.find("513244.620"), 10, "513245.120");
    WriteFileBytes(dir_ / "gap.plt", listing);
    const std::string output = (dir_ / "gap.xml").string();
    WriteFileBytes(output, "earlier document");
    EXPECT_EQ(Run({"--hz", (dir_ / "gap.plt").string(), "--vt", SamplePath("listings/road.alz"),
                   "--tunnel", SamplePath("tunnel/profiles.xml"), "-o", output}),
              kConvertImportFailed);
    EXPECT_NE(out_.find("\u2717 gap"), std::string::npos) << out_;
    EXPECT_NE(out_.find("13340.0000"), std::string::npos) << out_;
    EXPECT_NE(err_.find("nothing was written"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(output), "earlier document");
}

TEST_F(RunConvertTest, OutdatedCantTableIsRefusedWithTheMessage) {
    const std::string output = (dir_ / "rail.xml").string();
    EXPECT_EQ(Run({"--job", "rail", "--hz", SamplePath("rail/single.plt"), "--vt",
                   SamplePath("rail/single.alz"), "--cant", SamplePath("cant/old_version.xml"),
                   "-o", output}),
              kConvertImportFailed);
    ASSERT_EQ(ui_.Messages.size(), 1u);
    EXPECT_NE(ui_.Messages[0].Text.find("cant table old_version "), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(output));
}

// Choosing no layer is choosing an alignment without cross sections, not a
// failed export.
TEST_F(RunConvertTest, NoLayerChosenWritesTheAlignmentWithoutCrossSections) {
    const std::string out = (dir_ / "plain.xml").string();
    ASSERT_EQ(Run({"--job", "road", "--hz", SamplePath("listings/road.plt"), "--vt",
                   SamplePath("listings/road.alz"), "--cross", SamplePath("cross/road.trv"),
                   "--layers", "NoSuchLayer", "-o", out}),
              kConvertWritten)
        << err_;
    const std::string document = ReadFileBytes(out);
    EXPECT_NE(document.find("<Profile>"), std::string::npos);
    EXPECT_EQ(document.find("<CrossSects"), std::string::npos);
}

TEST_F(RunConvertTest, ExitCodesOfAMissingInputAndAFailedExport) {
    const std::string missing = (dir_ / "missing.plt").string();
    EXPECT_EQ(Run({"--hz", missing, "-o", "x.xml"}), kConvertUsage);
    EXPECT_NE(err_.find("cannot find " + missing), std::string::npos) << err_;
    const std::filesystem::path folder = dir_ / "no" / "such";
    EXPECT_EQ(Run({"--job", "road", "--hz", SamplePath("listings/road.plt"), "-o",
                   (folder / "x.xml").string()}),
              kConvertExportFailed);
    EXPECT_NE(err_.find("the export failed"), std::string::npos) << err_;
    EXPECT_FALSE(std::filesystem::exists(dir_ / "no"));
}
