#include "verify/Proof.h"

#include "geometry/HzClothoidFrame.h"
#include "geometry/HzGeometry.h"
#include "geometry/VtGeometry.h"
#include "shell/WorkSplit.h"
#include "verify/DocumentGeometry.h"
#include "verify/DocumentReader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <optional>
#include <span>

namespace vialto {

namespace {

// Two document stations closer than this are the same station (the document
// writes 6 decimals).
constexpr double kSameStation = 0.0005;

// An element's own end is taken this much before it, where the element search
// still answers with the element itself.
constexpr double kOwnEndBefore = 1e-7;

// ---- The imported side: the engine's geometry ------------------------------

// The engine's point at ascending chainages of an imported alignment. Each
// call evaluates a window of the element holding the chainage and its two
// neighbours, so that the engine's own element rules apply (the neighbours
// decide a transition's far radius and a cubic parabola's base) without its
// search running over the whole alignment for every sample.
//
// A transition is placed by the engine (its far radius, the frame of the
// whole clothoid it is a piece of, its first point) and then followed along
// that clothoid by integrating its tangent from sample to sample: the
// engine's series for every point would cost the proof ten times as much.
class ImportedPlan {
  public:
    explicit ImportedPlan(const HzAlignment &elements) : elements_(elements) {}

    bool PointAt(double chainage, HzPoint &point) {
        const long n = ElementCount(elements_);
        if (n == 0)
            return false;
        Seek(chainage, n);
        const HzElement &element = elements_[static_cast<std::size_t>(index_)];
        const HzElementType type = GetElementType(element);
        if (type == HzElementType::Clothoid && chainage >= element.Chainage)
            return ClothoidPoint(element, chainage - element.Chainage, n, point);
        if ((type == HzElementType::Line || type == HzElementType::Arc) &&
            WindowFinds(chainage, n)) {
            // What the engine gives for the window, without its search.
            const double s = chainage - element.Chainage;
            const HzPoint found = type == HzElementType::Line ? GetCoordInLine(element, s)
                                                              : GetCoordInArc(element, s);
            if (!std::isfinite(found.X) || !std::isfinite(found.Y))
                return false;
            point = found;
            return true;
        }
        if (index_ != windowIndex_) {
            window_ = MakeOneBased<HzElement>(0);
            for (long k = std::max(1L, index_ - 1); k <= std::min(n, index_ + 1); ++k)
                window_.push_back(elements_[static_cast<std::size_t>(k)]);
            windowIndex_ = index_;
        }
        return GetCoordFromHzAligment(window_, chainage, point);
    }

    // How far the listed start of the element starting at the chainage lies
    // from where the element before it ends (0 where none starts there).
    double JumpAt(double chainage) {
        if (elements_.size() < 3)
            return 0;
        const auto first = elements_.begin() + 2, last = elements_.end();
        const auto at =
            std::lower_bound(first, last, chainage - kSameStation,
                             [](const HzElement &e, double c) { return e.Chainage < c; });
        HzPoint before;
        if (at == last || at->Chainage > chainage + kSameStation ||
            !PointAt(at->Chainage - kOwnEndBefore, before))
            return 0;
        return std::hypot(at->X - before.X, at->Y - before.Y);
    }

  private:
    // Whether the engine's search of the window of the element and its
    // neighbours finds the element itself for the chainage.
    bool WindowFinds(double chainage, long n) const {
        auto start = [&](long k) { return elements_[static_cast<std::size_t>(k)].Chainage; };
        return std::isfinite(chainage) && start(index_) <= chainage &&
               (index_ == 1 || start(index_ - 1) < chainage) &&
               (index_ == n || start(index_ + 1) > chainage);
    }

    // The element by the search rule: the first starting at the chainage,
    // else the last starting before it.
    void Seek(double chainage, long n) {
        auto start = [&](long k) { return elements_[static_cast<std::size_t>(k)].Chainage; };
        while (index_ > 1 && start(index_) > chainage)
            --index_;
        while (index_ > 1 && start(index_ - 1) == chainage)
            --index_;
        while (index_ < n && start(index_) < chainage && start(index_ + 1) <= chainage)
            ++index_;
    }

    bool ClothoidPoint(const HzElement &element, double s, long n, HzPoint &point) {
        if (index_ != frameIndex_) {
            const bool last = index_ == n;
            const HzElement *next =
                last ? nullptr : &elements_[static_cast<std::size_t>(index_ + 1)];
            const double farRadius = OtherRadius(element, next ? next->Radius : kNullValue,
                                                 next ? next->Azimuth : kNullValue, true);
            frame_ = MakeClothoidFrame(element, farRadius);
            frameIndex_ = index_;
            hasLast_ = false;
        }
        const double l = frame_.L0 + frame_.Direction * s;
        if (!hasLast_ || std::abs(l - lastL_) > kClothoidRestart) {
            last_ = ClothoidFramePoint(frame_, l);
        } else {
            // The tangent azimuth at clothoid length t is Base + Turn t^2 / 2A^2.
            const double h = (l - lastL_) / 2, mid = (l + lastL_) / 2;
            const double k = frame_.Turn / (2 * frame_.A * frame_.A);
            const double base = frame_.Base + k * mid * mid;
            const double cosBase = std::cos(base), sinBase = std::sin(base);
            double dx = 0, dy = 0;
            for (std::size_t j = 0; j < kGaussNodes.size(); ++j)
                for (const double side : {-1.0, 1.0}) {
                    const double t = mid + side * kGaussNodes[j] * h;
                    double c = 0, s = 0;
                    TurnedBy(cosBase, sinBase, base, k * t * t - k * mid * mid, c, s);
                    dx += kGaussWeights[j] * h * s;
                    dy += kGaussWeights[j] * h * c;
                }
            last_.X += dx;
            last_.Y += dy;
        }
        lastL_ = l;
        hasLast_ = true;
        point = last_;
        return std::isfinite(point.X) && std::isfinite(point.Y);
    }

    // 8-point Gauss-Legendre on [-1, 1] over steps of at most kClothoidRestart
    // (further, the engine places the point afresh).
    static constexpr std::array<double, 4> kGaussNodes = {0.1834346424956498, 0.5255324099163290,
                                                          0.7966664774136267, 0.9602898564975363};
    static constexpr std::array<double, 4> kGaussWeights = {0.3626837833783620, 0.3137066458778873,
                                                            0.2223810344533745, 0.1012285362903763};
    static constexpr double kClothoidRestart = 10;

    const HzAlignment &elements_;
    long index_ = 1;
    long windowIndex_ = 0;
    HzAlignment window_;
    long frameIndex_ = 0;
    ClothoidFrame frame_;
    bool hasLast_ = false;
    double lastL_ = 0;
    HzPoint last_;
};

// The engine's height at ascending chainages of an imported profile.
class ImportedProfile {
  public:
    explicit ImportedProfile(const VtAlignment &elements) : elements_(elements) {}

    // kNullValue where the profile gives no height.
    double HeightAt(double chainage) {
        const long n = ElementCount(elements_);
        if (n == 0)
            return kNullValue;
        auto start = [&](long k) { return elements_[static_cast<std::size_t>(k)].Chainage; };
        while (index_ > 1 && start(index_) > chainage)
            --index_;
        while (index_ > 1 && start(index_ - 1) == chainage)
            --index_;
        while (index_ < n && start(index_) < chainage && start(index_ + 1) <= chainage)
            ++index_;
        if (index_ != windowIndex_) {
            window_ = MakeOneBased<VtElement>(0);
            window_.push_back(elements_[static_cast<std::size_t>(index_)]);
            windowIndex_ = index_;
        }
        // Before the first element the window's own rule answers "no height".
        return GetHeightFromVtAligment(window_, chainage);
    }

  private:
    const VtAlignment &elements_;
    long index_ = 1;
    long windowIndex_ = 0;
    VtAlignment window_;
};

// ---- Keeping the worst -----------------------------------------------------

void Keep(Deviation &worst, double value, double chainage) {
    if (worst.Chainage == kNullValue || value > worst.Value) {
        worst.Value = value;
        worst.Chainage = chainage;
    }
}

// The worst of a later part of the work joined to the worst so far: the
// first of equal values stays, as when the parts ran as one.
void Join(Deviation &worst, const Deviation &part) {
    if (part.Chainage != kNullValue)
        Keep(worst, part.Value, part.Chainage);
}

void AddRange(std::vector<std::pair<double, double>> &ranges, double from, double to) {
    if (!ranges.empty() && from <= ranges.back().second + 1.0 + 1e-9) {
        ranges.back().second = std::max(ranges.back().second, to);
        return;
    }
    ranges.emplace_back(from, to);
}

void AddIndex(std::vector<std::size_t> &indices, std::size_t index) {
    if (indices.empty() || indices.back() != index)
        indices.push_back(index);
}

// The distances into an element at which it is sampled: its start, every
// whole unit of chainage inside it, and its end.
std::vector<double> SampleDistances(double staStart, double length) {
    std::vector<double> distances{0};
    // Counted, so that a chainage too large to step by 1 still ends the loop.
    const double first = std::floor(staStart) + 1;
    const long count = static_cast<long>(std::max(0.0, std::ceil(staStart + length - first)));
    for (long k = 0; k < count; ++k)
        distances.push_back(first + static_cast<double>(k) - staStart);
    if (length > 0)
        distances.push_back(length);
    return distances;
}

struct Run {
    const ProofTolerances &Tol;
    ProofReport &Report;
    std::size_t Parts = WorkParts(); // the ranges the comparisons split into

    void Fail(const AlignmentProof &proof, ProofCheck check, const Deviation &worst,
              double tolerance, std::string detail) {
        Report.Failures.push_back(
            {proof.Name, check, worst.Chainage, worst.Value, tolerance, std::move(detail)});
    }

    void DocumentFault(const std::string &alignment, std::string detail) {
        Report.Failures.push_back(
            {alignment, ProofCheck::Document, kNullValue, 0, 0, std::move(detail)});
    }
};

// ---- Plan and element ends ---------------------------------------------------

// Where each element of the document is compared: from its chainage over
// its extent (up to the next element's staStart, else its own length
// attribute, else its figure's length).
struct ElementSpan {
    double Chainage = 0;
    double Length = 0; // of its figure
    double Extent = 0;
};

// The plan figures of a range of elements, joined in order.
struct PlanFigures {
    Deviation Plan, ElementEnd, ImportedGap;
    long Samples = 0;
    std::vector<std::size_t> Failed;
    std::vector<std::string> Faults;
};

// Compares the elements [begin, end) of the document with the imported
// alignment.
void ProvePlanRange(const DocAlignment &doc, const ImportedAlignment &design,
                    const std::vector<ElementSpan> &spans, double tolerance, std::size_t begin,
                    std::size_t end, PlanFigures &figures) {
    ImportedPlan imported(design.Hz);
    ImportedPlan ends(design.Hz); // the imported alignment at element ends
    for (std::size_t i = begin; i < end; ++i) {
        const DocElement &element = doc.Elements[i];
        const double chainage = spans[i].Chainage, length = spans[i].Length;
        const double extent = spans[i].Extent;
        const DocElement *next = i + 1 < doc.Elements.size() ? &doc.Elements[i + 1] : nullptr;
        const std::vector<double> distances = SampleDistances(chainage, std::max(0.0, extent));
        const std::vector<DocPose> poses = DocElementPoses(element, distances);
        const double elementEnd = chainage + extent;
        // Where the imported alignment itself jumps at the element's end (its
        // listed points are rounded), the document, which runs from listed
        // point to listed point, inherits the jump: it is allowed in
        // proportion along the element, and the element's end is compared
        // with the imported element's own end.
        const double jump = extent > 0 ? ends.JumpAt(elementEnd) : 0;
        Keep(figures.ImportedGap, jump, elementEnd);
        bool failed = false;
        for (std::size_t k = 0; k < distances.size(); ++k) {
            const bool atEnd = k + 1 == distances.size() && distances[k] > 0;
            const double at = chainage + distances[k];
            HzPoint point;
            const bool found = imported.PointAt(atEnd ? at - kOwnEndBefore : at, point);
            if (!found) {
                figures.Faults.push_back("the imported alignment has no point at chainage " +
                                         ChainageText(at));
                failed = true;
                break;
            }
            const double allowed = extent > 0 ? jump * distances[k] / extent : 0;
            const double deviation =
                std::max(0.0, std::hypot(poses[k].X - point.X, poses[k].Y - point.Y) - allowed);
            Keep(figures.Plan, deviation, at);
            ++figures.Samples;
            failed = failed || deviation > tolerance;
        }

        // The element's own end against what the document states about it:
        // its End, the next Start, the chainage where the next one starts, a
        // Curve's length and radius, and its End on its circle; beyond the
        // imported alignment's own jump there, which the document inherits.
        double mismatch = std::abs(extent - length);
        const DocPose last = DocElementPose(element, length);
        mismatch = std::max(mismatch, std::hypot(last.X - element.End.X, last.Y - element.End.Y));
        if (element.Kind == DocElementKind::Curve) {
            const double r =
                std::hypot(element.Start.X - element.Center.X, element.Start.Y - element.Center.Y);
            const double rEnd =
                std::hypot(element.End.X - element.Center.X, element.End.Y - element.Center.Y);
            mismatch = std::max(mismatch, std::abs(rEnd - r));
            if (element.Radius > 0)
                mismatch = std::max(mismatch, std::abs(element.Radius - r));
            if (element.Length != kNullValue)
                mismatch = std::max(mismatch, std::abs(element.Length - length));
        }
        if (next)
            mismatch = std::max(
                mismatch, std::hypot(next->Start.X - element.End.X, next->Start.Y - element.End.Y));
        mismatch = std::max(0.0, mismatch - jump);
        Keep(figures.ElementEnd, mismatch, elementEnd);
        if (failed || mismatch > tolerance)
            AddIndex(figures.Failed, i);
    }
}

void ProvePlan(const DocAlignment &doc, const ImportedAlignment &design, AlignmentProof &proof,
               Run &run) {
    const double tolerance = run.Tol.Plan;
    // The elements' spans, up to the first that would take the comparison
    // beyond kMaxFollowedSpan (counting the samples an element takes).
    std::vector<ElementSpan> spans;
    spans.reserve(doc.Elements.size());
    double chainage = doc.StaStart != kNullValue ? doc.StaStart : 0;
    double samples = 0;
    std::size_t tooLong = doc.Elements.size();
    for (std::size_t i = 0; i < doc.Elements.size(); ++i) {
        const DocElement &element = doc.Elements[i];
        if (element.StaStart != kNullValue)
            chainage = element.StaStart;
        const double length = DocElementLength(element);
        // Its figure's own length is checked against the extent among the
        // element ends.
        double extent = length;
        const DocElement *next = i + 1 < doc.Elements.size() ? &doc.Elements[i + 1] : nullptr;
        if (next && next->StaStart != kNullValue)
            extent = next->StaStart - chainage;
        else if (element.Length != kNullValue)
            extent = element.Length;
        if (!(std::abs(extent) <= kMaxFollowedSpan && std::abs(length) <= kMaxFollowedSpan) ||
            samples + extent > kMaxFollowedSpan) {
            tooLong = i;
            break;
        }
        spans.push_back({chainage, length, extent});
        const double reach = std::max(0.0, extent);
        samples +=
            1 + std::max(0.0, std::ceil(chainage + reach - std::floor(chainage) - 1)) + (reach > 0);
        chainage += extent;
    }
    // Element ranges on all cores, joined in order.
    const std::size_t parts = run.Parts;
    std::vector<PlanFigures> figures(parts);
    RunInParts(spans.size(), parts, [&](std::size_t begin, std::size_t end, std::size_t part) {
        ProvePlanRange(doc, design, spans, tolerance, begin, end, figures[part]);
    });
    for (const PlanFigures &part : figures) {
        Join(proof.Plan, part.Plan);
        Join(proof.ElementEnd, part.ElementEnd);
        Join(proof.ImportedGap, part.ImportedGap);
        proof.PlanSamples += part.Samples;
        for (const std::size_t index : part.Failed)
            AddIndex(proof.FailedElements, index);
        for (const std::string &fault : part.Faults)
            run.DocumentFault(proof.Name, fault);
    }
    if (tooLong < doc.Elements.size()) {
        run.DocumentFault(proof.Name, "the alignment runs, at the element of chainage " +
                                          ChainageText(chainage) + ", longer than " +
                                          FormatDecimals(kMaxFollowedSpan, 0) + " " + run.Tol.Unit);
        AddIndex(proof.FailedElements, tooLong);
        return;
    }
    if (proof.Plan.Value > tolerance)
        run.Fail(proof, ProofCheck::Plan, proof.Plan, tolerance,
                 "the document's point against the imported alignment's");
    if (proof.ElementEnd.Value > tolerance)
        run.Fail(proof, ProofCheck::ElementEnd, proof.ElementEnd, tolerance,
                 "an element's figure and end against its End, the next Start and the next "
                 "staStart");
}

// ---- Profile -----------------------------------------------------------------

void ProveProfile(const DocAlignment &doc, const ImportedAlignment &design, AlignmentProof &proof,
                  Run &run) {
    if (ElementCount(design.Vt) == 0) {
        if (!doc.Profile.empty())
            run.DocumentFault(proof.Name, "the document holds a profile that was not imported");
        return;
    }
    if (doc.Profile.empty()) {
        run.DocumentFault(proof.Name, "the document holds no profile");
        return;
    }
    const double tolerance = run.Tol.Height;
    for (const DocProfAlign &align : doc.Profile) {
        const DocProfile profile(align);
        if (profile.End() < profile.Begin())
            continue;
        if (!(profile.End() - profile.Begin() + proof.HeightSamples <= kMaxFollowedSpan)) {
            run.DocumentFault(proof.Name,
                              "the profile runs, in \"" + align.Name + "\", longer than " +
                                  FormatDecimals(kMaxFollowedSpan, 0) + " " + run.Tol.Unit);
            return;
        }
        std::vector<double> stations;
        for (const DocPvi &pvi : align.Points)
            stations.push_back(pvi.Station);
        for (const DocCurveSpan &span : profile.Curves()) {
            stations.push_back(span.Begin);
            stations.push_back(span.End);
        }
        std::sort(stations.begin(), stations.end());
        // The whole units, already in order, merged in.
        const auto vertices = static_cast<std::ptrdiff_t>(stations.size());
        const double first = std::ceil(profile.Begin());
        const long count = static_cast<long>(std::max(0.0, std::ceil(profile.End() - first)));
        for (long k = 0; k < count; ++k)
            stations.push_back(first + static_cast<double>(k));
        std::inplace_merge(stations.begin(), stations.begin() + vertices, stations.end());
        stations.erase(std::unique(stations.begin(), stations.end()), stations.end());
        // Station ranges on all cores, joined in order; a station the
        // imported profile has no height at ends the comparison there.
        struct HeightFigures {
            Deviation Height;
            long Samples = 0;
            std::vector<std::pair<double, double>> Failed;
            double Unmatched = kNullValue;
        };
        const std::size_t parts = run.Parts;
        std::vector<HeightFigures> figures(parts);
        RunInParts(stations.size(), parts,
                   [&](std::size_t begin, std::size_t end, std::size_t part) {
                       ImportedProfile imported(design.Vt);
                       HeightFigures &f = figures[part];
                       DocProfile::Walk walk;
                       for (std::size_t k = begin; k < end; ++k) {
                           const double station = stations[k];
                           double height = 0;
                           if (!profile.HeightAt(station, height, walk))
                               continue;
                           const double expected = imported.HeightAt(station);
                           if (expected == kNullValue) {
                               f.Unmatched = station;
                               return;
                           }
                           const double deviation = std::abs(height - expected);
                           Keep(f.Height, deviation, station);
                           ++f.Samples;
                           if (deviation > tolerance)
                               AddRange(f.Failed, station, station);
                       }
                   });
        for (const HeightFigures &f : figures) {
            Join(proof.Height, f.Height);
            proof.HeightSamples += f.Samples;
            for (const auto &[from, to] : f.Failed)
                AddRange(proof.FailedHeightRanges, from, to);
            if (f.Unmatched != kNullValue) {
                run.DocumentFault(proof.Name, "the imported profile has no height at chainage " +
                                                  ChainageText(f.Unmatched));
                return;
            }
        }
    }
    if (proof.Height.Value > tolerance)
        run.Fail(proof, ProofCheck::Height, proof.Height, tolerance,
                 "the document's profile against the imported profile");
}

// ---- Rails and cross sections ------------------------------------------------

const DocSurface *FindSurface(const DocCrossSect &sect, const std::string &name) {
    for (const DocSurface &surface : sect.Surfaces)
        if (surface.Name == name)
            return &surface;
    return nullptr;
}

// The written point nearest to the imported one, by its differences in
// offset and height scaled by their tolerances; false when the station has no
// written point of the layer at all.
bool NearestPoint(const std::vector<const DocSurface *> &surfaces, const CrSecPoint &point,
                  const ProofTolerances &tol, std::size_t hint, double &offsetDeviation,
                  double &heightDeviation) {
    double best = -1;
    auto consider = [&](const DocSectionPoint &written) {
        const double dOffset = std::abs(written.Offset - point.Offset);
        const double dHeight = std::abs(written.Height - point.Height);
        const double score = std::max(dOffset / tol.Plan, dHeight / tol.Height);
        if (best < 0 || score < best) {
            best = score;
            offsetDeviation = dOffset;
            heightDeviation = dHeight;
        }
    };
    // The export writes a surface's points in their imported order, so the
    // point at the same position is tried first.
    if (surfaces.size() == 1 && hint < surfaces.front()->Points.size()) {
        consider(surfaces.front()->Points[hint]);
        if (best <= 1e-3)
            return true;
    }
    for (const DocSurface *surface : surfaces)
        for (const DocSectionPoint &written : surface->Points)
            consider(written);
    return best >= 0;
}

// The figures of cross-section points compared on one core, joined in order.
struct SectionFigures {
    Deviation Offset, Height;
    long Points = 0;
    std::vector<std::size_t> Failed; // document cross sections
    double MissingLayerAt = kNullValue;
    std::string MissingLayer;
    std::vector<const DocSurface *> Written; // scratch: the written surfaces of a layer

    void Clear() {
        Offset = Height = {};
        Points = 0;
        Failed.clear();
        MissingLayerAt = kNullValue;
    }
};

// The rails and cross sections of one alignment, compared with the imported
// design as the document's cross sections are read, a run at a time.
class SectionsProof {
  public:
    // `parts`: the threads its comparisons may use.
    SectionsProof(const ImportedAlignment &design, const ProofTolerances &tol, std::size_t parts)
        : design_(design), tol_(tol), cores_(parts) {
        if (design.Rails)
            railProfile_.emplace(design.Rails->Heights);
        if (!design.CrossSections || !design.CrossSections->Set)
            return;
        const ImportedCrossSections &view = *design.CrossSections;
        const CrossSectionSet &set = *view.Set;
        for (std::size_t k = 0; k < set.Stations.size(); ++k) {
            const double chainage = set.Stations[k].Chainage;
            if (chainage >= view.First - kSameStation && chainage <= view.Last + kSameStation)
                stations_.push_back(k);
        }
        for (const CrSecLayer &layer : set.Layers)
            selected_.push_back(view.Selection.empty() ||
                                view.Selection.find(layer.Name + "$") != std::string::npos);
    }

    // The document's cross sections `first`.. of the alignment, in order.
    void Compare(std::size_t first, std::span<const DocCrossSect> sects) {
        for (std::size_t k = 0; k < sects.size() && design_.Rails; ++k)
            CompareRails(first + k, sects[k]);
        if (!stations_.empty())
            CompareSections(first, sects);
    }

    // The same for records lent to it: their points are compared on a thread
    // of their own while the next cross sections are read, the records
    // exchanged for those compared before (whose storage the reader reuses).
    // With one part they are compared at once.
    void CompareLent(std::size_t first, std::span<DocCrossSect> sects) {
        if (cores_ == 1) {
            Compare(first, sects);
            return;
        }
        for (std::size_t k = 0; k < sects.size() && design_.Rails; ++k)
            CompareRails(first + k, sects[k]);
        if (stations_.empty())
            return;
        Settle();
        Pair(sects);
        if (pairs_.empty())
            return;
        if (lent_.size() < sects.size())
            lent_.resize(sects.size());
        for (std::size_t k = 0; k < sects.size(); ++k)
            std::swap(lent_[k], sects[k]);
        lentPairs_.swap(pairs_);
        lentFigures_.Clear();
        if (!comparer_)
            comparer_ = std::make_unique<WorkerThread>();
        comparer_->Start([this, first] {
            for (const auto &[sect, station] : lentPairs_)
                ComparePoints(first + sect, lent_[sect], station, lentFigures_);
        });
        comparing_ = true;
    }

    // Adds the figures and what failed to the alignment's proof.
    void Finish(AlignmentProof &proof, Run &run) {
        Settle();
        if (design_.Rails) {
            proof.RailSpread = rails_.RailSpread;
            proof.RailHeight = rails_.RailHeight;
            proof.RailPairs = rails_.RailPairs;
            proof.FailedCrossSects = rails_.FailedCrossSects;
            for (const std::string &fault : railFaults_)
                run.DocumentFault(proof.Name, fault);
            if (proof.RailPairs == 0)
                run.DocumentFault(proof.Name, "the document holds no rails");
            if (proof.RailSpread.Value > tol_.Plan)
                run.Fail(proof, ProofCheck::RailSpread, proof.RailSpread, tol_.Plan,
                         "the spread of a rail pair against the gauge across the cant");
            if (proof.RailHeight.Value > tol_.Height)
                run.Fail(proof, ProofCheck::RailHeight, proof.RailHeight, tol_.Height,
                         "a rail's height against the profile and the cant");
        }
        if (!design_.CrossSections)
            return;
        if (next_ < stations_.size())
            Missing(next_);
        proof.SectionOffset = sections_.Offset;
        proof.SectionHeight = sections_.Height;
        proof.SectionPoints = sections_.Points;
        for (const std::size_t index : sections_.Failed)
            AddIndex(proof.FailedCrossSects, index);
        // Both kinds of gap are told once, in the order of their chainages.
        const double layerAt = sections_.MissingLayerAt;
        auto station = [&] {
            run.DocumentFault(proof.Name, "the cross section at chainage " +
                                              ChainageText(missingStationAt_) +
                                              " is missing from the document");
        };
        const bool stationFirst = missingStationAt_ != kNullValue &&
                                  (layerAt == kNullValue || missingStationAt_ <= layerAt);
        if (stationFirst)
            station();
        if (layerAt != kNullValue)
            run.DocumentFault(proof.Name, "the cross section at chainage " + ChainageText(layerAt) +
                                              " has no points of layer \"" +
                                              sections_.MissingLayer + "\"");
        if (missingStationAt_ != kNullValue && !stationFirst)
            station();
        if (proof.SectionOffset.Value > tol_.Plan)
            run.Fail(proof, ProofCheck::SectionOffset, proof.SectionOffset, tol_.Plan,
                     "an imported cross-section point's offset against the nearest written point");
        if (proof.SectionHeight.Value > tol_.Height)
            run.Fail(proof, ProofCheck::SectionHeight, proof.SectionHeight, tol_.Height,
                     "an imported cross-section point's height against the nearest written point");
    }

  private:
    void CompareRails(std::size_t index, const DocCrossSect &sect) {
        const ImportedRails &rails = *design_.Rails;
        const DocSurface *surface = FindSurface(sect, "Rails");
        if (!surface)
            return;
        if (surface->Points.size() != 2) {
            railFaults_.push_back("the rails at chainage " + ChainageText(sect.Station) +
                                  " are not one pair of points");
            AddIndex(rails_.FailedCrossSects, index);
            return;
        }
        const RailDesign rail = rails.At ? rails.At(sect.Station) : RailDesign{};
        if (!rail.Found) {
            railFaults_.push_back("rails are written at chainage " + ChainageText(sect.Station) +
                                  ", where the cant table gives no cant");
            AddIndex(rails_.FailedCrossSects, index);
            return;
        }
        const DocSectionPoint &left = surface->Points[0];
        const DocSectionPoint &right = surface->Points[1];
        // Across the cant the rails stand a gauge apart: the horizontal
        // spread is G sqrt(B^2 - c^2) / B for a rise difference c measured
        // over the base B, plus the widening projected the same way.
        const double g = rails.Gauge, b = rails.Base;
        const double rise = rail.RiseLeft - rail.RiseRight;
        double spread = g * std::sqrt(std::max(0.0, b * b - rise * rise)) / b;
        if (rail.WideningApplies && rail.WidthExcess != 0) {
            const double across = std::min(1.0, std::abs(rise) / (rail.WidthExcess + b));
            spread += rail.WidthExcess * std::cos(std::asin(across));
        }
        const double spreadDeviation = std::abs((right.Offset - left.Offset) - spread);
        const double base =
            ElementCount(rails.Heights) > 0 ? railProfile_->HeightAt(sect.Station) : 0;
        double heightDeviation = 0;
        if (base == kNullValue) {
            railFaults_.push_back("the imported profile has no height at the rails of chainage " +
                                  ChainageText(sect.Station));
        } else {
            heightDeviation = std::max(std::abs(left.Height - (base + rail.RiseLeft)),
                                       std::abs(right.Height - (base + rail.RiseRight)));
        }
        Keep(rails_.RailSpread, spreadDeviation, sect.Station);
        Keep(rails_.RailHeight, heightDeviation, sect.Station);
        ++rails_.RailPairs;
        if (spreadDeviation > tol_.Plan || heightDeviation > tol_.Height)
            AddIndex(rails_.FailedCrossSects, index);
    }

    double Chainage(std::size_t k) const {
        return design_.CrossSections->Set->Stations[stations_[k]].Chainage;
    }

    void Missing(std::size_t k) {
        if (missingStationAt_ == kNullValue)
            missingStationAt_ = Chainage(k);
    }

    // Pairs each imported station with the written cross section at its
    // chainage (a station missing from the document is told).
    void Pair(std::span<const DocCrossSect> sects) {
        pairs_.clear();
        for (std::size_t k = 0; k < sects.size(); ++k) {
            const double station = sects[k].Station;
            while (next_ < stations_.size() && Chainage(next_) < station - kSameStation)
                Missing(next_++);
            while (next_ < stations_.size() && std::abs(Chainage(next_) - station) <= kSameStation)
                pairs_.emplace_back(k, stations_[next_++]);
        }
    }

    // Waits for the lent records' comparison and joins its figures.
    void Settle() {
        if (!comparing_)
            return;
        comparing_ = false;
        comparer_->Wait();
        JoinFigures(lentFigures_);
    }

    // A later part's figures joined to those so far: the report never depends
    // on the split.
    void JoinFigures(const SectionFigures &figures) {
        Join(sections_.Offset, figures.Offset);
        Join(sections_.Height, figures.Height);
        sections_.Points += figures.Points;
        for (const std::size_t index : figures.Failed)
            AddIndex(sections_.Failed, index);
        if (sections_.MissingLayerAt == kNullValue && figures.MissingLayerAt != kNullValue) {
            sections_.MissingLayerAt = figures.MissingLayerAt;
            sections_.MissingLayer = figures.MissingLayer;
        }
    }

    void CompareSections(std::size_t first, std::span<const DocCrossSect> sects) {
        Settle();
        Pair(sects);
        const std::size_t parts = std::min(cores_, std::max<std::size_t>(pairs_.size(), 1));
        if (figures_.size() < parts)
            figures_.resize(parts);
        RunInParts(pairs_.size(), parts, [&](std::size_t begin, std::size_t end, std::size_t part) {
            SectionFigures &figures = figures_[part];
            figures.Clear();
            for (std::size_t k = begin; k < end; ++k)
                ComparePoints(first + pairs_[k].first, sects[pairs_[k].first], pairs_[k].second,
                              figures);
        });
        for (std::size_t part = 0; part < parts && !pairs_.empty(); ++part)
            JoinFigures(figures_[part]);
    }

    // Every imported point of the station's chosen layers against the
    // written cross section.
    void ComparePoints(std::size_t index, const DocCrossSect &sect, std::size_t station,
                       SectionFigures &figures) const {
        const CrossSectionSet &set = *design_.CrossSections->Set;
        const CrossSection &imported = set.Stations[station];
        bool failed = false;
        for (const CrSecSurface &surface : imported.Surfaces) {
            if (surface.Layer >= set.Layers.size() || !selected_[surface.Layer])
                continue;
            const std::string &layer = set.Layers[surface.Layer].Name;
            figures.Written.clear();
            for (const DocSurface &s : sect.Surfaces)
                if (s.Name == layer)
                    figures.Written.push_back(&s);
            std::size_t position = 0;
            for (const CrSecPoint &point : surface.Points) {
                if (point.IsCopyMark)
                    continue;
                double dOffset = 0, dHeight = 0;
                if (!NearestPoint(figures.Written, point, tol_, position++, dOffset, dHeight)) {
                    if (figures.MissingLayerAt == kNullValue) {
                        figures.MissingLayerAt = imported.Chainage;
                        figures.MissingLayer = layer;
                    }
                    failed = true;
                    break;
                }
                Keep(figures.Offset, dOffset, imported.Chainage);
                Keep(figures.Height, dHeight, imported.Chainage);
                ++figures.Points;
                failed = failed || dOffset > tol_.Plan || dHeight > tol_.Height;
            }
        }
        if (failed)
            AddIndex(figures.Failed, index);
    }

    const ImportedAlignment &design_;
    const ProofTolerances &tol_;
    // Rails.
    std::optional<ImportedProfile> railProfile_;
    AlignmentProof rails_; // its rail figures
    std::vector<std::string> railFaults_;
    // Cross sections.
    std::vector<std::size_t> stations_; // the set's stations written, in order
    std::vector<bool> selected_;        // per layer of the set
    std::size_t next_ = 0;              // the next station to pair
    double missingStationAt_ = kNullValue;
    std::vector<std::pair<std::size_t, std::size_t>> pairs_; // cross section, station
    std::size_t cores_;                                      // the threads its comparisons may use
    std::vector<SectionFigures> figures_;                    // per core
    SectionFigures sections_;                                // joined
    // The lent records being compared, their pairs and their figures.
    std::vector<DocCrossSect> lent_;
    std::vector<std::pair<std::size_t, std::size_t>> lentPairs_;
    SectionFigures lentFigures_;
    bool comparing_ = false; // the lent records are being compared
    // The thread that compares them, kept from one run to the next; last: it
    // ends before the rest goes.
    std::unique_ptr<WorkerThread> comparer_;
};

std::string Number(double value, int decimals) { return FormatDecimals(value, decimals); }

} // namespace

ImportedCrossSections ImportedCrossSectionsOf(const CrossSectionSet &set,
                                              const std::string &selection, double first,
                                              double last) {
    return {&set, selection, first, last};
}

std::string ChainageText(double chainage) {
    if (chainage == kNullValue || !std::isfinite(chainage))
        return "-";
    const bool negative = chainage < 0;
    // Rounded first, so that 999.9996 reads 1+000.000.
    const double rounded = std::round(std::abs(chainage) * 1000) / 1000;
    const double km = std::floor(rounded / 1000);
    const std::string metres = FormatDecimals(rounded - km * 1000, 3);
    return (negative ? "-" : "") + FormatDecimals(km, 0) + "+" +
           std::string(metres.size() < 7 ? 7 - metres.size() : 0, '0') + metres;
}

std::string ProofCheckName(ProofCheck check) {
    switch (check) {
    case ProofCheck::Document:
        return "document";
    case ProofCheck::Plan:
        return "plan";
    case ProofCheck::Height:
        return "height";
    case ProofCheck::ElementEnd:
        return "element ends";
    case ProofCheck::RailSpread:
        return "rail spread";
    case ProofCheck::RailHeight:
        return "rail heights";
    case ProofCheck::SectionOffset:
        return "cross-section offsets";
    case ProofCheck::SectionHeight:
        return "cross-section heights";
    }
    return "";
}

std::string ProofFailureText(const ProofFailure &failure, const std::string &unit) {
    std::string text = failure.Alignment.empty() ? std::string("the document")
                                                 : "alignment \"" + failure.Alignment + "\"";
    if (failure.Check == ProofCheck::Document)
        return text + ": " + failure.Detail;
    return text + ", chainage " + ChainageText(failure.Chainage) + ": " +
           ProofCheckName(failure.Check) + " deviation " + Number(failure.Value, kProofDecimals) +
           " " + unit + " over the tolerance " + Number(failure.Tolerance, kProofDecimals) + " " +
           unit + " (" + failure.Detail + ")";
}

namespace {

// The comparison of every cross section of each alignment as it is read.
class SectionsReceiver : public CrossSectReceiver {
  public:
    SectionsReceiver(const ImportedDesign &design, const ProofTolerances &tolerances,
                     std::size_t parts)
        : Parts(parts) {
        for (const ImportedAlignment &alignment : design.Alignments)
            Alignments.emplace_back(alignment, tolerances, parts);
    }
    void Receive(std::size_t alignment, std::size_t first, std::span<DocCrossSect> sects) override {
        if (alignment < Alignments.size())
            Alignments[alignment].CompareLent(first, sects);
    }
    std::size_t Parts;                    // the threads the comparisons may use
    std::deque<SectionsProof> Alignments; // per alignment of the design
};

// The proof of the document's alignments, whose cross sections were compared
// as they were read.
ProofReport Conclude(const ReadBackDocument &document, const ImportedDesign &design,
                     const ProofTolerances &tolerances, SectionsReceiver &sections) {
    ProofReport report;
    report.Ran = true;
    report.Tolerances = tolerances;
    Run run{tolerances, report, sections.Parts};
    if (document.Alignments.size() != design.Alignments.size())
        run.DocumentFault("", "the document holds " + std::to_string(document.Alignments.size()) +
                                  " alignments, " + std::to_string(design.Alignments.size()) +
                                  " were written");
    const std::size_t count = std::min(document.Alignments.size(), design.Alignments.size());
    for (std::size_t a = 0; a < count; ++a) {
        const DocAlignment &doc = document.Alignments[a];
        const ImportedAlignment &imported = design.Alignments[a];
        AlignmentProof proof;
        proof.Name = doc.Name;
        if (doc.Name != imported.Name)
            run.DocumentFault(doc.Name, "alignment " + std::to_string(a + 1) + " should be \"" +
                                            imported.Name + "\"");
        ProvePlan(doc, imported, proof, run);
        ProveProfile(doc, imported, proof, run);
        sections.Alignments[a].Finish(proof, run);
        report.Alignments.push_back(std::move(proof));
    }
    report.Passed = report.Failures.empty();
    return report;
}

ProofReport Unreadable(const ProofTolerances &tolerances, const std::string &failure) {
    ProofReport report;
    report.Ran = true;
    report.Tolerances = tolerances;
    report.Failures.push_back({"", ProofCheck::Document, kNullValue, 0, 0,
                               "the written document cannot be read back: " + failure});
    return report;
}

} // namespace

ProofReport ProveDocument(std::shared_ptr<const ReadBackDocument> document,
                          const ImportedDesign &design, const ProofTolerances &tolerances) {
    if (!document) {
        ProofReport report;
        report.Ran = true;
        report.Tolerances = tolerances;
        Run{tolerances, report}.DocumentFault("", "the document was not read");
        return report;
    }
    SectionsReceiver sections(design, tolerances, WorkParts());
    for (std::size_t a = 0; a < document->Alignments.size() && a < design.Alignments.size(); ++a)
        sections.Alignments[a].Compare(0, document->Alignments[a].CrossSects);
    ProofReport report = Conclude(*document, design, tolerances, sections);
    report.Document = std::move(document);
    return report;
}

ProofReport ProveDocumentFile(const std::filesystem::path &path, const ImportedDesign &design,
                              const ProofTolerances &tolerances, bool keepDocument,
                              std::size_t blockBytes) {
    std::string failure;
    if (keepDocument) {
        auto document = std::make_shared<ReadBackDocument>();
        if (!ReadLandXmlDocument(path, *document, failure, blockBytes))
            return Unreadable(tolerances, failure);
        return ProveDocument(std::move(document), design, tolerances);
    }
    ReadBackDocument document; // without its cross sections
    std::error_code unknown;
    const std::uintmax_t size = std::filesystem::file_size(path, unknown);
    SectionsReceiver sections(design, tolerances,
                              unknown ? WorkParts() : ReadBackParts(size, blockBytes));
    if (!ReadLandXmlDocumentParts(path, document, sections, {blockBytes, false}, failure))
        return Unreadable(tolerances, failure);
    return Conclude(document, design, tolerances, sections);
}

} // namespace vialto
