// Byte-exact golden documents of small alignments, every figure point checked
// against the fixtures' integrated geometry (not the geometry module's series).
#include "landxml/LandXmlAlignment.h"
#include "landxml/LandXmlFixture.h"
#include "landxml/LandXmlProfile.h"
#include "support/AlignmentFixtures.h"

#include <pugixml.hpp>

#include <cmath>

namespace vialto::test {
namespace {

using ::testing::HasSubstr;

constexpr double kDocTol = 3e-6; // figure points are written with 6 decimals

// A figure point of a block (northing first).
FixturePose ReadFigure(const pugi::xml_node &block, const char *name) {
    FixturePose f;
    std::sscanf(block.child_value(name), "%lf %lf", &f.Y, &f.X);
    return f;
}

// The PI lies on the tangent through p with azimuth az, ahead of p or behind it.
void ExpectOnTangent(const FixturePose &pi, const FixturePose &p, double az, bool ahead) {
    const double dx = pi.X - p.X, dy = pi.Y - p.Y;
    EXPECT_NEAR(dx * std::cos(az) - dy * std::sin(az), 0, kDocTol);
    EXPECT_GT((ahead ? 1 : -1) * (dx * std::sin(az) + dy * std::cos(az)), 0);
}

// Every block of the written geometry against the layout: its ends where the
// layout is at its staStart and at the next block's (or the alignment's end),
// each end written as the next block's start, a Curve's ends on its circle, a
// Spiral's PI on both tangents.
void ExpectBlocksOnLayout(const pugi::xml_document &doc, const FixtureLayout &layout) {
    const pugi::xml_node alignment = doc.child("LandXML").child("Alignments").child("Alignment");
    const double end =
        alignment.attribute("staStart").as_double() + alignment.attribute("length").as_double();
    for (pugi::xml_node b = alignment.child("CoordGeom").first_child(); b; b = b.next_sibling()) {
        SCOPED_TRACE(std::string(b.name()) + " at " + b.attribute("staStart").value());
        const pugi::xml_node next = b.next_sibling();
        const double from = b.attribute("staStart").as_double();
        const double to = next ? next.attribute("staStart").as_double() : end;
        const FixturePose p0 = FixturePoseAt(layout, from);
        const FixturePose p1 = FixturePoseAt(layout, to);
        const FixturePose start = ReadFigure(b, "Start"), finish = ReadFigure(b, "End");
        EXPECT_LT(std::hypot(start.X - p0.X, start.Y - p0.Y), kDocTol);
        EXPECT_LT(std::hypot(finish.X - p1.X, finish.Y - p1.Y), kDocTol);
        if (next) {
            EXPECT_STREQ(b.child_value("End"), next.child_value("Start"));
        }
        const std::string tag = b.name();
        if (tag == "Curve") {
            const FixturePose c = ReadFigure(b, "Center");
            const double r = b.attribute("radius").as_double();
            EXPECT_NEAR(std::hypot(start.X - c.X, start.Y - c.Y), r, kDocTol);
            EXPECT_NEAR(std::hypot(finish.X - c.X, finish.Y - c.Y), r, kDocTol);
        } else if (tag == "Spiral") {
            ExpectOnTangent(ReadFigure(b, "PI"), start, p0.Azimuth, true);
            ExpectOnTangent(ReadFigure(b, "PI"), finish, p1.Azimuth, false);
        }
    }
}

class AlignmentDocument : public LandXmlFixture {
  protected:
    // Writes the alignment (with a profile and station equations when given)
    // in a document and reads it back into `doc`.
    std::string Write(const HzAlignment &hz, const VtAlignment *vt = nullptr,
                      const StationEquations *equations = nullptr) {
        BeginDocument();
        const long n = ElementCount(hz);
        const double start = hz[1].Chainage;
        const double end = hz[n].Chainage + hz[n].Length;
        EXPECT_TRUE(TagAlignments(false) && TagAlignment(false, "Eje 1", start, end) &&
                    TagCoordGeom(false) &&
                    TagCoordGeomRegular(hz, kNullValue, kNullValue, first, last) &&
                    TagCoordGeom(true));
        EXPECT_EQ(first, start);
        EXPECT_NEAR(last, end, 1e-9);
        EXPECT_TRUE(!equations || TagStaEquation(*equations));
        EXPECT_TRUE(!vt || (TagProfile(false) &&
                            TagProfAlign(vtFirst, vtLast, "Eje 1", *vt, kNullValue, kNullValue) &&
                            TagProfile(true)));
        EXPECT_TRUE(TagAlignment(true) && TagAlignments(true));
        const std::string written = FinishDocument();
        EXPECT_TRUE(doc.load_string(written.c_str()));
        return written;
    }

    double first = 0, last = 0, vtFirst = 0, vtLast = 0;
    pugi::xml_document doc;
};

// line - clothoid (A 100) - arc R250 - clothoid - line, turning right.
const FixtureLayout kRightTurn = FixtureSteps("right turn", 0, 1000, 5000, 0.3,
                                              {{100, 0}, {40, 250}, {60, 250}, {40, 0}, {50, 0}});

struct GoldenCase {
    const char *Golden;
    FixtureLayout Layout;
    bool Extended;
    const char *Mark = ""; // a hand-worked part of the document
};

class AlignmentGolden : public AlignmentDocument,
                        public ::testing::WithParamInterface<GoldenCase> {};

TEST_P(AlignmentGolden, WrittenGeometryIsByteExactAndOnTheLayout) {
    const GoldenCase &c = GetParam();
    AppModel().IsOstXML = c.Extended;
    const std::string written = Write(BuildFixtureAlignment(c.Layout));
    ExpectGolden(c.Golden, written);
    ExpectBlocksOnLayout(doc, c.Layout);
    EXPECT_THAT(written, HasSubstr(c.Mark));
}

// A clothoid turning 2 rad (A 100, R 50 at the sharp end) is split at the mean
// tangent angle, 1 rad, found sqrt(2) A = 141.421356 from its straight end: the
// first piece is the long one when the curvature grows, the short one when it
// falls. The extended flavour mirrors the alignment tags only.
const FixtureLayout kShortArc{
    "short arc", 0, 0, 0, 1.0, {{10, 0, 0}, {0.0005, -100, -100}, {12.5, -100, -100}, {10, 0, 0}}};
const FixtureLayout kFalling{"falling", 0, 0, 0, 0, {{10, 0, 0}, {30, 50, 50}, {200, 50, 0}}};

INSTANTIATE_TEST_SUITE_P(
    Documents, AlignmentGolden,
    ::testing::Values(GoldenCase{"alignment_line_spiral_arc.xml", kRightTurn, false},
                      GoldenCase{"alignment_extended.xml", kRightTurn, true},
                      GoldenCase{"alignment_short_arc.xml", kShortArc, false},
                      GoldenCase{
                          "alignment_split_spiral.xml",
                          FixtureSteps("split", 0, 200, 300, 5.5, {{20, 0}, {200, -50}, {30, -50}}),
                          false, "staStart=\"161.421356\""},
                      GoldenCase{"alignment_split_spiral_falling.xml", kFalling, false,
                                 "staStart=\"98.578644\""}));

// A cubic parabola of L 60 into R 300 after a line; the arc after it starts at
// the tangent offset y = x^3 / (6 R L) (1 + 3 L^2 / (64 R^2)), turned by atan(y').
TEST_F(AlignmentDocument, CubicTransition) {
    const FixtureLayout line = FixtureSteps("line", 0, 500, 500, 2.0, {{100, 0}});
    const FixturePose p = FixturePoseAt(line, 100);
    const double k = 1 + 3 * 60.0 * 60 / (64 * 300.0 * 300);
    const double y = 60.0 * 60 / (6 * 300) * k;
    const FixtureLayout after{"after",
                              160,
                              p.X + 60 * std::sin(p.Azimuth) + y * std::cos(p.Azimuth),
                              p.Y + 60 * std::cos(p.Azimuth) - y * std::sin(p.Azimuth),
                              p.Azimuth + std::atan(60.0 / (2 * 300) * k),
                              {{50, 300, 300}, {30, 0, 0}}};
    HzAlignment hz = BuildFixtureAlignment(line);
    hz.push_back({2, 100, p.X, p.Y, hz[1].Azimuth, 300, -60, 60, 0, {}}); // A = -L: cubic
    for (HzElement e : BuildFixtureAlignment(after))
        if (e.Number > 0) {
            e.Number += 2;
            hz.push_back(e);
        }
    const std::string written = Write(hz);
    ExpectGolden("alignment_cubic.xml", written);
    EXPECT_THAT(written, HasSubstr("radiusEnd=\"300.000000\" rot=\"cw\" spiType=\"cubic\">"));
}

TEST_F(AlignmentDocument, ProfileWithParabolaCircleAndAPointWithoutHeight) {
    // Grades: 2 % into a sag parabola (Kv 4000, 80 m) to 4 %, a crest circle
    // (R 5000, 100 m) back to 2 %, a point without height, a level grade.
    VtAlignment vt = MakeOneBased<VtElement>(0);
    for (const auto &[ch, h, g, p, l] : {std::array<double, 5>{0, 100, 0.02, 0, 100},
                                         {100, 102, 0.02, 4000, 80},
                                         {180, 104.4, 0.04, 0, 120},
                                         {300, 109.2, 0.04, -5000, -100},
                                         {400, 112.2, 0.02, 0, 100},
                                         {500, -999, 0, 0, 50},
                                         {550, 120, 0, 0, 50}}) {
        vt.push_back({static_cast<long>(vt.size()), ch, h, g, 0, p, l});
    }
    StationEquations equations = MakeOneBased<StationEquation>(1);
    equations[1] = {1000, 995.5, 1000};
    const std::string written = Write(BuildFixtureAlignment(kRightTurn), &vt, &equations);
    ExpectGolden("alignment_profile.xml", written);
    // The parabola's PVI is at its middle on the 2 % grade; the crest circle's
    // on the 4 % grade at its first tangent length R tan(turn / 2) cos(grade).
    EXPECT_THAT(written, HasSubstr("desc=\"4000.000000\">140.000000 102.800000</ParaCurve>"));
    const double turn = std::atan(0.04) - std::atan(0.02);
    const double tangent = 5000 * std::tan(turn / 2) * std::cos(std::atan(0.04));
    EXPECT_THAT(written,
                HasSubstr("radius=\"-5000.000000\">" + FormatDecimals(300 + tangent, 6) + " " +
                          FormatDecimals(109.2 + 0.04 * tangent, 6) + "</CircCurve>"));
    EXPECT_EQ(std::pair(vtFirst, vtLast), std::pair(0.0, 600.0));
}

} // namespace
} // namespace vialto::test
