// The proof: documents written from the test alignments pass it with figures
// at the rounding of the document, and deliberately corrupted documents are
// caught with the right alignment, check and chainage.
#include "verify/Proof.h"

#include "crosssection/CrSecBuilder.h"
#include "geometry/VtGeometry.h"
#include "landxml/LandXmlAlignment.h"
#include "landxml/LandXmlHead.h"
#include "landxml/LandXmlProfile.h"
#include "landxml/LandXmlWriter.h"
#include "shell/AppModel.h"
#include "support/AlignmentFixtures.h"
#include "support/ElementBuilders.h"
#include "support/TestSupport.h"
#include "verify/DocumentDump.h"
#include "verify/DocumentReader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <regex>
#include <sstream>

using namespace vialto;
using namespace vialto::test;
using ::testing::HasSubstr;

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
    SetOutputFile("");
    return ReadFileBytes(path);
}

ProofReport ProveText(std::string text, const ImportedDesign &design,
                      const ProofTolerances &tolerances = {}) {
    auto doc = std::make_shared<ReadBackDocument>();
    std::string failure;
    EXPECT_TRUE(ParseLandXmlDocument(text, *doc, failure)) << failure;
    return ProveDocument(doc, design, tolerances);
}

using Edit = std::function<std::string(const std::string &)>;

// The text with the first group of the pattern's first match edited.
std::string Edited(const std::string &text, const std::string &pattern, const Edit &edit) {
    std::smatch m;
    if (!std::regex_search(text, m, std::regex(pattern))) {
        ADD_FAILURE() << "no match for " << pattern;
        return text;
    }
    const auto at = static_cast<std::size_t>(m.position(1));
    return text.substr(0, at) + edit(m[1]) + text.substr(at + m[1].length());
}

// A "northing easting" figure moved by dn, de.
Edit Moved(double dn, double de) {
    return [=](const std::string &figure) {
        std::istringstream in(figure);
        double n = 0, e = 0;
        in >> n >> e;
        return FormatDecimals(n + dn, 6) + " " + FormatDecimals(e + de, 6);
    };
}

Edit Raised(double dh) {
    return [=](const std::string &h) { return FormatDecimals(std::stod(h) + dh, 6); };
}

Edit Becomes(std::string replacement) {
    return [=](const std::string &) { return replacement; };
}

class Proof : public ::testing::Test {
  protected:
    void SetUp() override {
        AppModel().Reset();
        for (const FixtureLayout &layout : StandardFixtures())
            design.Alignments.push_back({layout.Name,
                                         BuildFixtureAlignment(layout),
                                         TestProfile(layout.StartChainage),
                                         {},
                                         {}});
        text = WriteDocument(dir / "doc.xml", design);
    }
    void TearDown() override { EXPECT_TRUE(ui.Messages.empty()); }

    RecordingUi ui;
    TempDir dir;
    ImportedDesign design;
    std::string text;
};

} // namespace

TEST_F(Proof, WrittenAlignmentsPassAtTheDocumentsRounding) {
    const ProofReport report = ProveDocumentFile(dir / "doc.xml", design, {});
    ASSERT_TRUE(report.Passed) << ProofFailureText(report.Failures.front(), "m");
    ASSERT_EQ(report.Alignments.size(), design.Alignments.size());
    for (std::size_t i = 0; i < report.Alignments.size(); ++i) {
        const AlignmentProof &a = report.Alignments[i];
        SCOPED_TRACE(a.Name);
        EXPECT_LT(a.Plan.Value, kRounding);
        EXPECT_LT(a.ElementEnd.Value, kRounding);
        EXPECT_LT(a.Height.Value, kRounding);
        // Every whole metre and every element start and end.
        const HzAlignment &hz = design.Alignments[i].Hz;
        EXPECT_GT(a.PlanSamples, hz.back().Chainage + hz.back().Length - hz[1].Chainage);
        EXPECT_GT(a.HeightSamples, 570);
    }
}

// Each fault planted alone in the written document. The alignments: "right
// curve" runs line 1000-1120, spiral to 1200, arc (cw) to 1350; "left curve
// across north" has its ccw arc at 130-310; "right curve across north" starts
// its profile at 2500.25, its first grade closing at 2650.25.
TEST_F(Proof, CatchesEachPlantedFault) {
    struct Fault {
        const char *What;
        std::string Pattern; // its first group is the figure edited
        Edit Change;
        double PlanTolerance, HeightTolerance;
        const char *Alignment;
        ProofCheck Check;    // a failure of this check
        double From, To;     // where the worst deviation lies
        double Least, Most;  // and its size (figures have 6 decimals)
        std::size_t Element; // the failed element (plan checks)
        const char *Message;
    };
    const std::string spiralEnd = "<Spiral staStart=\"1120.000000\"[^>]*>\\s*<Start>[^<]*</Start>"
                                  "\\s*<PI>[^<]*</PI>\\s*<End>([^<]*)</End>";
    const std::string arcCentre =
        "<Curve staStart=\"1200.000000\"[^>]*>\\s*<Start>[^<]*</Start>\\s*<Center>([^<]*)<";
    const std::vector<Fault> faults = {
        // The spiral still evaluates right from its start: only its End disagrees.
        {"spiral End 5 cm north", spiralEnd, Moved(0.05, 0), 0.01, 0.01, "right curve",
         ProofCheck::ElementEnd, 1200, 1200, 0.05 - 1e-6, 0.05 + 1e-6, 1,
         "alignment \"right curve\", chainage 1+200.000: element ends deviation 0.050000 m over "
         "the tolerance 0.010000 m"},
        // The wrong way round runs the long side of the circle.
        {"ccw arc made cw", "<Curve staStart=\"[0-9.]+\" rot=\"(ccw)\"", Becomes("cw"), 0.01, 0.01,
         "left curve across north", ProofCheck::Plan, 130, 310, 1, 1e9, 2, ": plan deviation"},
        // A centre moved 1 cm (6 mm, 8 mm) off bends the arc away from its
        // End by up to the move and the change of radius it makes.
        {"arc centre 1 cm off", arcCentre, Moved(0.006, 0.008), 0.005, 0.01, "right curve",
         ProofCheck::ElementEnd, 1200, 1350, 0.005, 0.0201, 2, "over the tolerance 0.005000 m"},
        // The grades on both sides of the vertex rise with it.
        {"PVI 5 mm up", "<PVI>2650\\.250000 ([^<]*)<", Raised(0.005), 0.01, 0.002,
         "right curve across north", ProofCheck::Height, 2650.25, 2650.25, 0.005 - 1e-6,
         0.005 + 1e-6, 0, "chainage 2+650.250: height deviation 0.005000 m"},
    };
    for (const Fault &fault : faults) {
        SCOPED_TRACE(fault.What);
        const ProofReport report = ProveText(Edited(text, fault.Pattern, fault.Change), design,
                                             {fault.PlanTolerance, fault.HeightTolerance, "m"});
        ASSERT_FALSE(report.Passed);
        for (const ProofFailure &f : report.Failures)
            EXPECT_EQ(f.Alignment, fault.Alignment) << ProofFailureText(f, "m");
        const auto found = std::ranges::find(report.Failures, fault.Check, &ProofFailure::Check);
        ASSERT_NE(found, report.Failures.end()) << ProofFailureText(report.Failures.front(), "m");
        const ProofFailure &f = *found;
        EXPECT_GE(f.Chainage, fault.From - 1e-9);
        EXPECT_LE(f.Chainage, fault.To + 1e-9);
        EXPECT_GE(f.Value, fault.Least);
        EXPECT_LE(f.Value, fault.Most);
        EXPECT_THAT(ProofFailureText(f, "m"), HasSubstr(fault.Message));
        const auto a = std::ranges::find(report.Alignments, f.Alignment, &AlignmentProof::Name);
        ASSERT_NE(a, report.Alignments.end());
        if (fault.Check == ProofCheck::Height) {
            ASSERT_FALSE(a->FailedHeightRanges.empty());
            EXPECT_LE(a->FailedHeightRanges.front().first, f.Chainage);
            EXPECT_GE(a->FailedHeightRanges.front().second, f.Chainage);
        } else {
            EXPECT_THAT(a->FailedElements, ::testing::Contains(fault.Element));
        }
    }
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
    ProofReport report = ProveText(written, listed);
    ASSERT_TRUE(report.Passed) << ProofFailureText(report.Failures.front(), "m");
    EXPECT_NEAR(report.Alignments[0].ImportedGap.Value, 0.003, 1e-5);
    EXPECT_NEAR(report.Alignments[0].ImportedGap.Chainage, 1120, 1e-9);
    EXPECT_LT(report.Alignments[0].Plan.Value, kRounding);
    EXPECT_LT(report.Alignments[0].ElementEnd.Value, kRounding);

    // The first line's End moved 2 cm further is caught all the same.
    report = ProveText(Edited(written,
                              "<Line staStart=\"1000.000000\">\\s*<Start>[^<]*</Start>\\s*"
                              "<End>([^<]*)</End>",
                              Moved(0.02, 0)),
                       listed);
    ASSERT_FALSE(report.Passed);
    EXPECT_NEAR(report.Failures.front().Chainage, 1120, 1e-9);
    EXPECT_GT(report.Failures.front().Value, 0.015);
}

TEST_F(Proof, RefusesADocumentThatDoesNotHoldWhatWasWritten) {
    ImportedDesign renamed = design, withoutProfile = design;
    renamed.Alignments[3].Name = "other";
    withoutProfile.Alignments[0].Vt.clear();
    WriteFileBytes(dir / "broken.xml", text.substr(0, text.size() / 2));
    struct Case {
        ProofReport Report;
        const char *Message;
    };
    const Case cases[] = {
        {ProveText(text, ImportedDesign{{design.Alignments.front()}}),
         "the document holds 9 alignments, 1 were written"},
        {ProveText(text, renamed), "alignment 4 should be \"other\""},
        {ProveText(text, withoutProfile), "the document holds a profile that was not imported"},
        {ProveText(Edited(text, "(<Profile>[\\s\\S]*?</Profile>)", Becomes("")), design),
         "the document holds no profile"},
        // An element said to run a thousand kilometres is not followed metre by metre.
        {ProveText(Edited(text, "<Spiral staStart=\"([0-9.]+)\"", Becomes("3000000.000000")),
                   design),
         "the alignment runs, at the element of chainage 1+000.000, longer than 1000000 m"},
        {ProveDocumentFile(dir / "broken.xml", design, {}),
         "the written document cannot be read back: not well-formed"},
        {ProveDocumentFile(dir / "absent.xml", design, {}),
         "the written document cannot be read back: cannot read"},
        {ProveDocumentFile(dir.Path(), design, {}),
         "the written document cannot be read back: cannot read"},
    };
    for (const Case &c : cases) {
        ASSERT_FALSE(c.Report.Passed) << c.Message;
        EXPECT_EQ(c.Report.Failures.front().Check, ProofCheck::Document);
        EXPECT_THAT(ProofFailureText(c.Report.Failures.front(), "m"), HasSubstr(c.Message));
    }
    EXPECT_EQ(cases[5].Report.Document, nullptr);
}

TEST(ChainageText, KilometresAndMetres) {
    EXPECT_EQ(ChainageText(12345.6784), "12+345.678");
    EXPECT_EQ(ChainageText(999.9996), "1+000.000");
    EXPECT_EQ(ChainageText(5.5), "0+005.500");
    EXPECT_EQ(ChainageText(-10), "-0+010.000");
    EXPECT_EQ(ChainageText(kNullValue), "-");
}

namespace {

// Every figure and failure of the report as text.
std::string Dump(const ProofReport &report) {
    std::ostringstream out;
    out.precision(17);
    out << report.Ran << report.Passed << "\n";
    for (const ProofFailure &f : report.Failures)
        out << ProofFailureText(f, "m") << "\n";
    for (const AlignmentProof &a : report.Alignments) {
        out << a.Name;
        for (const Deviation *d : {&a.Plan, &a.Height, &a.ElementEnd, &a.RailSpread, &a.RailHeight,
                                   &a.SectionOffset, &a.SectionHeight, &a.ImportedGap})
            out << " " << d->Value << "@" << d->Chainage;
        out << " " << a.PlanSamples << " " << a.HeightSamples << " " << a.RailPairs << " "
            << a.SectionPoints << " |";
        for (const std::size_t k : a.FailedElements)
            out << " " << k;
        out << " |";
        for (const auto &[from, to] : a.FailedHeightRanges)
            out << " " << from << "-" << to;
        out << " |";
        for (const std::size_t k : a.FailedCrossSects)
            out << " " << k;
        out << "\n";
    }
    return out.str();
}

// Faults planted in the cross sections the export would write.
struct Plant {
    double RaiseAt = -1;     // the crown point 2 cm higher at this station
    double DropLayerAt = -1; // "Taludes" left out at this station
    double DropStation = -1; // the station left out
    double WideRailsAt = -1; // the rails 2 cm too far apart at this station
    double ThirdRailAt = -1; // a third rail point at this station
    bool NoRails = false;    // no station has its rails
    double CantEndsAt = -1;  // the cant table ends short, here
};

// One straight alignment of 100 m at a grade of 1 %, with rails on a cant
// growing 1 mm a metre (left rail raised), and cross sections every 10 m of
// two layers, rising 0.1 m a station.
class ProofTrack : public ::testing::Test {
  protected:
    void SetUp() override {
        AppModel().Reset();
        alignment.Name = "track";
        alignment.Hz = BuildFixtureAlignment(FixtureSteps("track", 0, 1000, 2000, 0, {{100, 0}}));
        alignment.Vt = MakeOneBased<VtElement>(0);
        alignment.Vt.push_back(VtAt(0, 50, 0.01, 0, 100));
        alignment.Rails = ImportedRails{kGauge, kBase,
                                        [](double c) {
                                            return RailDesign{c >= 0, 0.001 * c, 0, 0, false};
                                        },
                                        alignment.Vt};
        set.Layers = {{"Rasante", {}}, {"Taludes", {}}};
        for (int k = 0; k <= 10; ++k) {
            CrossSection &station = set.Stations.emplace_back(CrossSection{
                10.0 * k,
                {{0, Points("-3.5,50 0,50.07 3.5,50"), false}, {1, Points("-8,49 8,49"), false}}});
            for (CrSecSurface &surface : station.Surfaces)
                for (CrSecPoint &p : surface.Points)
                    p.Height += 0.1 * k;
        }
        // A copy the rules added is not an imported point: it is never written.
        set.Stations[2].Surfaces[0].Points.push_back(Points("5,49.5*")[0]);
        written = WriteDocument(dir / "plain.xml", ImportedDesign{{alignment}});
    }

    static std::string Surface(const std::string &name, const std::string &points) {
        return "<CrossSectSurf name=\"" + name + "\"><PntList2D>" + points.substr(1) +
               "</PntList2D></CrossSectSurf>\n";
    }
    static std::string Pair(double offset, double height) {
        return " " + FormatDecimals(offset, 6) + " " + FormatDecimals(height, 6);
    }

    // The cross sections as the export writes them, with the planted faults.
    std::string Sects(const Plant &plant) const {
        std::string text = "<CrossSects>\n";
        for (const CrossSection &station : set.Stations) {
            const double c = station.Chainage;
            if (c == plant.DropStation)
                continue;
            text += "<CrossSect sta=\"" + FormatDecimals(c, 6) + "\">\n";
            for (const CrSecSurface &surface : station.Surfaces) {
                std::string points;
                for (const CrSecPoint &p : surface.Points)
                    if (!p.IsCopy)
                        points += Pair(p.Offset,
                                       p.Height + (c == plant.RaiseAt && p.Offset == 0 ? 0.02 : 0));
                if (surface.Layer == 0 || c != plant.DropLayerAt)
                    text += Surface(set.Layers[surface.Layer].Name, points);
            }
            const double cant = 0.001 * c, h = 50 + 0.01 * c;
            const double half = 0.5 * kGauge * std::sqrt(kBase * kBase - cant * cant) / kBase;
            if (!plant.NoRails)
                text += Surface("Rails", Pair(-half, h + cant) +
                                             Pair(half + (c == plant.WideRailsAt ? 0.02 : 0), h) +
                                             (c == plant.ThirdRailAt ? Pair(0, h) : ""));
            text += "</CrossSect>\n";
        }
        return text + "</CrossSects>\n";
    }

    static constexpr double kGauge = 1.435, kBase = 1.5;
    RecordingUi ui;
    TempDir dir;
    CrossSectionSet set;
    ImportedAlignment alignment;
    std::string written;
};

} // namespace

// Each rail pair is spread G sqrt(B^2 - c^2) / B across the cant c, the right
// rail on the profile; every imported point of a written station stands in
// the surface of its layer. The cross sections compared as they are read, in
// any block size, give the report the whole records give.
TEST_F(ProofTrack, CatchesEachCrossSectionFaultWholeAndByParts) {
    using Indices = std::vector<std::size_t>;
    struct Case {
        const char *Name;
        Plant Planted;
        Indices FailedSects; // of the written cross sections
        long RailPairs, SectionPoints;
        std::string Failure;        // the first failure's text; "" passes
        std::string Selection = ""; // the layers imported ("": all)
        double From = 0, To = 100;  // the chainage range imported
    };
    const std::vector<Case> cases = {
        {"as written", Plant{}, Indices{}, 11, 55, ""},
        {"raised point", Plant{.RaiseAt = 50}, Indices{5}, 11, 55,
         "alignment \"track\", chainage 0+050.000: cross-section heights deviation 0.020000 m"},
        {"dropped layer", Plant{.DropLayerAt = 70}, Indices{7}, 11, 53,
         "the cross section at chainage 0+070.000 has no points of layer \"Taludes\""},
        {"dropped station", Plant{.DropStation = 30}, Indices{}, 10, 50,
         "the cross section at chainage 0+030.000 is missing from the document"},
        {"wide rails", Plant{.WideRailsAt = 40}, Indices{4}, 11, 55,
         "alignment \"track\", chainage 0+040.000: rail spread deviation 0.020000 m"},
        {"no rails", Plant{.NoRails = true}, Indices{}, 0, 55, "the document holds no rails"},
        {"three rail points", Plant{.ThirdRailAt = 60}, Indices{6}, 10, 55,
         "the rails at chainage 0+060.000 are not one pair of points"},
        {"rails beyond the cant table", Plant{.CantEndsAt = 95}, Indices{10}, 10, 55,
         "rails are written at chainage 0+100.000, where the cant table gives no cant"},
        {"all at once",
         Plant{.RaiseAt = 100, .DropLayerAt = 20, .DropStation = 0, .WideRailsAt = 90},
         Indices{1, 8, 9}, 10, 48, "chainage 0+090.000: rail spread deviation"},
        {"a layer left out of the selection is not looked for", Plant{.DropLayerAt = 70}, Indices{},
         11, 33, "", "Rasante$"},
        {"a station beyond the range is not looked for", Plant{.DropStation = 40}, Indices{}, 10,
         15, "", "", 10, 30},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        alignment.CrossSections = ImportedCrossSectionsOf(set, c.Selection, c.From, c.To);
        ImportedDesign design{{alignment}};
        if (c.Planted.CantEndsAt >= 0)
            design.Alignments[0].Rails->At = [end = c.Planted.CantEndsAt](double at) {
                return RailDesign{at <= end, 0.001 * at, 0, 0, false};
            };
        std::string text = written;
        text.insert(text.find("\t\t</Alignment>"), Sects(c.Planted));
        WriteFileBytes(dir / "doc.xml", text);

        const ProofReport whole = ProveText(text, design);
        ASSERT_EQ(whole.Passed, c.Failure.empty()) << Dump(whole);
        if (!c.Failure.empty()) {
            EXPECT_THAT(ProofFailureText(whole.Failures.front(), "m"), HasSubstr(c.Failure));
        }
        const AlignmentProof &a = whole.Alignments.at(0);
        EXPECT_THAT(a.FailedCrossSects, ::testing::UnorderedElementsAreArray(c.FailedSects));
        EXPECT_EQ(a.RailPairs, c.RailPairs);
        EXPECT_EQ(a.SectionPoints, c.SectionPoints);
        if (whole.Passed) {
            for (const Deviation *d :
                 {&a.RailSpread, &a.RailHeight, &a.SectionOffset, &a.SectionHeight})
                EXPECT_LT(d->Value, kRounding);
        }
        for (const std::size_t block : kBlocks) {
            const ProofReport parts = ProveDocumentFile(dir / "doc.xml", design, {}, false, block);
            EXPECT_EQ(Dump(parts), Dump(whole)) << "block " << block;
            EXPECT_EQ(parts.Document, nullptr);
        }
        const ProofReport kept = ProveDocumentFile(dir / "doc.xml", design, {}, true);
        EXPECT_EQ(Dump(kept), Dump(whole));
        ASSERT_NE(kept.Document, nullptr);
        EXPECT_EQ(Dump(*kept.Document), Dump(*whole.Document));
    }
}
