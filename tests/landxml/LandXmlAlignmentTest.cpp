// Alignments and their coordinate geometry: byte-exact golden documents of small
// alignments, every figure point written checked against the fixtures'
// numerically integrated geometry (not the geometry module's series).
#include "LandXmlAlignment.h"
#include "../geometry/AlignmentFixtures.h"
#include "LandXmlFixture.h"
#include "LandXmlProfile.h"

#include <pugixml.hpp>

#include <cmath>

namespace vialto::test {
namespace {

using ::testing::HasSubstr;

constexpr double kDocTol = 3e-6; // figure points are written with 6 decimals

// Where consecutive pieces (each starting where the one before ends) are at a
// chainage, and their curvature there.
const FixtureLayout &PieceAt(const std::vector<FixtureLayout> &pieces, double chainage) {
    std::size_t k = 0;
    while (k + 1 < pieces.size() && pieces[k + 1].StartChainage <= chainage) {
        ++k;
    }
    return pieces[k];
}

double CurvatureAt(const FixtureLayout &layout, double chainage) {
    double c = layout.StartChainage;
    for (const FixtureSegment &seg : layout.Segments) {
        if (chainage <= c + seg.Length + 1e-6) {
            const double k0 = seg.StartRadius == 0 ? 0 : 1 / seg.StartRadius;
            const double k1 = seg.EndRadius == 0 ? 0 : 1 / seg.EndRadius;
            return std::fabs(k0 + (k1 - k0) * (chainage - c) / seg.Length);
        }
        c += seg.Length;
    }
    return 0;
}

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

// Every block of the written geometry against the pieces: its ends where they
// are at its staStart and at the next block's (or the alignment's end), each
// end written as the next block's start, a Curve's ends on its circle, a
// Spiral's radii those of the pieces and its PI on both tangents.
void ExpectBlocksOnPieces(const pugi::xml_document &doc, const std::vector<FixtureLayout> &pieces) {
    const pugi::xml_node alignment = doc.child("LandXML").child("Alignments").child("Alignment");
    const double end =
        alignment.attribute("staStart").as_double() + alignment.attribute("length").as_double();
    for (pugi::xml_node b = alignment.child("CoordGeom").first_child(); b; b = b.next_sibling()) {
        SCOPED_TRACE(std::string(b.name()) + " at " + b.attribute("staStart").value());
        const pugi::xml_node next = b.next_sibling();
        const double from = b.attribute("staStart").as_double();
        const double to = next ? next.attribute("staStart").as_double() : end;
        const FixturePose p0 = FixturePoseAt(PieceAt(pieces, from), from);
        const FixturePose p1 = FixturePoseAt(PieceAt(pieces, to), to);
        const FixturePose start = ReadFigure(b, "Start"), finish = ReadFigure(b, "End");
        EXPECT_NEAR(start.X, p0.X, kDocTol);
        EXPECT_NEAR(start.Y, p0.Y, kDocTol);
        EXPECT_NEAR(finish.X, p1.X, kDocTol);
        EXPECT_NEAR(finish.Y, p1.Y, kDocTol);
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
            for (const auto &[attribute, at] :
                 {std::pair{"radiusStart", from}, {"radiusEnd", to}}) {
                const std::string radius = b.attribute(attribute).value();
                const double k = radius == "INF" ? 0 : 1 / std::stod(radius);
                EXPECT_NEAR(k, CurvatureAt(PieceAt(pieces, at), at), 1e-9) << attribute;
            }
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
        EXPECT_TRUE(TagAlignments(false));
        EXPECT_TRUE(TagAlignment(false, "Eje 1", start, end));
        EXPECT_TRUE(TagCoordGeom(false));
        EXPECT_TRUE(TagCoordGeomRegular(hz, kNullValue, kNullValue, first, last));
        EXPECT_TRUE(TagCoordGeom(true));
        EXPECT_EQ(first, start);
        EXPECT_NEAR(last, end, 1e-9);
        if (equations) {
            EXPECT_TRUE(TagStaEquation(*equations));
        }
        if (vt) {
            EXPECT_TRUE(TagProfile(false));
            EXPECT_TRUE(TagProfAlign(vtFirst, vtLast, "Eje 1", *vt, kNullValue, kNullValue));
            EXPECT_TRUE(TagProfile(true));
        }
        EXPECT_TRUE(TagAlignment(true));
        EXPECT_TRUE(TagAlignments(true));
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
    const char *Mark; // a hand-worked part of the document
};

class AlignmentGolden : public AlignmentDocument,
                        public ::testing::WithParamInterface<GoldenCase> {};

TEST_P(AlignmentGolden, WrittenGeometryIsByteExactAndOnTheLayout) {
    const GoldenCase &c = GetParam();
    AppModel().IsOstXML = c.Extended;
    const std::string written = Write(BuildFixtureAlignment(c.Layout));
    ExpectGolden(c.Golden, written);
    ExpectBlocksOnPieces(doc, {c.Layout});
    EXPECT_THAT(written, HasSubstr(c.Mark));
}

// A clothoid turning 2 rad (A 100, R 50 at the sharp end) is split at the mean
// tangent angle, 1 rad, found sqrt(2) A = 141.421356 from its straight end: the
// first piece is the long one when the curvature grows, the short one when it
// falls. The extended flavour mirrors the alignment tags only.
INSTANTIATE_TEST_SUITE_P(
    Documents, AlignmentGolden,
    ::testing::Values(
        GoldenCase{"alignment_line_spiral_arc.xml", kRightTurn, false,
                   "name=\"Eje 1\" length=\"290.000000\""},
        GoldenCase{"alignment_extended.xml", kRightTurn, true,
                   "\t\t<Alignments name=\"alignments\">\r\n\t\t\t<Alignment name=\"Eje 1\">\r\n"
                   "\t\t\t</Alignment>\r\n\t\t</Alignments>\r\n\t</OstremLandXML>\r\n"},
        GoldenCase{"alignment_short_arc.xml",
                   {"short arc",
                    0,
                    0,
                    0,
                    1.0,
                    {{10, 0, 0}, {0.0005, -100, -100}, {12.5, -100, -100}, {10, 0, 0}}},
                   false,
                   "radius=\"100.000000\" length=\"0.000500\">"},
        GoldenCase{"alignment_split_spiral.xml",
                   FixtureSteps("split", 0, 200, 300, 5.5, {{20, 0}, {200, -50}, {30, -50}}), false,
                   "staStart=\"161.421356\""},
        GoldenCase{"alignment_split_spiral_falling.xml",
                   {"split falling", 0, 0, 0, 0, {{10, 0, 0}, {30, 50, 50}, {200, 50, 0}}},
                   false,
                   "staStart=\"98.578644\""}),
    [](const ::testing::TestParamInfo<GoldenCase> &info) {
        const std::string name = info.param.Golden;
        return name.substr(0, name.find('.'));
    });

// A cubic parabola of L 60 into R 300 after a line ends at the tangent offset
// y = x^3 / (6 R L) (1 + 3 L^2 / (64 R^2)) from the line, turned by atan(y').
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
    HzElement cubic = hz[1];
    cubic.Number = 2;
    cubic.Chainage = 100;
    cubic.X = p.X;
    cubic.Y = p.Y;
    cubic.Radius = 300;
    cubic.Parameter = -60; // its total length
    cubic.Length = 60;
    hz.push_back(cubic);
    for (HzElement e : BuildFixtureAlignment(after)) {
        if (e.Number > 0) {
            e.Number += 2;
            hz.push_back(e);
        }
    }
    const std::string written = Write(hz);
    ExpectGolden("alignment_cubic.xml", written);
    ExpectBlocksOnPieces(doc, {line, after});
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
        VtElement e;
        e.Number = static_cast<long>(vt.size());
        e.Chainage = ch, e.Height = h, e.Grade = g, e.Parameter = p, e.Length = l;
        vt.push_back(e);
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
    EXPECT_EQ(vtFirst, 0);
    EXPECT_EQ(vtLast, 600);
}

} // namespace
} // namespace vialto::test
