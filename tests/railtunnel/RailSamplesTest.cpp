// The sample track's rails under every rotation point, checked section by
// section against the cant worked out here from the table file itself: the
// outer rail higher by the cant, the held rail at the profile height, the
// rails G cos(asin(cant / B)) apart (a gauge apart when level).
#include "railtunnel/RailComputation.h"

#include "geometry/VtGeometry.h"
#include "import/HzListing.h"
#include "import/VtListing.h"
#include "landxml/LandXmlWriter.h"
#include "model/AlignmentStore.h"
#include "railtunnel/Superelevation.h"
#include "shell/AppModel.h"
#include "shell/Text.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

using namespace vialto;
using namespace vialto::test;

namespace {

constexpr double kGauge = 1.435;
constexpr double kBase = 1.5;
constexpr double kWrittenTol = 2e-6; // numbers are written with 6 decimals

struct HandStation {
    double station = 0;
    double cant = 0; // metres
    std::string kind;
};

std::vector<HandStation> ReadStations(const std::string &xml) {
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_string(xml.c_str()));
    std::vector<HandStation> out;
    for (pugi::xml_node s : doc.child("Cant").children("CantStation")) {
        out.push_back({s.attribute("station").as_double(),
                       s.attribute("appliedCant").as_double() / 1000,
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

double HandCant(const std::vector<HandStation> &stations, double c) {
    for (std::size_t i = 0; i + 1 < stations.size(); ++i) {
        const HandStation &a = stations[i];
        const HandStation &b = stations[i + 1];
        if (c >= a.station && c < b.station)
            return Ramp(c, a.station, b.station, a.cant, b.cant, a.kind);
    }
    return stations.back().cant;
}

void ImportSingleTrack() {
    ResetAlignments();
    AddAlignment();
    HzAlignment hz;
    StationEquations equations;
    std::string name;
    VtAlignment vt;
    ASSERT_TRUE(
        ImportHzAligment(hz, equations, name, SourcePath("samples/rail/single.plt").string()));
    ASSERT_TRUE(ImportVtAligment(vt, SourcePath("samples/rail/single.alz").string(), ""));
    SetAligmentHz(1, hz);
    SetAligmentVt(1, vt);
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
};

std::vector<Section> WriteRails(const TempDir &dir, const clsSuperelevation &table,
                                std::uint8_t selector) {
    AppModel().IsOstXML = false;
    SetOutputFile((dir / "rails.xml").string());
    EXPECT_TRUE(OpenFile());
    double first = 0, last = 0;
    EXPECT_TRUE(table.ExportToLandXml(first, last, "", selector, kNullValue, kNullValue, ""));
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
        out.push_back(s);
    }
    EXPECT_FALSE(out.empty());
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

// The sections against the hand cant.
void CheckSections(const std::vector<Section> &sections, const std::vector<HandStation> &stations,
                   const std::vector<Curve> &curves, const VtAlignment &profile,
                   const std::string &rotation) {
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const Section &s = sections[i];
        SCOPED_TRACE(testing::Message() << rotation << " at " << s.sta);
        if (i > 0) {
            ASSERT_GT(s.sta, sections[i - 1].sta + 1e-6);
        }
        const double leftCant = HandCant(stations, s.sta);
        const int turn = TurnAt(curves, s.sta);
        const double h = GetHeightFromVtAligment(profile, s.sta);
        double cant = 0; // height of the left rail over the right one
        if (turn == 0) {
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
    ImportSingleTrack();
    const std::vector<Curve> curves = {
        {400, 1140, 1}, {1740, 2240, -1}, {2540, 3090, 1}, {3090, 3790, -1}};
    for (const std::string rotation :
         {"insideRail", "outsideRail", "center", "leftRail", "rightRail"}) {
        const std::string xml =
            ReplaceAll(ReadFileBytes(SourcePath("samples/rail/single_cant.xml")),
                       "rotationPoint=\"insideRail\"", "rotationPoint=\"" + rotation + "\"");
        CheckSections(WriteRails(dir, *LoadTable(dir, xml), 1), ReadStations(xml), curves,
                      GetAligmentVt(1), rotation);
    }
    EXPECT_TRUE(ui.Messages.empty());
}

} // namespace
