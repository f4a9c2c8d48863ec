// The proof: documents written from the test alignments pass it with figures
// at the rounding of the document, and deliberately corrupted documents are
// caught with the right alignment, check and chainage.
#include "verify/Proof.h"

#include "geometry/VtGeometry.h"
#include "landxml/LandXmlAlignment.h"
#include "landxml/LandXmlHead.h"
#include "landxml/LandXmlProfile.h"
#include "landxml/LandXmlWriter.h"
#include "shell/AppModel.h"
#include "support/AlignmentFixtures.h"
#include "support/ElementBuilders.h"
#include "support/TestSupport.h"
#include "verify/DocumentReader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <regex>

using namespace vialto;
using namespace vialto::test;

namespace {

// The document rounds every number to 6 decimals: a point of two rounded
// coordinates, evaluated along an element from a rounded start and tangent,
// stays within a few micrometres.
constexpr double kRounding = 5e-6;

// A profile of a grade, a sag parabola, a grade, a crest circle and a grade,
// heights chained along it.
VtAlignment TestProfile(double start) {
    VtAlignment vt = MakeOneBased<VtElement>(0);
    vt.push_back(VtAt(start, 100, 0.01, 0, 150));
    vt.push_back(VtAt(start + 150, 0, 0.01, 5000, 100)); // to 3 %
    vt.push_back(VtAt(start + 250, 0, 0.03, 0, 100));
    vt.push_back(VtAt(start + 350, 0, 0.03, -4000, -120)); // a crest circle of 120
    vt.push_back(VtAt(start + 470, 0, 0, 0, 100));
    for (std::size_t i = 2; i < vt.size(); ++i) {
        const VtElement &before = vt[i - 1];
        vt[i].Height = GetHeightInVtElement(before, std::abs(before.Length));
    }
    // The grade leaving the circle is its slope at its end: the circle's
    // centre lies below it, r cos(a) under and r sin(a) ahead of its start.
    const VtElement &circle = vt[4];
    const double r = 4000, a = std::atan(circle.Grade);
    const double dx = (circle.Chainage + 120) - (circle.Chainage + r * std::sin(a));
    vt[5].Grade = -dx / std::sqrt(r * r - dx * dx);
    return vt;
}

// Writes one document of the alignments with their profiles.
std::string WriteDocument(const std::filesystem::path &path, const ImportedDesign &design) {
    SetOutputFile(path.string());
    bool ok = TagLandXML(false) && TagApplication("tester") && TagProject("proof", "") &&
              TagUnits(3) && TagAlignments(false);
    for (const ImportedAlignment &a : design.Alignments) {
        const long n = ElementCount(a.Hz);
        const double end = a.Hz[n].Chainage + a.Hz[n].Length;
        double first = 0, last = 0;
        ok = ok && TagAlignment(false, a.Name, a.Hz[1].Chainage, end) && TagCoordGeom(false) &&
             TagCoordGeomRegular(a.Hz, kNullValue, kNullValue, first, last) && TagCoordGeom(true);
        if (ElementCount(a.Vt) > 0)
            ok = ok && TagProfile(false) &&
                 TagProfAlign(first, last, a.Name, a.Vt, kNullValue, kNullValue) &&
                 TagProfile(true);
        ok = ok && TagAlignment(true);
    }
    ok = TagAlignments(true) && ok;
    ok = TagLandXML(true) && ok;
    CloseFile();
    EXPECT_TRUE(ok && CommitOutput());
    return ReadFileBytes(path);
}

ProofReport ProveText(std::string text, const ImportedDesign &design,
                      const ProofTolerances &tolerances) {
    auto doc = std::make_shared<ReadBackDocument>();
    std::string failure;
    EXPECT_TRUE(ParseLandXmlDocument(text, *doc, failure)) << failure;
    return ProveDocument(doc, design, tolerances);
}

// Replaces the n-th match of the pattern (0-based) by the replacement.
std::string ReplaceNth(const std::string &text, const std::string &pattern,
                       const std::string &replacement, int n = 0) {
    const std::regex re(pattern);
    auto it = std::sregex_iterator(text.begin(), text.end(), re);
    for (int k = 0; k < n; ++k)
        ++it;
    EXPECT_NE(it, std::sregex_iterator()) << pattern;
    const std::smatch &m = *it;
    return text.substr(0, static_cast<std::size_t>(m.position())) + m.format(replacement) +
           text.substr(static_cast<std::size_t>(m.position() + m.length()));
}

// The numbers of a "northing easting" text moved by dn, de.
std::string Moved(const std::string &text, double dn, double de) {
    std::istringstream in(text);
    double n = 0, e = 0;
    in >> n >> e;
    return FormatDecimals(n + dn, 6) + " " + FormatDecimals(e + de, 6);
}

class Proof : public ::testing::Test {
  protected:
    void SetUp() override {
        AppModel().Reset();
        for (const FixtureLayout &layout : StandardFixtures()) {
            ImportedAlignment a;
            a.Name = layout.Name;
            a.Hz = BuildFixtureAlignment(layout);
            a.Vt = TestProfile(layout.StartChainage);
            design.Alignments.push_back(std::move(a));
        }
        text = WriteDocument(dir / "doc.xml", design);
    }
    void TearDown() override {
        SetOutputFile("");
        EXPECT_TRUE(ui.Messages.empty());
    }

    // The only failure of the report: its alignment, check and chainage.
    static const ProofFailure &OnlyFailure(const ProofReport &report) {
        static const ProofFailure none;
        EXPECT_FALSE(report.Passed);
        if (report.Failures.empty()) {
            ADD_FAILURE() << "no failure";
            return none;
        }
        for (const ProofFailure &f : report.Failures)
            EXPECT_EQ(f.Alignment, report.Failures.front().Alignment) << ProofFailureText(f, "m");
        return report.Failures.front();
    }

    RecordingUi ui;
    TempDir dir;
    ImportedDesign design;
    std::string text;
    ProofTolerances tolerances;
};

} // namespace

TEST_F(Proof, WrittenAlignmentsPassAtTheDocumentsRounding) {
    const ProofReport report = ProveDocumentFile(dir / "doc.xml", design, tolerances);
    ASSERT_TRUE(report.Passed) << ProofFailureText(report.Failures.front(), "m");
    ASSERT_EQ(report.Alignments.size(), design.Alignments.size());
    for (const AlignmentProof &a : report.Alignments) {
        SCOPED_TRACE(a.Name);
        EXPECT_LT(a.Plan.Value, kRounding);
        EXPECT_LT(a.ElementEnd.Value, kRounding);
        EXPECT_LT(a.Height.Value, kRounding);
        // Every whole metre and every element start and end.
        const HzAlignment &hz = design.Alignments[&a - report.Alignments.data()].Hz;
        const double length = hz.back().Chainage + hz.back().Length - hz[1].Chainage;
        EXPECT_GT(a.PlanSamples, length);
        EXPECT_GT(a.HeightSamples, 570);
        EXPECT_TRUE(a.FailedElements.empty());
    }
}

// An element's stated End moved by 5 cm: its own figure still evaluates right,
// so the element's end is what disagrees, at that element's end.
TEST_F(Proof, CatchesAWrongSpiralEndPoint) {
    std::smatch m;
    const std::regex spiral(
        "<Spiral staStart=\"([0-9.]+)\"[^>]* length=\"([0-9.]+)\""
        "[^>]*>\\s*<Start>[^<]*</Start>\\s*<PI>[^<]*</PI>\\s*<End>([^<]*)</End>");
    ASSERT_TRUE(std::regex_search(text, m, spiral));
    const double end = std::stod(m[1]) + std::stod(m[2]);
    const std::string corrupted =
        text.substr(0, static_cast<std::size_t>(m.position(3))) + Moved(m[3], 0.05, 0) +
        text.substr(static_cast<std::size_t>(m.position(3) + m.length(3)));
    const ProofReport report = ProveText(corrupted, design, tolerances);
    const ProofFailure &f = OnlyFailure(report);
    EXPECT_EQ(f.Alignment, design.Alignments.front().Name);
    EXPECT_EQ(f.Check, ProofCheck::ElementEnd);
    EXPECT_NEAR(f.Chainage, end, 1e-6);
    EXPECT_NEAR(f.Value, 0.05, 1e-5);
    EXPECT_THAT(ProofFailureText(f, "m"),
                ::testing::HasSubstr("alignment \"right curve\", chainage 1+200.000: element ends "
                                     "deviation 0.050000 m over the tolerance 0.010000 m"));
}

// Listings round their coordinates: here the second element is listed 3 mm
// right of where the first one ends. The document, which runs from listed
// point to listed point, inherits that jump and is held to what it adds.
TEST_F(Proof, HoldsTheDocumentToWhatItAddsToTheListingsOwnJump) {
    ImportedDesign listed{{design.Alignments.front()}};
    HzElement &second = listed.Alignments[0].Hz[2];
    second.X += 0.003 * std::cos(second.Azimuth); // azimuths run clockwise from north
    second.Y -= 0.003 * std::sin(second.Azimuth);
    const std::string written = WriteDocument(dir / "listed.xml", listed);
    ProofReport report = ProveText(written, listed, tolerances);
    ASSERT_TRUE(report.Passed) << ProofFailureText(report.Failures.front(), "m");
    const AlignmentProof &a = report.Alignments[0];
    EXPECT_NEAR(a.ImportedGap.Value, 0.003, 1e-5);
    EXPECT_NEAR(a.ImportedGap.Chainage, 1120, 1e-9);
    EXPECT_LT(a.Plan.Value, kRounding);
    EXPECT_LT(a.ElementEnd.Value, kRounding);

    // The first line's End moved 2 cm further is caught all the same.
    std::smatch m;
    ASSERT_TRUE(
        std::regex_search(written, m,
                          std::regex("<Line staStart=\"1000.000000\">\\s*<Start>[^<]*</Start>\\s*"
                                     "<End>([^<]*)</End>")));
    const std::string corrupted =
        written.substr(0, static_cast<std::size_t>(m.position(1))) + Moved(m[1], 0.02, 0) +
        written.substr(static_cast<std::size_t>(m.position(1) + m.length(1)));
    report = ProveText(corrupted, listed, tolerances);
    const ProofFailure &f = OnlyFailure(report);
    EXPECT_EQ(f.Alignment, "right curve");
    EXPECT_NEAR(f.Chainage, 1120, 1e-9);
    EXPECT_GT(f.Value, 0.015);
}

// A Curve turning the wrong way runs round the long side of its circle.
TEST_F(Proof, CatchesAWrongRot) {
    // The second alignment's arc (left, ccw) made clockwise.
    const std::string corrupted =
        ReplaceNth(text, "(<Curve staStart=\"([0-9.]+)\") rot=\"ccw\"", "$1 rot=\"cw\"", 0);
    const ProofReport report = ProveText(corrupted, design, tolerances);
    const ProofFailure &f = OnlyFailure(report);
    EXPECT_EQ(f.Alignment, "left curve across north");
    EXPECT_EQ(f.Check, ProofCheck::Plan);
    // The arc runs from 130 to 310.
    EXPECT_GT(f.Chainage, 130);
    EXPECT_LE(f.Chainage, 310);
    EXPECT_GT(f.Value, 1);
    EXPECT_THAT(report.Alignments[1].FailedElements, ::testing::Contains(2u));
}

// A Curve's centre moved by 1 cm bends the arc off its line by up to 1 cm.
TEST_F(Proof, CatchesACurveCentreOffByACentimetre) {
    std::smatch m;
    const std::regex curve("<Curve staStart=\"([0-9.]+)\"[^>]* length=\"([0-9.]+)\">\\s*"
                           "<Start>[^<]*</Start>\\s*<Center>([^<]*)</Center>");
    ASSERT_TRUE(std::regex_search(text, m, curve));
    const double start = std::stod(m[1]), end = start + std::stod(m[2]);
    const std::string corrupted =
        text.substr(0, static_cast<std::size_t>(m.position(3))) + Moved(m[3], 0.006, 0.008) +
        text.substr(static_cast<std::size_t>(m.position(3) + m.length(3)));
    tolerances.Plan = 0.005;
    const ProofReport report = ProveText(corrupted, design, tolerances);
    const ProofFailure &f = OnlyFailure(report);
    EXPECT_EQ(f.Alignment, "right curve");
    EXPECT_GE(f.Chainage, start);
    EXPECT_LE(f.Chainage, end + 1e-6);
    EXPECT_GT(f.Value, 0.005);
    EXPECT_LT(f.Value, 0.0201);
    EXPECT_THAT(report.Alignments[0].FailedElements, ::testing::ElementsAre(2u));
}

// A PVI raised by 5 mm lifts the grades on both sides of it.
TEST_F(Proof, CatchesAPviOffByFiveMillimetres) {
    // The third alignment's closing PVI of its first grade (chainage 2 650.25,
    // where the sag parabola begins) raised.
    const std::string pvi = "<PVI>2650.250000 ";
    const std::size_t at = text.find(pvi);
    ASSERT_NE(at, std::string::npos);
    const std::size_t from = at + pvi.size(), to = text.find('<', from);
    const double height = std::stod(text.substr(from, to - from));
    std::string corrupted = text;
    corrupted.replace(from, to - from, FormatDecimals(height + 0.005, 6));
    tolerances.Height = 0.002;
    const ProofReport report = ProveText(corrupted, design, tolerances);
    const ProofFailure &f = OnlyFailure(report);
    EXPECT_EQ(f.Alignment, "right curve across north");
    EXPECT_EQ(f.Check, ProofCheck::Height);
    EXPECT_NEAR(f.Chainage, 2650.25, 1e-9);
    EXPECT_NEAR(f.Value, 0.005, 1e-5);
    ASSERT_FALSE(report.Alignments[2].FailedHeightRanges.empty());
    EXPECT_LE(report.Alignments[2].FailedHeightRanges.front().first, 2650.25);
}

TEST_F(Proof, RefusesADocumentThatDoesNotHoldWhatWasWritten) {
    ProofReport report = ProveText(text, ImportedDesign{{design.Alignments.front()}}, tolerances);
    ASSERT_FALSE(report.Passed);
    EXPECT_EQ(report.Failures.front().Check, ProofCheck::Document);
    EXPECT_THAT(ProofFailureText(report.Failures.front(), "m"),
                ::testing::HasSubstr("the document holds 9 alignments, 1 were written"));

    ImportedDesign renamed = design;
    renamed.Alignments[3].Name = "other";
    report = ProveText(text, renamed, tolerances);
    EXPECT_THAT(ProofFailureText(report.Failures.front(), "m"),
                ::testing::HasSubstr("alignment 4 should be \"other\""));

    // An element said to run a thousand kilometres is not followed metre by metre.
    const std::string far =
        ReplaceNth(text, "<Spiral staStart=\"[0-9.]+\"", "<Spiral staStart=\"3000000.000000\"", 0);
    report = ProveText(far, design, tolerances);
    ASSERT_FALSE(report.Passed);
    EXPECT_THAT(ProofFailureText(report.Failures.front(), "m"),
                ::testing::HasSubstr("the alignment runs, at the element of chainage 1+000.000, "
                                     "longer than 1000000 m"));

    WriteFileBytes(dir / "broken.xml", text.substr(0, text.size() / 2));
    report = ProveDocumentFile(dir / "broken.xml", design, tolerances);
    ASSERT_FALSE(report.Passed);
    EXPECT_THAT(ProofFailureText(report.Failures.front(), "m"),
                ::testing::HasSubstr("the written document cannot be read back: not well-formed"));
    EXPECT_EQ(report.Document, nullptr);
}

TEST(ChainageText, KilometresAndMetres) {
    EXPECT_EQ(ChainageText(12345.6784), "12+345.678");
    EXPECT_EQ(ChainageText(999.9996), "1+000.000");
    EXPECT_EQ(ChainageText(5.5), "0+005.500");
    EXPECT_EQ(ChainageText(-10), "-0+010.000");
    EXPECT_EQ(ChainageText(kNullValue), "-");
}

namespace {

// One straight alignment of 100 m with a grade of 1 %, the document written
// with the given cross sections inserted before the alignment closes.
class ProofCrossSects : public ::testing::Test {
  protected:
    void SetUp() override {
        AppModel().Reset();
        alignment.Name = "track";
        alignment.Hz = BuildFixtureAlignment(FixtureSteps("track", 0, 1000, 2000, 0, {{100, 0}}));
        alignment.Vt = MakeOneBased<VtElement>(0);
        alignment.Vt.push_back(VtAt(0, 50, 0.01, 0, 100));
        written = WriteDocument(dir / "doc.xml", ImportedDesign{{alignment}});
        SetOutputFile("");
    }

    ProofReport Prove(const std::string &sects) {
        std::string text = written;
        text.insert(text.find("\t\t</Alignment>"), sects);
        return ProveText(text, ImportedDesign{{alignment}}, tolerances);
    }

    RecordingUi ui;
    TempDir dir;
    ImportedAlignment alignment;
    std::string written;
    ProofTolerances tolerances;
};

std::string Pair(double a, double b, double c, double d) {
    return FormatDecimals(a, 6) + " " + FormatDecimals(b, 6) + " " + FormatDecimals(c, 6) + " " +
           FormatDecimals(d, 6);
}

} // namespace

// The rails of a cant growing 1 mm a metre, left rail raised: each pair
// spread G sqrt(B^2 - c^2) / B across the cant, the right rail on the profile.
TEST_F(ProofCrossSects, CatchesARailPairAtTheWrongSpacing) {
    const double g = 1.435, b = 1.5;
    alignment.Rails = ImportedRails{g, b,
                                    [](double c) {
                                        return RailDesign{c >= 0, 0.001 * c, 0, 0, false};
                                    },
                                    alignment.Vt};
    auto rails = [&](double wrongAt) {
        std::string sects = "<CrossSects>";
        for (double c = 0; c <= 100; c += 10) {
            const double cant = 0.001 * c, h = 50 + 0.01 * c;
            const double half = 0.5 * g * std::sqrt(b * b - cant * cant) / b;
            sects += "<CrossSect sta=\"" + FormatDecimals(c, 6) +
                     "\" name=\"track\"><CrossSectSurf name=\"Rails\"><PntList2D>" +
                     Pair(-half, h + cant, half + (c == wrongAt ? 0.02 : 0), h) +
                     "</PntList2D></CrossSectSurf></CrossSect>";
        }
        return sects + "</CrossSects>";
    };
    ProofReport report = Prove(rails(-1));
    ASSERT_TRUE(report.Passed) << ProofFailureText(report.Failures.front(), "m");
    EXPECT_EQ(report.Alignments[0].RailPairs, 11);
    EXPECT_LT(report.Alignments[0].RailSpread.Value, kRounding);
    EXPECT_LT(report.Alignments[0].RailHeight.Value, kRounding);

    report = Prove(rails(40));
    ASSERT_FALSE(report.Passed);
    ASSERT_EQ(report.Failures.size(), 1u);
    EXPECT_EQ(report.Failures[0].Alignment, "track");
    EXPECT_EQ(report.Failures[0].Check, ProofCheck::RailSpread);
    EXPECT_EQ(report.Failures[0].Chainage, 40);
    EXPECT_NEAR(report.Failures[0].Value, 0.02, 1e-5);
    EXPECT_THAT(report.Alignments[0].FailedCrossSects, ::testing::ElementsAre(4u));
}

// Every imported point of a written station, in the surface of its layer.
TEST_F(ProofCrossSects, CatchesAMovedPointAndAMissingSurface) {
    CrossSectionSet set;
    set.Layers = {{"Rasante", {}}, {"Taludes", {}}};
    for (double c : {10.0, 20.0, 30.0, 40.0}) {
        CrossSection station{c, {}};
        auto point = [](double offset, double height) {
            CrSecPoint p;
            p.Offset = offset;
            p.Height = height;
            return p;
        };
        station.Surfaces.push_back(
            {0, {point(-3.5, 50 + c / 100), point(0, 50.07 + c / 100), point(3.5, 50)}, false});
        station.Surfaces.push_back({1, {point(-8, 49), point(8, 49)}, false});
        set.Stations.push_back(station);
    }
    // A copy the rules added is not an imported point.
    CrSecPoint copy;
    copy.Offset = 3.5;
    copy.Height = 50;
    copy.IsCopy = copy.IsCopyMark = true;
    set.Stations[1].Surfaces[0].Points.push_back(copy);
    // The station at 40 lies beyond the written range and is not looked for.
    alignment.CrossSections = ImportedCrossSectionsOf(set, "", 10, 30);
    auto sects = [&](double raise, bool dropTaludes) {
        std::string text = "<CrossSects>";
        for (const CrossSection &station : set.Stations) {
            if (station.Chainage > 30)
                break;
            text += "<CrossSect sta=\"" + FormatDecimals(station.Chainage, 6) + "\">";
            for (const CrSecSurface &surface : station.Surfaces) {
                if (dropTaludes && surface.Layer == 1 && station.Chainage == 30)
                    continue;
                text +=
                    "<CrossSectSurf name=\"" + set.Layers[surface.Layer].Name + "\"><PntList2D>";
                for (const CrSecPoint &p : surface.Points) {
                    if (p.IsCopyMark)
                        continue;
                    const double h =
                        p.Height + (station.Chainage == 20 && p.Offset == 0 ? raise : 0);
                    text += FormatDecimals(p.Offset, 6) + " " + FormatDecimals(h, 6) + " ";
                }
                text.pop_back();
                text += "</PntList2D></CrossSectSurf>";
            }
            text += "</CrossSect>";
        }
        return text + "</CrossSects>";
    };
    ProofReport report = Prove(sects(0, false));
    ASSERT_TRUE(report.Passed) << ProofFailureText(report.Failures.front(), "m");
    EXPECT_EQ(report.Alignments[0].SectionPoints, 15);

    report = Prove(sects(0.02, false));
    ASSERT_EQ(report.Failures.size(), 1u);
    EXPECT_EQ(report.Failures[0].Check, ProofCheck::SectionHeight);
    EXPECT_EQ(report.Failures[0].Chainage, 20);
    EXPECT_NEAR(report.Failures[0].Value, 0.02, 1e-9);
    EXPECT_THAT(report.Alignments[0].FailedCrossSects, ::testing::ElementsAre(1u));

    report = Prove(sects(0, true));
    ASSERT_EQ(report.Failures.size(), 1u);
    EXPECT_THAT(ProofFailureText(report.Failures[0], "m"),
                ::testing::HasSubstr("the cross section at chainage 0+030.000 has no points of "
                                     "layer \"Taludes\""));

    // A layer left out of the selection is not looked for.
    alignment.CrossSections = ImportedCrossSectionsOf(set, "Rasante$", 10, 30);
    EXPECT_TRUE(Prove(sects(0, true)).Passed);
}
