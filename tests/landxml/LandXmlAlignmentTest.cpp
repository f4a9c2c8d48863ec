// Alignments and their coordinate geometry: byte-exact golden documents of small
// hand-built alignments, checked against geometry computed here independently
// (numeric integration of the curvature, not the geometry module's series), and
// the consistency of every figure point written.
#include "LandXmlAlignment.h"
#include "LandXmlFixture.h"
#include "LandXmlProfile.h"
#include "Text.h"

#include <pugixml.hpp>

#include <cmath>
#include <numbers>

namespace vialto::test {
namespace {

using ::testing::HasSubstr;

constexpr double kDocTol = 3e-6; // figure points are written with 6 decimals

// ---- Independent geometry ----------------------------------------------------

struct Pose {
    double X = 0, Y = 0, Az = 0; // azimuth clockwise from north
};

double Normalized(double az) {
    az = std::fmod(az, 2 * std::numbers::pi);
    return az < 0 ? az + 2 * std::numbers::pi : az;
}

// Travels `length` from p with the curvature (1/m, positive turning right)
// varying linearly from k0 to k1, by Simpson's rule on the tangent direction.
Pose Advance(const Pose &p, double k0, double k1, double length) {
    if (length == 0)
        return p;
    const int n = 4000;
    const double h = length / n;
    const auto az = [&](double s) { return p.Az + k0 * s + (k1 - k0) * s * s / (2 * length); };
    double sx = 0, sy = 0;
    for (int i = 0; i <= n; ++i) {
        const double w = (i == 0 || i == n) ? 1 : (i % 2 == 1 ? 4 : 2);
        sx += w * std::sin(az(i * h));
        sy += w * std::cos(az(i * h));
    }
    return {p.X + sx * h / 3, p.Y + sy * h / 3, Normalized(az(length))};
}

// Builds a 1-based alignment element by element from a start pose.
class AlignmentBuilder {
  public:
    explicit AlignmentBuilder(Pose start) : pose_(start) {}

    AlignmentBuilder &Line(double length) { return Add(0, 0, length, 0, 0); }
    AlignmentBuilder &Arc(double radius, double length) {
        return Add(radius, 0, length, 1 / radius, 1 / radius);
    }
    // A clothoid of parameter a from curvature 1/r0 to 1/r1 (0: straight); the
    // stored radius is the start's, or the marker when the start is straight.
    AlignmentBuilder &Clothoid(double a, double r0, double r1, double sign) {
        const double k0 = r0 == 0 ? 0 : 1 / r0, k1 = r1 == 0 ? 0 : 1 / r1;
        const double length = std::abs(k1 - k0) * a * a;
        return Add(r0 == 0 ? sign * kRadiusMarker : sign * r0, a, length, sign * k0, sign * k1);
    }
    // A cubic parabola of total length L after a straight line, into radius r.
    AlignmentBuilder &Cubic(double totalLength, double radius) {
        HzElement e = Start(radius, -totalLength, totalLength);
        const double x = totalLength;
        const double factor = 1 + 3 * x * x / (64 * radius * radius);
        const double y = x * x * x / (6 * radius * x) * factor;
        const double slope = x * x / (2 * radius * x) * factor;
        const double a = pose_.Az;
        pose_ = {pose_.X + x * std::sin(a) + y * std::cos(a),
                 pose_.Y + x * std::cos(a) - y * std::sin(a), Normalized(a + std::atan(slope))};
        return Push(e);
    }
    // The pose at distance s into element i (clothoids, arcs, lines).
    Pose PoseAt(long i, double s) const { return Advance(starts_.at(i), k0_.at(i), KAt(i, s), s); }

    HzAlignment Elements() const { return elements_; }
    const Pose &End() const { return pose_; }
    Pose StartOf(long i) const { return starts_.at(i); }

  private:
    HzElement Start(double radius, double parameter, double length) {
        HzElement e;
        e.Number = static_cast<long>(elements_.size());
        e.Chainage = chainage_;
        e.X = pose_.X;
        e.Y = pose_.Y;
        e.Azimuth = pose_.Az;
        e.Radius = radius;
        e.Parameter = parameter;
        e.Length = length;
        return e;
    }
    AlignmentBuilder &Add(double radius, double parameter, double length, double k0, double k1) {
        HzElement e = Start(radius, parameter, length);
        k0_.push_back(k0);
        k1_.push_back(k1);
        starts_.push_back(pose_);
        pose_ = Advance(pose_, k0, k1, length);
        elements_.push_back(e);
        chainage_ += length;
        return *this;
    }
    AlignmentBuilder &Push(const HzElement &e) {
        k0_.push_back(0);
        k1_.push_back(0);
        starts_.push_back({e.X, e.Y, e.Azimuth});
        elements_.push_back(e);
        chainage_ += e.Length;
        return *this;
    }
    double KAt(long i, double s) const {
        const double length = elements_.at(i).Length;
        return k0_.at(i) + (k1_.at(i) - k0_.at(i)) * s / length;
    }

    Pose pose_;
    double chainage_ = 0;
    HzAlignment elements_ = MakeOneBased<HzElement>(0);
    std::vector<double> k0_{0}, k1_{0};
    std::vector<Pose> starts_{Pose{}};
};

// ---- Reading the written geometry back ---------------------------------------

struct Figure {
    double X = 0, Y = 0;
    std::string Text;
};

struct Block {
    std::string Tag;
    pugi::xml_node Node;
    Figure Start, End, Center, PI;
};

Figure ReadFigure(const pugi::xml_node &node, const char *name) {
    Figure f;
    f.Text = node.child_value(name);
    std::sscanf(f.Text.c_str(), "%lf %lf", &f.Y, &f.X);
    return f;
}

std::vector<Block> ReadBlocks(const pugi::xml_document &doc) {
    std::vector<Block> blocks;
    for (const pugi::xml_node &node : doc.child("LandXML")
                                          .child("Alignments")
                                          .child("Alignment")
                                          .child("CoordGeom")
                                          .children()) {
        blocks.push_back({node.name(), node, ReadFigure(node, "Start"), ReadFigure(node, "End"),
                          ReadFigure(node, "Center"), ReadFigure(node, "PI")});
    }
    return blocks;
}

double DistanceOf(const Figure &a, const Figure &b) { return std::hypot(a.X - b.X, a.Y - b.Y); }

// The PI lies on the tangent through p with azimuth az, on the side of travel
// (ahead = true) or behind it.
void ExpectOnTangent(const Figure &pi, const Figure &p, double az, bool ahead, const char *what) {
    const double dx = pi.X - p.X, dy = pi.Y - p.Y;
    const double across = dx * std::cos(az) - dy * std::sin(az);
    const double along = dx * std::sin(az) + dy * std::cos(az);
    EXPECT_NEAR(across, 0, kDocTol) << what;
    EXPECT_GT(ahead ? along : -along, 0) << what;
}

void ExpectNear(const Figure &f, const Pose &p, const char *what) {
    EXPECT_NEAR(f.X, p.X, kDocTol) << what;
    EXPECT_NEAR(f.Y, p.Y, kDocTol) << what;
}

// Each block ends where the next begins; each Curve's ends lie at its radius
// from its centre.
void ExpectConsistent(const std::vector<Block> &blocks) {
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const Block &b = blocks[i];
        if (i + 1 < blocks.size()) {
            EXPECT_EQ(b.End.Text, blocks[i + 1].Start.Text) << "block " << i;
        }
        if (b.Tag == "Curve") {
            const double r = b.Node.attribute("radius").as_double();
            EXPECT_NEAR(DistanceOf(b.Start, b.Center), r, kDocTol) << "block " << i;
            EXPECT_NEAR(DistanceOf(b.End, b.Center), r, kDocTol) << "block " << i;
        }
    }
}

// ---- Writing ----------------------------------------------------------------------

class AlignmentDocument : public LandXmlFixture {
  protected:
    std::string Write(const HzAlignment &hz, const VtAlignment *vt = nullptr,
                      const StationEquations *equations = nullptr, double from = kNullValue,
                      double to = kNullValue) {
        BeginDocument();
        const long n = ElementCount(hz);
        const double start = hz[1].Chainage;
        const double end = hz[n].Chainage + hz[n].Length;
        EXPECT_TRUE(TagAlignments(false));
        EXPECT_TRUE(TagAlignment(false, "Eje 1", start, end));
        EXPECT_TRUE(TagCoordGeom(false));
        EXPECT_TRUE(TagCoordGeomRegular(hz, from, to, first, last));
        EXPECT_TRUE(TagCoordGeom(true));
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
        const std::string bytes = FinishDocument();
        EXPECT_EQ(ValidateLandXmlKnownForms(out), "");
        EXPECT_TRUE(ui.Messages.empty()) << ui.Messages.front().Text;
        EXPECT_TRUE(doc.load_string(bytes.c_str()));
        return bytes;
    }

    double first = 0, last = 0, vtFirst = 0, vtLast = 0;
    pugi::xml_document doc;
};

// line - clothoid - arc - clothoid - line, turning right.
AlignmentBuilder RightTurn() {
    AlignmentBuilder b({1000, 5000, 0.3});
    b.Line(100).Clothoid(100, 0, 250, +1).Arc(250, 60).Clothoid(100, 250, 0, +1).Line(50);
    return b;
}

TEST_F(AlignmentDocument, LineClothoidArcClothoidLine) {
    const AlignmentBuilder b = RightTurn();
    const std::string bytes = Write(b.Elements());
    ExpectGolden("alignment_line_spiral_arc.xml", bytes);
    EXPECT_EQ(first, 0);
    EXPECT_NEAR(last, 100 + 40 + 60 + 40 + 50, 1e-9);

    const std::vector<Block> blocks = ReadBlocks(doc);
    ASSERT_EQ(blocks.size(), 5u);
    ExpectConsistent(blocks);
    EXPECT_EQ(blocks[1].Node.attribute("desc").value(), std::string("TangentToCurve"));
    EXPECT_EQ(blocks[1].Node.attribute("radiusStart").value(), std::string("INF"));
    EXPECT_EQ(blocks[1].Node.attribute("radiusEnd").value(), std::string("250.000000"));
    EXPECT_EQ(blocks[1].Node.attribute("constant").value(), std::string("100.000000"));
    EXPECT_EQ(blocks[3].Node.attribute("desc").value(), std::string("CurveToTangent"));
    EXPECT_EQ(blocks[3].Node.attribute("radiusEnd").value(), std::string("INF"));
    // PIs on both tangents of each transition.
    for (long i : {2, 4}) {
        const Block &s = blocks[static_cast<std::size_t>(i - 1)];
        ExpectOnTangent(s.PI, s.Start, b.StartOf(i).Az, true, "start tangent");
        ExpectOnTangent(s.PI, s.End, b.StartOf(i + 1).Az, false, "end tangent");
    }
    // The alignment's last end, computed by the writer, against the integration.
    ExpectNear(blocks[4].End, b.End(), "end of the alignment");
}

TEST_F(AlignmentDocument, ArcShorterThanAMillimetreStatesItsLength) {
    AlignmentBuilder b({0, 0, 1.0});
    b.Line(10).Arc(-100, 0.0005).Arc(-100, 12.5).Line(10);
    const std::string bytes = Write(b.Elements());
    ExpectGolden("alignment_short_arc.xml", bytes);
    EXPECT_THAT(bytes, HasSubstr("rot=\"ccw\" crvType=\"arc\" radius=\"100.000000\" "
                                 "length=\"0.000500\">"));
    EXPECT_THAT(bytes, HasSubstr("rot=\"ccw\" crvType=\"arc\" radius=\"100.000000\">"));
    ExpectConsistent(ReadBlocks(doc));
}

// A clothoid that turns 2 rad (A 100 from a straight to R 50) is written as two
// Spiral blocks split at the mean tangent angle: at clothoid length
// sqrt(2 A^2 * 1) = 141.421356 where the radius is A / sqrt(2) = 70.710678.
TEST_F(AlignmentDocument, ClothoidTurningMoreThanAQuarterCircleIsSplit) {
    AlignmentBuilder b({200, 300, 5.5});
    b.Line(20).Clothoid(100, 0, 50, -1).Arc(-50, 30);
    const std::string bytes = Write(b.Elements());
    ExpectGolden("alignment_split_spiral.xml", bytes);
    const std::vector<Block> blocks = ReadBlocks(doc);
    ASSERT_EQ(blocks.size(), 4u);
    ExpectConsistent(blocks);
    const pugi::xml_node one = blocks[1].Node, two = blocks[2].Node;
    EXPECT_STREQ(one.attribute("length").value(), "141.421356");
    EXPECT_STREQ(one.attribute("radiusStart").value(), "INF");
    EXPECT_STREQ(one.attribute("radiusEnd").value(), "70.710678");
    EXPECT_STREQ(one.attribute("desc").value(), "TangentToCurve");
    EXPECT_STREQ(two.attribute("staStart").value(), "161.421356");
    EXPECT_STREQ(two.attribute("length").value(), "58.578644");
    EXPECT_STREQ(two.attribute("radiusStart").value(), "70.710678");
    EXPECT_STREQ(two.attribute("radiusEnd").value(), "50.000000");
    EXPECT_STREQ(two.attribute("desc").value(), "CurveToCurve");
    EXPECT_STREQ(two.attribute("rot").value(), "ccw");
    const Pose split = b.PoseAt(2, 141.42135623730951);
    ExpectNear(blocks[1].End, split, "split point");
    ExpectOnTangent(blocks[1].PI, blocks[1].Start, b.StartOf(2).Az, true, "piece 1 start");
    ExpectOnTangent(blocks[1].PI, blocks[1].End, split.Az, false, "piece 1 end");
    ExpectOnTangent(blocks[2].PI, blocks[2].Start, split.Az, true, "piece 2 start");
    ExpectOnTangent(blocks[2].PI, blocks[2].End, b.StartOf(3).Az, false, "piece 2 end");
}

// The same turn with the curvature falling (R 50 out to a straight, ending the
// alignment): the piece at the sharp end is the short one, so the split lies
// 200 - 141.421356 = 58.578644 into the transition, where the radius is 70.710678.
TEST_F(AlignmentDocument, FallingClothoidIsSplitWhereItsRadiusIsTheMean) {
    AlignmentBuilder b({0, 0, 0});
    b.Line(10).Arc(50, 30).Clothoid(100, 50, 0, +1);
    const std::string bytes = Write(b.Elements());
    ExpectGolden("alignment_split_spiral_falling.xml", bytes);
    const std::vector<Block> blocks = ReadBlocks(doc);
    ASSERT_EQ(blocks.size(), 4u);
    ExpectConsistent(blocks);
    EXPECT_STREQ(blocks[2].Node.attribute("length").value(), "58.578644");
    EXPECT_STREQ(blocks[2].Node.attribute("radiusEnd").value(), "70.710678");
    EXPECT_STREQ(blocks[3].Node.attribute("length").value(), "141.421356");
    EXPECT_STREQ(blocks[3].Node.attribute("radiusStart").value(), "70.710678");
    EXPECT_STREQ(blocks[3].Node.attribute("radiusEnd").value(), "INF");
    EXPECT_STREQ(blocks[3].Node.attribute("desc").value(), "CurveToTangent");
    const Pose split = b.PoseAt(3, 200 - 141.42135623730951);
    ExpectNear(blocks[2].End, split, "split point");
    ExpectNear(blocks[3].End, b.End(), "end of the alignment");
    ExpectOnTangent(blocks[3].PI, blocks[3].Start, split.Az, true, "piece 2 start");
    ExpectOnTangent(blocks[3].PI, blocks[3].End, b.End().Az, false, "piece 2 end");
}

TEST_F(AlignmentDocument, CubicTransition) {
    AlignmentBuilder b({500, 500, 2.0});
    b.Line(100).Cubic(60, 300);
    b.Arc(300, 50).Line(30);
    const std::string bytes = Write(b.Elements());
    ExpectGolden("alignment_cubic.xml", bytes);
    const std::vector<Block> blocks = ReadBlocks(doc);
    ASSERT_EQ(blocks.size(), 4u);
    ExpectConsistent(blocks);
    const pugi::xml_node cubic = blocks[1].Node;
    EXPECT_STREQ(cubic.attribute("spiType").value(), "cubic");
    EXPECT_STREQ(cubic.attribute("desc").value(), "");
    EXPECT_STREQ(cubic.attribute("radiusStart").value(), "INF");
    EXPECT_STREQ(cubic.attribute("radiusEnd").value(), "300.000000");
    EXPECT_FALSE(cubic.attribute("constant"));
    ExpectOnTangent(blocks[1].PI, blocks[1].Start, b.StartOf(2).Az, true, "cubic start");
    ExpectOnTangent(blocks[1].PI, blocks[1].End, b.StartOf(3).Az, false, "cubic end");
}

TEST_F(AlignmentDocument, ProfileWithParabolaCircleAndAPointWithoutHeight) {
    // Grades: 2 % into a sag parabola (Kv 4000, 80 m) to 4 %, a crest circle
    // (R 5000, 100 m) back to 2 %, a point without height, a level grade.
    VtAlignment vt = MakeOneBased<VtElement>(0);
    const auto add = [&](double ch, double h, double g, double p, double l) {
        VtElement e;
        e.Number = static_cast<long>(vt.size());
        e.Chainage = ch, e.Height = h, e.Grade = g, e.Parameter = p, e.Length = l;
        vt.push_back(e);
    };
    add(0, 100, 0.02, 0, 100);
    add(100, 102, 0.02, 4000, 80);
    add(180, 104.4, 0.04, 0, 120);
    add(300, 109.2, 0.04, -5000, -100);
    add(400, 112.2, 0.02, 0, 100);
    add(500, -999, 0, 0, 50);
    add(550, 120, 0, 0, 50);
    StationEquations equations = MakeOneBased<StationEquation>(1);
    equations[1] = {1000, 995.5, 1000};
    const AlignmentBuilder b = RightTurn();
    const std::string bytes = Write(b.Elements(), &vt, &equations);
    ExpectGolden("alignment_profile.xml", bytes);
    EXPECT_THAT(bytes, HasSubstr("\t\t<StaEquation staAhead=\"1000.000000\" "
                                 "staBack=\"995.500000\" staInternal=\"1000.000000\"/>\r\n"));
    EXPECT_THAT(bytes,
                HasSubstr("\t\t\t\t\t<PVI>100.000000 102.000000</PVI>\r\n\t\t\t\t\t<ParaCurve "
                          "length=\"80.000000\" desc=\"4000.000000\">140.000000 "
                          "102.800000</ParaCurve>\r\n"));
    // The crest circle's PVI lies on the 4 % grade at its first tangent length.
    const double turn = std::atan(0.04) - std::atan(0.02);
    const double tangent = 5000 * std::tan(turn / 2) * std::cos(std::atan(0.04));
    EXPECT_THAT(bytes, HasSubstr("<CircCurve length=\"100.000000\" radius=\"-5000.000000\">" +
                                 FormatDecimals(300 + tangent, 6) + " " +
                                 FormatDecimals(109.2 + 0.04 * tangent, 6) + "</CircCurve>"));
    EXPECT_THAT(bytes, HasSubstr("\t\t\t\t\t<PVI>400.000000 112.200000</PVI>\r\n"
                                 "\t\t\t\t</ProfAlign>\r\n"
                                 "\t\t\t\t<ProfAlign name=\"Eje 1_1\">\r\n"
                                 "\t\t\t\t\t<PVI>550.000000 120.000000</PVI>\r\n"
                                 "\t\t\t\t\t<PVI>600.000000 120.000000</PVI>\r\n"
                                 "\t\t\t\t</ProfAlign>\r\n"
                                 "\t\t\t</Profile>\r\n"));
    EXPECT_EQ(vtFirst, 0);
    EXPECT_EQ(vtLast, 600);
}

TEST_F(AlignmentDocument, ExtendedFlavourMirrorsOnlyTheAlignmentTags) {
    AppModel().IsOstXML = true;
    const std::string bytes = Write(RightTurn().Elements());
    ExpectGolden("alignment_extended.xml", bytes);
    const std::string extended = bytes.substr(bytes.find("\t<OstremLandXML"));
    EXPECT_THAT(extended,
                HasSubstr("\">\r\n\t\t<Alignments name=\"alignments\">\r\n\t\t\t<Alignment "
                          "name=\"Eje 1\">\r\n\t\t\t</Alignment>\r\n\t\t</Alignments>\r\n"
                          "\t</OstremLandXML>\r\n</LandXML>\r\n"));
}

} // namespace
} // namespace vialto::test
