// The preview: the SVG files of golden documents parse as XML, and the plan
// and profile they draw stand where the document's own evaluation puts them;
// chainage ticks, labels and curve limits are where they belong; what failed
// the proof is red.
#include "preview/PreviewDrawings.h"
#include "preview/SvgPreview.h"

#include "support/TestSupport.h"
#include "verify/DocumentGeometry.h"
#include "verify/DocumentReader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <algorithm>
#include <cmath>
#include <sstream>

using namespace vialto;
using vialto::test::SourcePath;

namespace {

ReadBackDocument Golden(const std::string &job) {
    ReadBackDocument doc;
    std::string failure;
    EXPECT_TRUE(ReadLandXmlDocument(SourcePath("tests/batch/golden/" + job + ".xml"), doc, failure))
        << failure;
    return doc;
}

struct Box {
    double MinX = 1e300, MinY = 1e300, MaxX = -1e300, MaxY = -1e300;
    void Add(double x, double y) {
        MinX = std::min(MinX, x);
        MaxX = std::max(MaxX, x);
        MinY = std::min(MinY, y);
        MaxY = std::max(MaxY, y);
    }
};

// The world extents of the polylines of a class in the first panel of an SVG
// file, mapped back through the panel's own transform.
Box DrawnWorldBox(const std::filesystem::path &svg, const std::string &role, double &scale) {
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_file(svg.c_str());
    EXPECT_TRUE(parsed) << svg << ": " << parsed.description();
    const pugi::xml_node panel = doc.child("svg").child("g");
    auto number = [&](const char *name) { return panel.attribute(name).as_double(); };
    const ViewTransform view{number("data-scale-x"), number("data-scale-y"),
                             number("data-origin-x"), number("data-origin-y"),
                             number("data-margin")};
    scale = std::min(view.ScaleX, view.ScaleY);
    Box box;
    for (const pugi::xml_node &line : panel.children("polyline")) {
        if (role != line.attribute("class").value())
            continue;
        std::string text = line.attribute("points").value();
        std::replace(text.begin(), text.end(), ',', ' ');
        std::istringstream points(text);
        for (double x = 0, y = 0; points >> x >> y;) {
            const WorldPoint w = view.ToWorld({x, y});
            box.Add(w.X, w.Y);
        }
    }
    return box;
}

long Count(const Drawing &drawing, const std::string &role) {
    return std::count_if(drawing.Items.begin(), drawing.Items.end(),
                         [&](const DrawItem &item) { return item.Role == role; });
}

std::vector<bool> Red(const Drawing &drawing, const std::string &role) {
    std::vector<bool> red;
    for (const DrawItem &item : drawing.Items)
        if (item.Role == role)
            red.push_back(item.Colour == kFailedColour);
    return red;
}

void ExpectSameBox(const Box &drawn, const Box &expected, double slackX, double slackY) {
    EXPECT_NEAR(drawn.MinX, expected.MinX, slackX);
    EXPECT_NEAR(drawn.MaxX, expected.MaxX, slackX);
    EXPECT_NEAR(drawn.MinY, expected.MinY, slackY);
    EXPECT_NEAR(drawn.MaxY, expected.MaxY, slackY);
}

} // namespace

TEST(Preview, FilesParseAndDrawThePlanAndProfileOfTheDocument) {
    vialto::test::TempDir dir;
    long curves = 0;
    for (const char *job : {"road", "rail", "double-rail", "tunnel"}) {
        SCOPED_TRACE(job);
        const ReadBackDocument doc = Golden(job);
        std::string failure;
        const std::filesystem::path folder = dir / job;
        ASSERT_TRUE(WritePreview(folder, doc, nullptr, 10, failure)) << failure;
        const std::string index = vialto::test::ReadFileBytes(folder / "index.html");
        for (const char *file : {"plan.svg", "profile.svg", "sections.svg"}) {
            pugi::xml_document svg;
            EXPECT_TRUE(svg.load_file((folder / file).c_str())) << file;
            EXPECT_STREQ(svg.document_element().name(), "svg");
            EXPECT_THAT(index, ::testing::HasSubstr(std::string("src=\"") + file + "\""));
        }
        // The elements evaluated every metre, against what the plan draws.
        Box expected;
        for (const DocAlignment &a : doc.Alignments)
            for (const DocElement &e : a.Elements) {
                std::vector<double> at;
                for (double s = 0; s < DocElementLength(e); s += 1)
                    at.push_back(s);
                at.push_back(DocElementLength(e));
                for (const DocPose &p : DocElementPoses(e, at))
                    expected.Add(p.X, p.Y);
            }
        double scale = 0;
        const Box drawn = DrawnWorldBox(folder / "plan.svg", "element", scale);
        // Coordinates are written to 0.01 px; chords of curves stand within
        // a few centimetres of the arc.
        ExpectSameBox(drawn, expected, 0.01 / scale + 0.05, 0.01 / scale + 0.05);

        // The first profile sampled every 0.25 m (heights change by well
        // under 1 cm over that), against its panel.
        Box heights;
        const DocProfile profile(doc.Alignments[0].Profile[0]);
        for (double c = profile.Begin(); c <= profile.End(); c += 0.25) {
            double h = 0;
            ASSERT_TRUE(profile.HeightAt(c, h));
            heights.Add(c, h);
        }
        ExpectSameBox(DrawnWorldBox(folder / "profile.svg", "profile", scale), heights, 0.05, 0.01);
        // A limit tick at each end of each vertical curve.
        EXPECT_EQ(Count(ProfileDrawings(doc, nullptr).at(0), "curve-limit"),
                  2 * std::ssize(profile.Curves()));
        curves += std::ssize(profile.Curves());
    }
    EXPECT_GT(curves, 0);
}

// The road runs 12+340 - 15+040: a tick every 100 m, a label every kilometre;
// the rail sample's two rails, the tunnel sample's 34 profiles.
TEST(PreviewModel, PlanTicksLabelsRailsAndTunnelProfiles) {
    const Drawing plan = PlanDrawing(Golden("road"), nullptr);
    std::vector<std::string> labels;
    for (const DrawItem &item : plan.Items)
        if (item.Role == "chainage-label")
            labels.push_back(item.Text);
    EXPECT_EQ(Count(plan, "chainage"), 27); // 12+400 .. 15+000
    EXPECT_THAT(labels, ::testing::ElementsAre("13+000", "14+000", "15+000"));
    EXPECT_EQ(Count(plan, "boundary"), Count(plan, "element") + 1);
    EXPECT_EQ(Count(PlanDrawing(Golden("rail"), nullptr), "rail"), 2);
    EXPECT_EQ(Count(PlanDrawing(Golden("tunnel"), nullptr), "tunnel-profile"), 34);
}

// What failed the proof is red, in the model and in the files; a station
// shows its points with their stringline names, each layer in one colour.
TEST(Preview, FailedPartsAreRedAndSectionsShowPointsAndCodes) {
    vialto::test::TempDir dir;
    const ReadBackDocument doc = Golden("road");
    ProofReport proof;
    proof.Ran = true;
    AlignmentProof failed;
    failed.Name = doc.Alignments[0].Name;
    failed.FailedElements = {2};
    failed.FailedCrossSects = {0};
    failed.FailedHeightRanges = {{13000, 13010}};
    proof.Alignments = {failed};

    std::vector<bool> third(11, false);
    third[2] = true;
    EXPECT_EQ(Red(PlanDrawing(doc, &proof), "element"), third);
    const LayerColours colours = LayerColoursOf(doc);
    const Drawing first = SectionDrawing(doc, 0, 0, colours, &proof);
    const Drawing second = SectionDrawing(doc, 0, 1, colours, &proof);
    EXPECT_THAT(first.Title, ::testing::EndsWith("(failed)"));
    EXPECT_EQ(second.Title.find("failed"), std::string::npos);
    EXPECT_THAT(Red(first, "surface"), ::testing::Each(true));
    EXPECT_THAT(Red(second, "surface"), ::testing::Each(false));
    long points = 0, named = 0;
    for (const DocSurface &s : doc.Alignments[0].CrossSects[1].Surfaces) {
        points += std::ssize(s.Points);
        named += std::ssize(DocVertexNames(s));
    }
    EXPECT_EQ(Count(second, "point"), points);
    EXPECT_EQ(Count(second, "code"), named);
    ASSERT_GE(colours.size(), 2u);
    EXPECT_EQ(second.Legend.size(), doc.Alignments[0].CrossSects[1].Surfaces.size());
    EXPECT_TRUE(SectionDrawing(doc, 0, 100, colours, nullptr).Legend == second.Legend);

    std::string failure;
    ASSERT_TRUE(WritePreview(dir.Path(), doc, &proof, 10, failure)) << failure;
    EXPECT_THAT(vialto::test::ReadFileBytes(dir / "profile.svg"),
                ::testing::HasSubstr("class=\"profile-failed\" fill=\"none\" stroke=\"#d00000\""));
}
