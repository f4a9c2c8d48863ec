// The document read part by part: any block size, down to one byte (every
// tag and number split between blocks), gives the same records as the
// default; a broken cross section is refused with its reason and line
// whatever the block; and the proof that compares the cross sections as they
// are read reports exactly what the proof of the whole records reports.
#include "verify/DocumentReader.h"
#include "verify/Proof.h"

#include "landxml/LandXmlAlignment.h"
#include "landxml/LandXmlHead.h"
#include "landxml/LandXmlProfile.h"
#include "landxml/LandXmlWriter.h"
#include "shell/AppModel.h"
#include "support/AlignmentFixtures.h"
#include "support/ElementBuilders.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

using namespace vialto;
using namespace vialto::test;

namespace {

// Blocks of one byte, of a prime size that lands anywhere, and the default.
const std::vector<std::size_t> kBlocks = {1, 97, kReadBackBlockBytes};

// Every record of the document as text, for comparing two readings.
std::string Dump(const ReadBackDocument &doc) {
    std::ostringstream out;
    out.precision(17);
    out << doc.LinearUnit << " " << doc.Extended << "\n";
    for (const DocAlignment &a : doc.Alignments) {
        out << "A " << a.Name << " " << a.Length << " " << a.StaStart << " " << a.SourceLine
            << "\n";
        for (const DocElement &e : a.Elements)
            out << " E " << int(e.Kind) << " " << e.SourceLine << " " << e.StaStart << " "
                << e.Length << " " << e.Start.X << " " << e.Start.Y << " " << e.End.X << " "
                << e.End.Y << " " << e.Center.X << " " << e.PI.Y << " " << e.Clockwise << " "
                << e.Radius << " " << e.RadiusStart << " " << e.RadiusEnd << " " << e.Constant
                << " " << int(e.SpiralType) << " " << e.Desc << "\n";
        for (const DocStaEquation &q : a.StaEquations)
            out << " Q " << q.Ahead << " " << q.Back << " " << q.Internal << "\n";
        for (const DocProfAlign &p : a.Profile) {
            out << " P " << p.Name << "\n";
            for (const DocPvi &v : p.Points)
                out << "  V " << v.Station << " " << v.Elevation << " " << int(v.Curve) << " "
                    << v.CurveLength << " " << v.CurveRadius << " " << v.SourceLine << "\n";
        }
        for (const DocCrossSect &c : a.CrossSects) {
            out << " C " << c.Station << " " << c.Name << " " << c.SourceLine << "\n";
            for (const DocSurface &s : c.Surfaces) {
                out << "  S " << s.Name << " [" << s.VertexNameList << "]";
                for (const DocSectionPoint &p : s.Points)
                    out << " " << p.Offset << " " << p.Height;
                out << "\n";
            }
        }
        for (const double t : a.TunnelProfileStations)
            out << " T " << t << "\n";
    }
    for (const DocStringlineLayer &l : doc.StringlineLayers) {
        out << "L " << l.Name << " " << l.CentreLine << " " << l.Sorted;
        for (const std::string &s : l.Stringlines)
            out << " " << s;
        out << " /";
        for (const std::string &s : l.Excluded)
            out << " " << s;
        out << "\n";
    }
    return out.str();
}

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

TEST(ReadByParts, EveryGoldenDocumentReadsAlikeInAnyBlockSize) {
    for (const char *folder :
         {"tests/landxml/golden", "tests/crosssection/golden", "tests/batch/golden"}) {
        for (const auto &entry : std::filesystem::directory_iterator(SourcePath(folder))) {
            if (entry.path().extension() != ".xml")
                continue;
            SCOPED_TRACE(entry.path().string());
            std::string whole;
            for (const std::size_t block : kBlocks) {
                ReadBackDocument doc;
                std::string failure;
                ASSERT_TRUE(ReadLandXmlDocument(entry.path(), doc, failure, block)) << failure;
                if (whole.empty())
                    whole = Dump(doc);
                else
                    EXPECT_EQ(Dump(doc), whole) << "block " << block;
            }
        }
    }
}

// Markup the reader steps over to find the cross sections: a comment, CDATA
// and an instruction holding what looks like one, a '>' inside an attribute
// value, an element named alike.
TEST(ReadByParts, FindsTheCrossSectionsPastLookAlikes) {
    const std::string text =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE LandXML [ <!ELEMENT x ANY> ]>\n"
        "<LandXML><Alignments><!-- <CrossSect sta=\"9\"> -->\n"
        "<Alignment name=\"a&gt;b\" desc=\"x > y\"><?pi <CrossSect?><CoordGeom/>\n"
        "<CrossSects><![CDATA[<CrossSect sta=\"8\">]]>\n<CrossSectsNote/>"
        "<CrossSect sta=\"1\" name=\"one\"><CrossSectSurf name=\"S&amp;T\"><PntList2D>\n"
        "1 2 3 4</PntList2D></CrossSectSurf></CrossSect >\n<CrossSect sta=\"2\"/>"
        "</CrossSects></Alignment></Alignments></LandXML>\n";
    for (const std::size_t block : kBlocks) {
        std::string copy = text;
        ReadBackDocument doc;
        std::string failure;
        ASSERT_TRUE(ParseLandXmlDocument(copy, doc, failure, block)) << failure;
        ASSERT_EQ(doc.Alignments.size(), 1u);
        EXPECT_EQ(doc.Alignments[0].Name, "a>b");
        const std::vector<DocCrossSect> &sects = doc.Alignments[0].CrossSects;
        ASSERT_EQ(sects.size(), 2u) << "block " << block;
        EXPECT_EQ(sects[0].Name, "one");
        EXPECT_EQ(sects[0].SourceLine, 6);
        ASSERT_EQ(sects[0].Surfaces.size(), 1u);
        EXPECT_EQ(sects[0].Surfaces[0].Name, "S&T");
        EXPECT_EQ(sects[0].Surfaces[0].Points.size(), 2u);
        EXPECT_EQ(sects[1].Station, 2);
        EXPECT_EQ(sects[1].SourceLine, 8);
    }
}

TEST(ReadByParts, RefusesABrokenCrossSectionWithItsLineInAnyBlockSize) {
    const std::string head = "<LandXML>\n<Alignments>\n<Alignment name=\"A\">\n<CrossSects>\n"
                             "<CrossSect sta=\"1\"/>\n";
    const std::string tail = "</CrossSects>\n</Alignment>\n</Alignments>\n</LandXML>\n";
    struct Case {
        std::string Sects;
        std::string Failure;
    };
    const std::vector<Case> cases = {
        {"<CrossSect sta=\"2\">\n<CrossSectSurf name=\"S\"><PntList2D>1 x</PntList2D>"
         "</CrossSectSurf></CrossSect>\n",
         "<PntList2D>: \"x\" is not a number (line 7)"},
        {"<CrossSect sta=\"2\">\n\n<CrossSectSurf></CrossSect>\n",
         "not well-formed XML: Start-end tags mismatch at line 8"},
        {"<CrossSect>\n</CrossSect>\n", "<CrossSect> has no sta attribute (line 6)"},
        {"<CrossSect sta=\"2\">\n<CrossSectSurf name=\"S\"><PntList2D>1 2 3</PntList2D>"
         "</CrossSectSurf></CrossSect>\n",
         "holds an odd count of numbers (offset height pairs) (line 7)"},
    };
    for (const Case &c : cases)
        for (const std::size_t block : kBlocks) {
            std::string text = head + c.Sects + tail;
            ReadBackDocument doc;
            std::string failure;
            EXPECT_FALSE(ParseLandXmlDocument(text, doc, failure, block));
            EXPECT_THAT(failure, ::testing::HasSubstr(c.Failure)) << "block " << block;
            EXPECT_TRUE(doc.Alignments.empty());
        }
    // A cross section that is never closed: the rest of the document is not
    // well-formed.
    for (const std::size_t block : kBlocks) {
        std::string text = head + "<CrossSect sta=\"2\">\n<CrossSectSurf/>\n";
        ReadBackDocument doc;
        std::string failure;
        EXPECT_FALSE(ParseLandXmlDocument(text, doc, failure, block));
        EXPECT_THAT(failure, ::testing::HasSubstr("not well-formed XML")) << "block " << block;
    }
}

// One straight alignment of 100 m at a grade of 1 %, with rails and two
// layers of cross sections every 10 m.
class ProofByParts : public ::testing::Test {
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
            CrossSection station{10.0 * k, {}};
            auto point = [&](double offset, double height) {
                CrSecPoint p;
                p.Offset = offset;
                p.Height = height + 0.1 * k;
                return p;
            };
            station.Surfaces.push_back({0, {point(-3.5, 50), point(0, 50.07), point(3.5, 50)}});
            station.Surfaces.push_back({1, {point(-8, 49), point(8, 49)}});
            set.Stations.push_back(station);
        }
        alignment.CrossSections = ImportedCrossSectionsOf(set, "", 0, 100);

        SetOutputFile((dir / "plain.xml").string());
        const HzAlignment &hz = alignment.Hz;
        double first = 0, last = 0;
        bool ok = TagLandXML(false) && TagApplication("tester") && TagProject("proof", "") &&
                  TagUnits(3) && TagAlignments(false) &&
                  TagAlignment(false, alignment.Name, 0, 100) && TagCoordGeom(false) &&
                  TagCoordGeomRegular(hz, kNullValue, kNullValue, first, last) &&
                  TagCoordGeom(true) && TagProfile(false) &&
                  TagProfAlign(first, last, alignment.Name, alignment.Vt, kNullValue, kNullValue) &&
                  TagProfile(true) && TagAlignment(true) && TagAlignments(true);
        ok = TagLandXML(true) && ok;
        CloseFile();
        ASSERT_TRUE(ok && CommitOutput());
        written = ReadFileBytes(dir / "plain.xml");
        SetOutputFile("");
    }

    // The cross sections as the export writes them, with the changes the
    // case plants.
    struct Plant {
        double RaiseAt = -1;     // a point 2 cm higher at this station
        double DropLayerAt = -1; // "Taludes" left out at this station
        double DropStation = -1; // the station left out
        double WideRailsAt = -1; // the rails 2 cm too far apart at this station
    };
    std::string Sects(const Plant &plant) const {
        std::string text = "<CrossSects>\n";
        for (const CrossSection &station : set.Stations) {
            const double c = station.Chainage;
            if (c == plant.DropStation)
                continue;
            text += "<CrossSect sta=\"" + FormatDecimals(c, 6) + "\">\n";
            for (const CrSecSurface &surface : station.Surfaces) {
                if (surface.Layer == 1 && c == plant.DropLayerAt)
                    continue;
                text +=
                    "<CrossSectSurf name=\"" + set.Layers[surface.Layer].Name + "\"><PntList2D>";
                for (const CrSecPoint &p : surface.Points)
                    text += FormatDecimals(p.Offset, 6) + " " +
                            FormatDecimals(
                                p.Height + (c == plant.RaiseAt && p.Offset == 0 ? 0.02 : 0), 6) +
                            " ";
                text.back() = '<';
                text += "/PntList2D></CrossSectSurf>\n";
            }
            const double cant = 0.001 * c, h = 50 + 0.01 * c;
            const double half = 0.5 * kGauge * std::sqrt(kBase * kBase - cant * cant) / kBase;
            text += "<CrossSectSurf name=\"Rails\"><PntList2D>" + FormatDecimals(-half, 6) + " " +
                    FormatDecimals(h + cant, 6) + " " +
                    FormatDecimals(half + (c == plant.WideRailsAt ? 0.02 : 0), 6) + " " +
                    FormatDecimals(h, 6) + "</PntList2D></CrossSectSurf>\n</CrossSect>\n";
        }
        return text + "</CrossSects>\n";
    }

    static constexpr double kGauge = 1.435, kBase = 1.5;
    RecordingUi ui;
    TempDir dir;
    CrossSectionSet set;
    ImportedAlignment alignment;
    std::string written;
    ProofTolerances tolerances;
};

TEST_F(ProofByParts, ReportsWhatTheProofOfTheWholeRecordsReports) {
    struct Case {
        const char *Name;
        Plant Planted;
        std::string Failure; // "" passes
    };
    const std::vector<Case> cases = {
        {"as written", {}, ""},
        {"raised point",
         {.RaiseAt = 50},
         "chainage 0+050.000: cross-section heights deviation 0.020000 m"},
        {"dropped layer",
         {.DropLayerAt = 70},
         "the cross section at chainage 0+070.000 has no points of layer \"Taludes\""},
        {"dropped station",
         {.DropStation = 30},
         "the cross section at chainage 0+030.000 is missing from the document"},
        {"wide rails", {.WideRailsAt = 40}, "chainage 0+040.000: rail spread deviation 0.020000 m"},
        {"all at once",
         {.RaiseAt = 100, .DropLayerAt = 20, .DropStation = 0, .WideRailsAt = 90},
         "chainage 0+090.000: rail spread deviation"},
    };
    const ImportedDesign design{{alignment}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        std::string text = written;
        text.insert(text.find("\t\t</Alignment>"), Sects(c.Planted));
        WriteFileBytes(dir / "doc.xml", text);

        auto records = std::make_shared<ReadBackDocument>();
        std::string failure;
        ASSERT_TRUE(ParseLandXmlDocument(text, *records, failure)) << failure;
        const ProofReport whole = ProveDocument(records, design, tolerances);
        EXPECT_EQ(whole.Passed, c.Failure.empty());
        if (!c.Failure.empty()) {
            ASSERT_FALSE(whole.Failures.empty());
            EXPECT_THAT(ProofFailureText(whole.Failures.front(), "m"),
                        ::testing::HasSubstr(c.Failure));
        }
        EXPECT_EQ(whole.Alignments.at(0).RailPairs, 11 - (c.Planted.DropStation >= 0));
        for (const std::size_t block : kBlocks) {
            const ProofReport parts =
                ProveDocumentFile(dir / "doc.xml", design, tolerances, false, block);
            EXPECT_EQ(Dump(parts), Dump(whole)) << "block " << block;
            EXPECT_EQ(parts.Document, nullptr);
        }
        const ProofReport kept = ProveDocumentFile(dir / "doc.xml", design, tolerances, true);
        EXPECT_EQ(Dump(kept), Dump(whole));
        ASSERT_NE(kept.Document, nullptr);
        EXPECT_EQ(Dump(*kept.Document), Dump(*records));
    }
}

} // namespace
