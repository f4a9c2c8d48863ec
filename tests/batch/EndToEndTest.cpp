// The bundled sample jobs through the batch command, compared byte for byte
// with reviewed golden files, validated against the LandXML 1.2 schema (minus
// the forms the field software needs), and the written geometry checked by
// the proof and against the rails' known spacing, so a rewritten golden
// cannot hide a fault.
#include "batch/BatchRun.h"
#include "shell/Text.h"
#include "support/LandXmlKnownForms.h"

#include <cstdlib>

namespace vialto::test {
namespace {

std::filesystem::path GoldenPath(const std::string &job) {
    return SourcePath("tests/batch/golden/" + job + ".xml");
}

// The proof of every alignment passed, and each figure it prints is within
// half a millimetre: the document rounds to the micrometre, the listings'
// own points to the millimetre.
void ExpectProofWithinHalfAMillimetre(const BatchResult &run) {
    EXPECT_THAT(run.Out, HasSubstr("(tolerances 0.010000 m plan, 0.010000 m height): passed\n"));
    for (const pugi::xpath_node &name :
         run.Doc->select_nodes("/LandXML/Alignments/Alignment/@name"))
        EXPECT_THAT(run.Out,
                    HasSubstr("\n  " + std::string(name.attribute().value()) + "\n    plan"));
    std::size_t figures = 0;
    for (const std::string &line : Split(run.Out, "\n")) // "    plan    0.000001 m at 1+000.000"
        if (line.rfind("    ", 0) == 0 && line.find(" m at ") != std::string::npos) {
            EXPECT_LT(std::stod(line.substr(26)), 0.0005) << line;
            ++figures;
        }
    EXPECT_GE(figures, 2 * run.Count("/LandXML/Alignments/Alignment"));
}

class EndToEnd : public BatchTest, public ::testing::WithParamInterface<const char *> {};

TEST_P(EndToEnd, SampleJobMatchesGoldenSchemaAndGeometry) {
    const std::string job = GetParam();
    const BatchResult run = Convert(Job(job), job + ".xml");
    ASSERT_EQ(run.Code, kConvertWritten) << run.Out << run.Err;
    const std::string written = WithoutAuthor(run.Bytes);
    if (std::getenv("VIALTO_UPDATE_GOLDEN"))
        WriteFileBytes(GoldenPath(job), written);
    EXPECT_TRUE(written == ReadFileBytes(GoldenPath(job)))
        << "the " << job << " document differs from " << GoldenPath(job)
        << " (review it; VIALTO_UPDATE_GOLDEN=1 rewrites it)";
    EXPECT_EQ(ValidateLandXmlKnownForms(dir_ / (job + ".xml")), "");
    ExpectProofWithinHalfAMillimetre(run);
    const BatchResult extended = Convert(Plus(Job(job), {"--extended"}), "extended.xml");
    ASSERT_EQ(extended.Code, kConvertWritten) << extended.Out << extended.Err;
    ExpectProofWithinHalfAMillimetre(extended);
    if (job == "rail" || job == "double-rail") { // the samples have no widening
        EXPECT_LE(ExpectRailsApart(*run.Doc, 0), 0.2);
    }
    // No half-written or side files stay behind (the log is the one other file).
    for (const auto &entry : std::filesystem::directory_iterator(dir_.Path()))
        EXPECT_TRUE(entry.path().filename() == job + ".xml" ||
                    entry.path().filename() == "extended.xml" || entry.path().extension() == ".log")
            << entry.path();
}

INSTANTIATE_TEST_SUITE_P(SampleJobs, EndToEnd,
                         ::testing::Values("tunnel", "road", "rail", "double-rail"));

} // namespace
} // namespace vialto::test
