// The rails of the sample tracks under samples/rail, read through the
// listing and cant readers and written as cross sections. Every written
// section is checked against the cant worked out here from the table file
// itself: the rails differ in height by the cant, the outer rail of a curve is
// the higher one, the held rail is at the profile height, and the rails lie
// G cos(asin(cant / B)) apart across the track (a gauge apart when level).
#include "RailComputation.h"

#include "AlignmentStore.h"
#include "AppModel.h"
#include "HzListing.h"
#include "LandXmlWriter.h"
#include "Superelevation.h"
#include "TestSupport.h"
#include "Text.h"
#include "TrackVtAlignment.h"
#include "VtGeometry.h"
#include "VtListing.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <algorithm>
#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using namespace vialto;
using namespace vialto::test;

namespace {

constexpr double kGauge = 1.435;
constexpr double kBase = 1.5;
constexpr double kWrittenTol = 2e-6; // numbers are written with 6 decimals

// ---- The cant worked out independently from the table file ------------------

struct HandStation {
    double station = 0;
    double left = 0;  // metres: appliedCant, or appliedCantLeft
    double right = 0; // appliedCantRight (left/right form)
    std::string kind;
};

std::vector<HandStation> ReadStations(const std::string &xml) {
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_string(xml.c_str()));
    std::vector<HandStation> out;
    for (pugi::xml_node s : doc.child("Cant").children("CantStation")) {
        const bool single = s.attribute("appliedCant");
        out.push_back({s.attribute("station").as_double(),
                       s.attribute(single ? "appliedCant" : "appliedCantLeft").as_double() / 1000,
                       s.attribute("appliedCantRight").as_double() / 1000,
                       s.attribute("cantInterpolation").as_string()});
    }
    return out;
}

// y between (x0, y0) and (x1, y1): a straight ramp, a smooth step with level
// ends (3u^2 - 2u^3), or two circular arcs of one radius, level at the
// stations and meeting halfway.
double Ramp(double x, double x0, double x1, double y0, double y1, const std::string &kind) {
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double u = (x - x0) / dx;
    if (kind == "cubic")
        return y0 + dy * (3 * u * u - 2 * u * u * u);
    if (kind == "reverseCurve") {
        if (dy == 0)
            return y0;
        // A circle through (x0, y0) level there and through the midpoint.
        const double r = (dx * dx + dy * dy) / (4 * std::abs(dy));
        const double sign = dy > 0 ? 1 : -1;
        const double s = x - x0;
        if (s <= dx / 2)
            return y0 + sign * (r - std::sqrt(r * r - s * s));
        const double e = x1 - x;
        return y1 - sign * (r - std::sqrt(r * r - e * e));
    }
    return y0 + dy * u;
}

// Left and right cant at c (the single form leaves right 0).
std::pair<double, double> HandCant(const std::vector<HandStation> &stations, double c) {
    for (std::size_t i = 0; i + 1 < stations.size(); ++i) {
        const HandStation &a = stations[i];
        const HandStation &b = stations[i + 1];
        if (c >= a.station && c < b.station)
            return {Ramp(c, a.station, b.station, a.left, b.left, a.kind),
                    Ramp(c, a.station, b.station, a.right, b.right, a.kind)};
    }
    return {stations.back().left, stations.back().right};
}

// ---- Reading the samples and writing the rails ---------------------------------

std::string SampleText(const std::string &name) {
    return ReadFileBytes(SourcePath("samples/rail/" + name));
}

// Fresh slots 1..count; the listings of each into its slot ("" for none).
void ImportTracks(const std::vector<std::pair<std::string, std::string>> &listings) {
    ResetAlignments();
    for (SlotNumber slot = 1; slot <= static_cast<SlotNumber>(listings.size()); ++slot) {
        AddAlignment();
        const auto &[plt, alz] = listings[slot - 1];
        HzAlignment hz;
        StationEquations equations;
        std::string name;
        ASSERT_TRUE(
            ImportHzAligment(hz, equations, name, SourcePath("samples/rail/" + plt).string()));
        SetAligmentHz(slot, hz);
        VtAlignment vt;
        if (!alz.empty()) {
            ASSERT_TRUE(ImportVtAligment(vt, SourcePath("samples/rail/" + alz).string(), ""));
            SetAligmentVt(slot, vt);
        }
    }
}

std::shared_ptr<clsSuperelevation> LoadTable(const TempDir &dir, const std::string &xml) {
    WriteFileBytes(dir / "cant.xml", xml);
    auto table = std::make_shared<clsSuperelevation>();
    EXPECT_TRUE(table->Import((dir / "cant.xml").string(), unitMetre));
    return table;
}

struct Section {
    double sta = 0;
    double lo = 0, lh = 0, ro = 0, rh = 0;
    std::string names;
};

std::vector<Section> WriteRails(const TempDir &dir, const clsSuperelevation &table,
                                std::uint8_t selector) {
    AppModel().IsOstXML = false;
    SetOutputFile((dir / "rails.xml").string());
    EXPECT_TRUE(OpenFile());
    double first = 0, last = 0;
    EXPECT_TRUE(table.ExportToLandXml(first, last, "", selector, kNullValue, kNullValue));
    CloseFile();
    const std::string text = ReadFileBytes(LandXmlWriter().WorkFile);
    DiscardOutput();
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_string(text.c_str()));
    std::vector<Section> out;
    for (pugi::xml_node cs : doc.child("CrossSects").children("CrossSect")) {
        Section s;
        s.sta = cs.attribute("sta").as_double();
        const pugi::xml_node surf = cs.child("CrossSectSurf");
        EXPECT_STREQ(surf.attribute("name").as_string(), "Rails");
        std::istringstream points(surf.child_value("PntList2D"));
        points >> s.lo >> s.lh >> s.ro >> s.rh;
        s.names = surf.child("Feature").child_value();
        out.push_back(s);
    }
    EXPECT_FALSE(out.empty());
    EXPECT_DOUBLE_EQ(first, out.front().sta);
    EXPECT_DOUBLE_EQ(last, out.back().sta);
    return out;
}

// +1 on a right-hand curve, -1 on a left-hand one, 0 on a straight (the
// design's TS..ST ranges).
struct Curve {
    double from, to;
    int turn;
};

int TurnAt(const std::vector<Curve> &curves, double c) {
    for (const Curve &k : curves)
        if (c >= k.from && c < k.to)
            return k.turn;
    return 0;
}

// The height a rotation point holds at the profile on a curve turning `turn`.
double HeldHeight(const Section &s, const std::string &rotation, int turn) {
    if (rotation == "center")
        return (s.lh + s.rh) / 2;
    const bool rightIsInner = turn > 0;
    const bool left = rotation == "leftRail" || (rotation == "insideRail" && !rightIsInner) ||
                      (rotation == "outsideRail" && rightIsInner);
    return left ? s.lh : s.rh;
}

// The sections against the hand cant; `rotation` "" for the left/right form.
void CheckSections(const std::vector<Section> &sections, const std::vector<HandStation> &stations,
                   const std::vector<Curve> &curves, const VtAlignment &profile,
                   const std::string &rotation) {
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const Section &s = sections[i];
        SCOPED_TRACE(testing::Message() << rotation << " at " << s.sta);
        if (i > 0) {
            ASSERT_GT(s.sta, sections[i - 1].sta + 1e-6);
        }
        const auto [leftCant, rightCant] = HandCant(stations, s.sta);
        const int turn = TurnAt(curves, s.sta);
        const double h = GetHeightFromVtAligment(profile, s.sta);
        double cant = 0; // height of the left rail over the right one
        if (rotation.empty()) {
            cant = leftCant - rightCant;
            EXPECT_NEAR(s.lh, h + leftCant, kWrittenTol);
            EXPECT_NEAR(s.rh, h + rightCant, kWrittenTol);
        } else if (turn == 0) {
            // Straights: level, except a table turned about a rail raises the
            // other rail (the samples have no cant on their straights).
            EXPECT_NEAR(leftCant, 0, 1e-12);
        } else {
            cant = turn > 0 ? leftCant : -leftCant; // the outer rail is the higher
            EXPECT_NEAR(HeldHeight(s, rotation, turn), h, kWrittenTol);
        }
        EXPECT_NEAR(s.lh - s.rh, cant, kWrittenTol);
        EXPECT_NEAR(s.ro - s.lo, kGauge * std::cos(std::asin(cant / kBase)), kWrittenTol);
        EXPECT_NEAR(s.ro, -s.lo, 1e-9);
        if (cant == 0) {
            EXPECT_NEAR(s.ro - s.lo, kGauge, 1e-9);
        }
    }
}

TEST(RailSamples, SingleTrackEveryRotation) {
    RecordingUi ui;
    TempDir dir;
    ImportTracks({{"single.plt", "single.alz"}});
    const std::vector<Curve> curves = {
        {400, 1140, 1}, {1740, 2240, -1}, {2540, 3090, 1}, {3090, 3790, -1}};
    for (const std::string rotation :
         {"insideRail", "outsideRail", "center", "leftRail", "rightRail"}) {
        const std::string xml =
            ReplaceAll(SampleText("single_cant.xml"), "rotationPoint=\"insideRail\"",
                       "rotationPoint=\"" + rotation + "\"");
        const std::vector<Section> sections = WriteRails(dir, *LoadTable(dir, xml), 1);
        CheckSections(sections, ReadStations(xml), curves, GetAligmentVt(1), rotation);
        EXPECT_EQ(sections.front().names, "Left,Right");
        if (rotation != "insideRail")
            continue;
        // Every station; the unit steps of the cubic runs (TS2 1740 -> SC2
        // 1840, CS2 2140 -> ST2 2240, CS4 3590 -> ST4 3790) and of the
        // reverse-curve runs (TS3 2540 -> SC3 2690, CS3 2940 -> 3090); the
        // inflection at 3090 (also a station) once. Nothing else.
        std::vector<double> expected;
        for (const HandStation &s : ReadStations(xml))
            expected.push_back(s.station);
        for (auto [a, b] :
             {std::pair{1740, 1840}, {2140, 2240}, {3590, 3790}, {2540, 2690}, {2940, 3090}})
            for (int c = a + 1; c < b; ++c)
                expected.push_back(c);
        std::sort(expected.begin(), expected.end());
        ASSERT_EQ(sections.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i)
            EXPECT_NEAR(sections[i].sta, expected[i], 1e-6);
    }
    EXPECT_TRUE(ui.Messages.empty());
}

TEST(RailSamples, DoubleTrackWithGeneratedProfiles) {
    RecordingUi ui;
    TempDir dir;
    ImportTracks({{"double_centre.plt", "double_centre.alz"},
                  {"double_left.plt", ""},
                  {"double_right.plt", ""}});
    const std::string leftXml = SampleText("double_left_cant.xml");
    const std::string rightXml = SampleText("double_right_cant.xml");
    const auto left = LoadTable(dir, leftXml);
    const auto right = LoadTable(dir, rightXml);
    ASSERT_TRUE(left->IsCoplaneTrack());
    SetAligmentSup(2, left);
    SetAligmentSup(3, right);
    RecordingProgress progress;
    ASSERT_TRUE(CreateVtFromVt(2, 1, 2, 0.5, progress, 2, false));
    ASSERT_TRUE(CreateVtFromVt(3, 1, 3, 0.5, progress, 3, true));
    // The left track: a right-hand curve from 500 to 1400.750, a left-hand
    // one from 2100.750 to 2839.923; turned about the inner rail. The right
    // track's table is in the left/right form.
    const std::vector<Section> l = WriteRails(dir, *left, 2);
    CheckSections(l, ReadStations(leftXml), {{500, 1400.75, 1}, {2100.75, 2839.923, -1}},
                  GetAligmentVt(2), "insideRail");
    EXPECT_EQ(l.front().names, "Left_L,Right_L");
    const std::vector<Section> r = WriteRails(dir, *right, 3);
    CheckSections(r, ReadStations(rightXml), {{500, 1399.25, 1}, {2099.25, 2840.077, -1}},
                  GetAligmentVt(3), "");
    EXPECT_EQ(r.front().names, "Left_R,Right_R");
    EXPECT_TRUE(ui.Messages.empty());
}

} // namespace
