// The proof and the preview through the batch command: the figures printed,
// --no-proof, a document refused with exit 4 and nothing written, and the
// drawings of --preview (also of a refused document, in red).
#include "batch/RunConvert.h"

#include "shell/AppModel.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <sstream>

using namespace vialto;
using ::testing::HasSubstr;
using vialto::test::ReadFileBytes;
using vialto::test::SamplePath;
using vialto::test::WriteFileBytes;

namespace {

class ProofCommand : public ::testing::Test {
  protected:
    void SetUp() override { SetProgramFolder(VIALTO_BIN_DIR); }
    void TearDown() override { AppModel().Reset(); }
    int Run(std::vector<std::string> args) {
        std::ostringstream out, err;
        const int code = RunConvert(args, out, err);
        out_ = out.str();
        err_ = err.str();
        return code;
    }
    std::string Job(const std::string &name) { return SamplePath("jobs/" + name + ".job"); }

    vialto::test::TempLogFolder dir_;
    vialto::test::RecordingUi ui_;
    std::string out_, err_;
};

} // namespace

TEST_F(ProofCommand, PrintsTheFiguresOfEveryAlignment) {
    const std::string output = (dir_ / "double.xml").string();
    ASSERT_EQ(Run({"--job-file", Job("double-rail"), "-o", output}), kConvertWritten) << err_;
    EXPECT_THAT(out_, HasSubstr("Proof: the document read back against the imported design "
                                "(tolerances 0.010000 m plan, 0.010000 m height): passed"));
    for (const char *name : {"double_centre_CCL", "double_left", "double_right"})
        EXPECT_THAT(out_, HasSubstr(std::string("\n  ") + name + "\n    plan"));
    EXPECT_THAT(out_, HasSubstr("    rail spread"));
    EXPECT_THAT(out_, HasSubstr(" rail pairs)"));
    // The proof follows its progress line; the last line names the document.
    EXPECT_LT(out_.find("Reading the document back"), out_.find("Proof:"));
    EXPECT_THAT(out_, ::testing::EndsWith("Wrote " + output + "\n"));
}

// The proof only reads: without it the same document is written.
TEST_F(ProofCommand, NoProofWritesTheSameDocumentWithoutFigures) {
    const std::string proved = (dir_ / "proved.xml").string();
    const std::string plain = (dir_ / "plain.xml").string();
    ASSERT_EQ(Run({"--job-file", Job("road"), "-o", proved}), kConvertWritten) << err_;
    ASSERT_EQ(Run({"--job-file", Job("road"), "--no-proof", "-o", plain}), kConvertWritten);
    EXPECT_EQ(out_.find("Proof:"), std::string::npos);
    EXPECT_TRUE(ReadFileBytes(proved) == ReadFileBytes(plain));
    // The listing beside the job, named relative to it (an absolute Linux path
    // means another drive under Wine).
    WriteFileBytes(dir_ / "road.plt", ReadFileBytes(SamplePath("listings/road.plt")));
    WriteFileBytes(dir_ / "off.job", "job = road\nhz = road.plt\nno-proof = yes\n");
    ASSERT_EQ(Run({"--job-file", (dir_ / "off.job").string(), "-o", plain}), kConvertWritten)
        << err_;
    EXPECT_EQ(out_.find("Proof:"), std::string::npos);
}

// A tolerance finer than the document's own rounding (micrometres) but not
// than the rail sample's listed points: the import passes, the document
// cannot, and it never replaces the earlier file.
TEST_F(ProofCommand, ADocumentOverTheToleranceIsRefusedWithExitFour) {
    const std::string output = (dir_ / "rail.xml").string();
    WriteFileBytes(output, "earlier document");
    ASSERT_EQ(Run({"--job-file", Job("rail"), "--tol-hz", "0.0000012", "--preview",
                   (dir_ / "refused").string(), "-o", output}),
              kConvertProofFailed)
        << out_ << err_;
    EXPECT_THAT(out_, HasSubstr("): FAILED"));
    EXPECT_THAT(err_,
                HasSubstr("deviates from the imported design; nothing was written to " + output));
    // (GoogleTest's regular expressions on Windows have no brackets.)
    EXPECT_THAT(err_, HasSubstr("alignment \"single\", chainage "));
    EXPECT_THAT(err_, HasSubstr(" m over the tolerance 0.000001 m"));
    EXPECT_EQ(ReadFileBytes(output), "earlier document");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path()), {}), 2)
        << "only the earlier document and the preview folder";
    // The preview shows what failed in red.
    EXPECT_THAT(ReadFileBytes(dir_ / "refused" / "plan.svg"), HasSubstr("#d00000"));
}

TEST_F(ProofCommand, PreviewDrawsTheWrittenDocument) {
    for (const bool proof : {true, false}) {
        const std::filesystem::path folder = dir_ / (proof ? "with" : "without");
        std::vector<std::string> args{
            "--job-file",      Job("road"), "--preview", folder.string(),
            "--preview-every", "50",        "-o",        (dir_ / "road.xml").string()};
        if (!proof)
            args.push_back("--no-proof");
        ASSERT_EQ(Run(args), kConvertWritten) << err_;
        EXPECT_THAT(out_, HasSubstr("Drew the preview into " + folder.string()));
        for (const char *file : {"plan.svg", "profile.svg", "sections.svg"}) {
            pugi::xml_document svg;
            EXPECT_TRUE(svg.load_file((folder / file).c_str())) << file;
        }
        // 271 stations, every 50th: 0, 50, ..., 250 and the last.
        pugi::xml_document sections;
        ASSERT_TRUE(sections.load_file((folder / "sections.svg").c_str()));
        EXPECT_EQ(sections.child("svg").select_nodes("g[@class='drawing']").size(), 7u);
        EXPECT_EQ(ReadFileBytes(folder / "index.html").find("Proof:") != std::string::npos, proof);
    }
}

TEST_F(ProofCommand, PreviewOptionsAndFailures) {
    const std::string output = (dir_ / "road.xml").string();
    EXPECT_EQ(Run({"--job-file", Job("road"), "--preview-every", "0", "-o", output}),
              kConvertUsage);
    EXPECT_THAT(err_, HasSubstr("--preview-every needs a whole number from 1, not \"0\""));
    EXPECT_EQ(Run({"--job-file", Job("road"), "--preview", "", "-o", output}), kConvertUsage);
    // A folder that cannot be made: the document is written, the preview
    // reported.
    WriteFileBytes(dir_ / "file", "x");
    EXPECT_EQ(
        Run({"--job-file", Job("road"), "--preview", (dir_ / "file" / "p").string(), "-o", output}),
        kConvertPreviewFailed);
    EXPECT_THAT(err_, HasSubstr("the preview could not be written: cannot create the folder"));
    EXPECT_TRUE(std::filesystem::exists(output));
}
