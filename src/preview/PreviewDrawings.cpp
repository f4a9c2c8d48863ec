#include "preview/PreviewDrawings.h"

#include "shell/Text.h"
#include "verify/DocumentGeometry.h"

#include <algorithm>
#include <cmath>

namespace vialto {

namespace {

constexpr Rgb kAlignmentColours[] = {{31, 78, 154}, {27, 120, 55}, {118, 42, 131}};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kGrey{120, 120, 120};
constexpr Rgb kDarkGrey{60, 60, 60};
constexpr Rgb kRailColour{139, 69, 19};
constexpr Rgb kTunnelColour{128, 0, 128};
constexpr Rgb kCurveLimitColour{0, 128, 128};
constexpr Rgb kLayerPalette[] = {{27, 158, 119}, {117, 112, 179}, {230, 171, 2},  {102, 166, 30},
                                 {166, 118, 29}, {31, 120, 180},  {231, 41, 138}, {102, 102, 102}};

// Plan curves are drawn with a chord every this many radians of turn, at
// most every kMaxStep and at least every kMinStep of length.
constexpr double kTurnStep = 0.02;
constexpr double kMinStep = 0.5;
constexpr double kMaxStep = 20;
constexpr double kMaxChords = 5000;   // per element
constexpr double kMaxTicks = 100000;  // per alignment
constexpr int kProfileSamples = 2000; // heights drawn along a profile, besides its vertices

const AlignmentProof *ProofOf(const ProofReport *proof, std::size_t index,
                              const std::string &name) {
    if (!proof || index >= proof->Alignments.size() || proof->Alignments[index].Name != name)
        return nullptr;
    return &proof->Alignments[index];
}

bool Contains(const std::vector<std::size_t> &indices, std::size_t index) {
    return std::find(indices.begin(), indices.end(), index) != indices.end();
}

DrawItem Item(ItemKind kind, const char *role, Rgb colour) {
    DrawItem item;
    item.Kind = kind;
    item.Role = role;
    item.Colour = colour;
    return item;
}

// The distances at which an element is drawn.
std::vector<double> DrawDistances(const DocElement &element, double length) {
    double radius = 0;
    if (element.Kind == DocElementKind::Curve)
        radius = std::hypot(element.Start.X - element.Center.X, element.Start.Y - element.Center.Y);
    else if (element.Kind == DocElementKind::Spiral)
        radius = element.RadiusStart > 0 && element.RadiusEnd > 0
                     ? std::min(element.RadiusStart, element.RadiusEnd)
                     : std::max(element.RadiusStart, element.RadiusEnd);
    std::vector<double> distances{0};
    if (element.Kind != DocElementKind::Line && length > 0) {
        const double step = std::clamp(radius * kTurnStep, kMinStep, kMaxStep);
        const int count = static_cast<int>(std::min(std::ceil(length / step), kMaxChords));
        for (int k = 1; k < count; ++k)
            distances.push_back(length * k / count);
    }
    if (length > 0)
        distances.push_back(length);
    return distances;
}

// The tick across an alignment at a pose, with its right normal as direction.
DrawItem Across(const DocPose &pose, const char *role, Rgb colour, double halfPx) {
    DrawItem tick = Item(ItemKind::Tick, role, colour);
    tick.Points = {{pose.X, pose.Y}};
    tick.Dx = pose.Dy;
    tick.Dy = -pose.Dx;
    tick.SizePx = halfPx;
    return tick;
}

void AddPlanAlignment(Drawing &drawing, const DocAlignment &alignment, Rgb colour,
                      const AlignmentProof *proof) {
    const std::vector<double> stations = DocElementStations(alignment);
    // An alignment longer than any road or railway is not followed along: its
    // elements are drawn as chords, without ticks or rails.
    const bool followed = stations.back() - stations.front() <= kMaxFollowedSpan;
    for (std::size_t i = 0; i < alignment.Elements.size(); ++i) {
        const DocElement &element = alignment.Elements[i];
        const double length = stations[i + 1] - stations[i];
        std::vector<DocPose> poses;
        const double own = DocElementLength(element);
        if (followed && std::abs(own) <= kMaxFollowedSpan)
            poses = DocElementPoses(element, DrawDistances(element, own));
        else
            poses = {DocPose{element.Start.X, element.Start.Y, 0, 1},
                     DocPose{element.End.X, element.End.Y, 0, 1}};
        const bool failed = proof && Contains(proof->FailedElements, i);
        DrawItem line = Item(ItemKind::Polyline, "element", failed ? kFailedColour : colour);
        line.WidthPx = failed ? 3 : 2;
        line.Failed = failed;
        for (const DocPose &pose : poses) {
            line.Points.push_back({pose.X, pose.Y});
            drawing.Include(line.Points.back());
        }
        drawing.Items.push_back(std::move(line));
        drawing.Items.push_back(Across(poses.front(), "boundary", kBlack, 7));
        if (i + 1 == alignment.Elements.size() && followed && std::abs(own) <= kMaxFollowedSpan)
            drawing.Items.push_back(Across(DocElementPose(element, length), "boundary", kBlack, 7));
    }
    if (alignment.Elements.empty() || !followed)
        return;

    // Chainage ticks, and a label every kilometre on the left of the way.
    const double first = std::ceil(stations.front() / kPlanTickEvery) * kPlanTickEvery;
    const double ticks =
        std::min(kMaxTicks, std::floor((stations.back() - first) / kPlanTickEvery + 1e-9) + 1);
    std::vector<double> tickStations;
    for (long k = 0; k < static_cast<long>(ticks); ++k)
        tickStations.push_back(first + static_cast<double>(k) * kPlanTickEvery);
    const std::vector<DocPose> tickPoses = DocAlignmentPoses(alignment, stations, tickStations);
    for (std::size_t k = 0; k < tickStations.size(); ++k) {
        const double c = tickStations[k];
        const DocPose &pose = tickPoses[k];
        const bool kilometre = std::abs(std::remainder(c, kPlanLabelEvery)) < 1e-6;
        drawing.Items.push_back(Across(pose, "chainage", kGrey, kilometre ? 6 : 3));
        if (kilometre) {
            DrawItem label = Item(ItemKind::Text, "chainage-label", kDarkGrey);
            label.Points = {{pose.X, pose.Y}};
            label.Text = ChainageText(c).substr(0, ChainageText(c).find('.'));
            label.SizePx = 11;
            label.Anchor = TextAnchor::Middle;
            // The left normal (-Dy, Dx) in the view, where y runs down.
            label.ShiftXPx = -pose.Dy * 16;
            label.ShiftYPx = -pose.Dx * 16 + 4;
            drawing.Items.push_back(std::move(label));
        }
    }
    DrawItem name = Item(ItemKind::Text, "alignment-name", colour);
    const DocPose start = DocElementPose(alignment.Elements.front(), 0);
    name.Points = {{start.X, start.Y}};
    name.Text = alignment.Name;
    name.SizePx = 13;
    // Below its start, inside the view however the alignment sets out.
    name.Anchor = TextAnchor::Start;
    name.ShiftXPx = 4;
    name.ShiftYPx = 18;
    drawing.Items.push_back(std::move(name));

    // The rails where the document has them: each rail at its offset, which
    // runs linearly between the rail stations, drawn along the alignment.
    struct RailStation {
        double Station, Left, Right;
    };
    std::vector<RailStation> railStations, failedRails;
    for (std::size_t k = 0; k < alignment.CrossSects.size(); ++k) {
        const DocCrossSect &sect = alignment.CrossSects[k];
        for (const DocSurface &surface : sect.Surfaces) {
            if (surface.Name != "Rails" || surface.Points.size() != 2)
                continue;
            railStations.push_back(
                {sect.Station, surface.Points[0].Offset, surface.Points[1].Offset});
            if (proof && Contains(proof->FailedCrossSects, k))
                failedRails.push_back(railStations.back());
        }
    }
    std::vector<double> failedAt;
    for (const RailStation &r : failedRails)
        failedAt.push_back(r.Station);
    const std::vector<DocPose> failedPoses = DocAlignmentPoses(alignment, stations, failedAt);
    for (std::size_t k = 0; k < failedRails.size(); ++k) {
        const DocPose &pose = failedPoses[k];
        for (const double offset : {failedRails[k].Left, failedRails[k].Right}) {
            DrawItem mark = Item(ItemKind::Marker, "rail-failed", kFailedColour);
            mark.Points = {{pose.X + offset * pose.Dy, pose.Y - offset * pose.Dx}};
            mark.SizePx = 4;
            mark.Failed = true;
            drawing.Items.push_back(std::move(mark));
        }
    }
    if (railStations.size() >= 2) {
        std::sort(railStations.begin(), railStations.end(),
                  [](const RailStation &a, const RailStation &b) { return a.Station < b.Station; });
        std::vector<double> along;
        for (const RailStation &r : railStations)
            along.push_back(r.Station);
        for (std::size_t i = 0; i < alignment.Elements.size(); ++i)
            for (const double s :
                 DrawDistances(alignment.Elements[i], stations[i + 1] - stations[i]))
                if (stations[i] + s > along.front() &&
                    stations[i] + s < railStations.back().Station)
                    along.push_back(stations[i] + s);
        std::sort(along.begin(), along.end());
        DrawItem left = Item(ItemKind::Polyline, "rail", kRailColour);
        DrawItem right = Item(ItemKind::Polyline, "rail", kRailColour);
        const std::vector<DocPose> poses = DocAlignmentPoses(alignment, stations, along);
        std::size_t r = 0;
        for (std::size_t k = 0; k < along.size(); ++k) {
            const double c = along[k];
            while (r + 2 < railStations.size() && railStations[r + 1].Station <= c)
                ++r;
            const RailStation &a = railStations[r], &b = railStations[r + 1];
            const double t = b.Station > a.Station ? (c - a.Station) / (b.Station - a.Station) : 0;
            const DocPose &pose = poses[k];
            const double lo = a.Left + t * (b.Left - a.Left),
                         ro = a.Right + t * (b.Right - a.Right);
            left.Points.push_back({pose.X + lo * pose.Dy, pose.Y - lo * pose.Dx});
            right.Points.push_back({pose.X + ro * pose.Dy, pose.Y - ro * pose.Dx});
        }
        drawing.Items.push_back(std::move(left));
        drawing.Items.push_back(std::move(right));
    }

    for (const DocPose &pose :
         DocAlignmentPoses(alignment, stations, alignment.TunnelProfileStations))
        drawing.Items.push_back(Across(pose, "tunnel-profile", kTunnelColour, 9));
}

} // namespace

Drawing PlanDrawing(const ReadBackDocument &document, const ProofReport *proof) {
    Drawing drawing;
    drawing.Title = "Plan";
    for (std::size_t a = 0; a < document.Alignments.size(); ++a) {
        const DocAlignment &alignment = document.Alignments[a];
        AddPlanAlignment(drawing, alignment, kAlignmentColours[a % std::size(kAlignmentColours)],
                         ProofOf(proof, a, alignment.Name));
    }
    return drawing;
}

std::vector<Drawing> ProfileDrawings(const ReadBackDocument &document, const ProofReport *proof) {
    std::vector<Drawing> drawings;
    for (std::size_t a = 0; a < document.Alignments.size(); ++a) {
        const DocAlignment &alignment = document.Alignments[a];
        if (alignment.Profile.empty())
            continue;
        const AlignmentProof *checked = ProofOf(proof, a, alignment.Name);
        Drawing drawing;
        drawing.Title = "Profile of " + alignment.Name;
        drawing.KeepAspect = false;
        const Rgb colour = kAlignmentColours[a % std::size(kAlignmentColours)];
        double begin = 0, end = -1;
        for (const DocProfAlign &align : alignment.Profile) {
            const DocProfile profile(align);
            if (profile.End() < profile.Begin() ||
                profile.End() - profile.Begin() > kMaxFollowedSpan)
                continue;
            if (end < begin) {
                begin = profile.Begin();
                end = profile.End();
            }
            begin = std::min(begin, profile.Begin());
            end = std::max(end, profile.End());
            // The heights, sampled finely enough for the curves.
            std::vector<double> stations;
            for (const DocPvi &pvi : align.Points)
                stations.push_back(pvi.Station);
            for (int k = 0; k < kProfileSamples; ++k)
                stations.push_back(profile.Begin() +
                                   (profile.End() - profile.Begin()) * k / kProfileSamples);
            for (const DocCurveSpan &span : profile.Curves())
                for (int k = 0; k <= 16; ++k)
                    stations.push_back(span.Begin + (span.End - span.Begin) * k / 16);
            std::sort(stations.begin(), stations.end());
            DrawItem line = Item(ItemKind::Polyline, "profile", colour);
            line.WidthPx = 2;
            for (const double c : stations) {
                double h = 0;
                if (profile.HeightAt(c, h)) {
                    line.Points.push_back({c, h});
                    drawing.Include(line.Points.back());
                }
            }
            drawing.Items.push_back(std::move(line));
            DrawItem polygon = Item(ItemKind::Polyline, "pvi", kGrey);
            polygon.Dashed = true;
            for (const DocPvi &pvi : align.Points) {
                polygon.Points.push_back({pvi.Station, pvi.Elevation});
                drawing.Include(polygon.Points.back());
            }
            drawing.Items.push_back(std::move(polygon));
            for (const DocCurveSpan &span : profile.Curves()) {
                for (const double c : {span.Begin, span.End}) {
                    double h = 0;
                    profile.HeightAt(c, h);
                    DrawItem limit = Item(ItemKind::Tick, "curve-limit", kCurveLimitColour);
                    limit.Points = {{c, h}};
                    limit.Dx = 0;
                    limit.Dy = 1;
                    limit.SizePx = 8;
                    drawing.Items.push_back(std::move(limit));
                }
            }
            // What failed the proof, over again in red.
            if (checked) {
                for (const auto &[from, to] : checked->FailedHeightRanges) {
                    DrawItem failed = Item(ItemKind::Polyline, "profile-failed", kFailedColour);
                    failed.WidthPx = 3;
                    failed.Failed = true;
                    const double start = std::max(from - 1, profile.Begin());
                    const double stop = std::min(to + 1, profile.End());
                    const int count = 64;
                    for (int k = 0; k <= count && stop >= start; ++k) {
                        const double c = start + (stop - start) * k / count;
                        double h = 0;
                        if (profile.HeightAt(c, h))
                            failed.Points.push_back({c, h});
                    }
                    if (!failed.Points.empty())
                        drawing.Items.push_back(std::move(failed));
                }
            }
        }
        if (drawing.Empty())
            continue;
        // The lowest and highest height at the start, and kilometre labels
        // under the lowest height.
        for (const double h : {drawing.MinY, drawing.MaxY}) {
            DrawItem label = Item(ItemKind::Text, "height-label", kDarkGrey);
            label.Points = {{drawing.MinX, h}};
            label.Text = FormatDecimals(h, 2);
            label.SizePx = 10;
            label.ShiftXPx = 4;
            label.ShiftYPx = h == drawing.MinY ? -4 : 12;
            drawing.Items.push_back(std::move(label));
        }
        const double labelsBegin = std::ceil(begin / kPlanLabelEvery) * kPlanLabelEvery;
        const double labels =
            std::min(kMaxTicks, std::floor((end - labelsBegin) / kPlanLabelEvery + 1e-9) + 1);
        for (long k = 0; k < static_cast<long>(labels); ++k) {
            const double c = labelsBegin + static_cast<double>(k) * kPlanLabelEvery;
            DrawItem label = Item(ItemKind::Text, "chainage-label", kDarkGrey);
            label.Points = {{c, drawing.MinY}};
            label.Text = ChainageText(c).substr(0, ChainageText(c).find('.'));
            label.SizePx = 11;
            label.Anchor = TextAnchor::Middle;
            label.ShiftYPx = 16;
            drawing.Items.push_back(std::move(label));
        }
        drawings.push_back(std::move(drawing));
    }
    return drawings;
}

LayerColours LayerColoursOf(const ReadBackDocument &document) {
    LayerColours colours;
    for (const DocAlignment &alignment : document.Alignments)
        for (const DocCrossSect &sect : alignment.CrossSects)
            for (const DocSurface &surface : sect.Surfaces)
                if (std::none_of(colours.begin(), colours.end(),
                                 [&](const auto &c) { return c.first == surface.Name; }))
                    colours.emplace_back(
                        surface.Name,
                        surface.Name == "Rails"
                            ? kRailColour
                            : kLayerPalette[colours.size() % std::size(kLayerPalette)]);
    return colours;
}

Drawing SectionDrawing(const ReadBackDocument &document, std::size_t alignment,
                       std::size_t crossSect, const LayerColours &colours,
                       const ProofReport *proof) {
    const DocAlignment &owner = document.Alignments.at(alignment);
    const DocCrossSect &sect = owner.CrossSects.at(crossSect);
    const AlignmentProof *checked = ProofOf(proof, alignment, owner.Name);
    const bool failed = checked && Contains(checked->FailedCrossSects, crossSect);
    Drawing drawing;
    drawing.Title = owner.Name + "  " + ChainageText(sect.Station) + (failed ? "  (failed)" : "");
    for (const DocSurface &surface : sect.Surfaces) {
        Rgb colour = kGrey;
        for (const auto &[name, c] : colours)
            if (name == surface.Name)
                colour = c;
        if (std::none_of(drawing.Legend.begin(), drawing.Legend.end(),
                         [&](const auto &l) { return l.first == surface.Name; }))
            drawing.Legend.emplace_back(surface.Name, colour);
        if (failed)
            colour = kFailedColour;
        DrawItem line = Item(ItemKind::Polyline, "surface", colour);
        line.WidthPx = 1.5;
        line.Failed = failed;
        const std::vector<std::string> names = DocVertexNames(surface);
        for (std::size_t k = 0; k < surface.Points.size(); ++k) {
            const WorldPoint p{surface.Points[k].Offset, surface.Points[k].Height};
            line.Points.push_back(p);
            drawing.Include(p);
            DrawItem dot = Item(ItemKind::Marker, "point", colour);
            dot.Points = {p};
            dot.SizePx = 2.5;
            dot.Failed = failed;
            drawing.Items.push_back(std::move(dot));
            if (k < names.size()) {
                DrawItem code = Item(ItemKind::Text, "code", colour);
                code.Points = {p};
                code.Text = names[k];
                code.SizePx = 9;
                code.Anchor = TextAnchor::Middle;
                // Alternately above and below, so that neighbours stay apart.
                code.ShiftYPx = k % 2 == 0 ? -6 : 14;
                drawing.Items.push_back(std::move(code));
            }
        }
        drawing.Items.push_back(std::move(line));
    }
    if (!drawing.Empty()) {
        DrawItem axis = Item(ItemKind::Polyline, "axis", kGrey);
        axis.Dashed = true;
        axis.Points = {{0, drawing.MinY}, {0, drawing.MaxY}};
        drawing.Include({0, drawing.MinY});
        drawing.Items.insert(drawing.Items.begin(), std::move(axis));
    }
    return drawing;
}

std::vector<SectionRef> SectionsEvery(const ReadBackDocument &document, std::size_t n) {
    n = std::max<std::size_t>(n, 1);
    std::vector<SectionRef> refs;
    for (std::size_t a = 0; a < document.Alignments.size(); ++a) {
        const std::size_t count = document.Alignments[a].CrossSects.size();
        for (std::size_t k = 0; k < count; k += n)
            refs.push_back({a, k});
        if (count > 0 && (count - 1) % n != 0)
            refs.push_back({a, count - 1});
    }
    return refs;
}

} // namespace vialto
