#include "preview/SvgPreview.h"

#include "preview/PreviewDrawings.h"
#include "shell/ErrHandler.h"
#include "shell/Platform.h"
#include "shell/Text.h"

#include <algorithm>
#include <fstream>

namespace vialto {

namespace {

constexpr double kMargin = 28; // room around a drawing, in pixels
constexpr double kPlanWidth = 1400;
constexpr double kProfileHeight = 360;
constexpr double kSectionWidth = 460;
constexpr double kSectionHeight = 300;
constexpr std::size_t kSectionColumns = 3;

// Text and attribute values made safe inside SVG and HTML.
std::string Escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string Px(double value) { return FormatDecimals(value, 2); }

std::string Stroke(const DrawItem &item) {
    std::string text =
        " stroke=\"" + HexColour(item.Colour) + "\" stroke-width=\"" + Px(item.WidthPx) + "\"";
    if (item.Dashed)
        text += " stroke-dasharray=\"6 4\"";
    return text;
}

void RenderItem(std::string &svg, const DrawItem &item, const ViewTransform &view) {
    const std::string role = " class=\"" + Escape(item.Role) + "\"";
    switch (item.Kind) {
    case ItemKind::Polyline: {
        if (item.Points.size() < 2)
            return;
        svg += "<polyline" + role + " fill=\"none\"" + Stroke(item) + " points=\"";
        for (std::size_t k = 0; k < item.Points.size(); ++k) {
            const WorldPoint p = view.ToView(item.Points[k]);
            svg += (k ? " " : "") + Px(p.X) + "," + Px(p.Y);
        }
        svg += "\"/>\n";
        return;
    }
    case ItemKind::Tick: {
        WorldPoint from, to;
        if (TickInView(item, view, from, to))
            svg += "<line" + role + Stroke(item) + " x1=\"" + Px(from.X) + "\" y1=\"" + Px(from.Y) +
                   "\" x2=\"" + Px(to.X) + "\" y2=\"" + Px(to.Y) + "\"/>\n";
        return;
    }
    case ItemKind::Marker: {
        const WorldPoint p = view.ToView(item.Points.at(0));
        svg += "<circle" + role + " fill=\"" + HexColour(item.Colour) + "\" cx=\"" + Px(p.X) +
               "\" cy=\"" + Px(p.Y) + "\" r=\"" + Px(item.SizePx) + "\"/>\n";
        return;
    }
    case ItemKind::Text: {
        const WorldPoint p = view.ToView(item.Points.at(0));
        const char *anchor = item.Anchor == TextAnchor::Middle ? "middle"
                             : item.Anchor == TextAnchor::End  ? "end"
                                                               : "start";
        svg += "<text" + role + " fill=\"" + HexColour(item.Colour) + "\" font-size=\"" +
               Px(item.SizePx) + "\" text-anchor=\"" + anchor + "\" x=\"" +
               Px(p.X + item.ShiftXPx) + "\" y=\"" + Px(p.Y + item.ShiftYPx) + "\">" +
               Escape(item.Text) + "</text>\n";
        return;
    }
    }
}

void RenderPanel(std::string &svg, const Drawing &drawing, double left, double top, double width,
                 double height) {
    const ViewTransform view = FitDrawing(drawing, width, height, kMargin);
    svg += "<g class=\"drawing\" transform=\"translate(" + Px(left) + "," + Px(top) +
           ")\" data-left=\"" + Px(left) + "\" data-top=\"" + Px(top) + "\" data-scale-x=\"" +
           FormatDecimals(view.ScaleX, 9) + "\" data-scale-y=\"" + FormatDecimals(view.ScaleY, 9) +
           "\" data-origin-x=\"" + FormatDecimals(view.OriginX, 6) + "\" data-origin-y=\"" +
           FormatDecimals(view.OriginY, 6) + "\" data-margin=\"" + Px(kMargin) + "\">\n";
    svg += "<rect x=\"0.5\" y=\"0.5\" width=\"" + Px(width - 1) + "\" height=\"" + Px(height - 1) +
           "\" fill=\"white\" stroke=\"#cccccc\"/>\n";
    svg += "<text class=\"title\" x=\"8\" y=\"18\" font-size=\"13\" fill=\"#202020\">" +
           Escape(drawing.Title) + "</text>\n";
    if (!drawing.Empty())
        for (const DrawItem &item : drawing.Items)
            RenderItem(svg, item, view);
    double y = 14;
    for (const auto &[name, colour] : drawing.Legend) {
        svg += "<rect class=\"legend\" x=\"" + Px(width - 130) + "\" y=\"" + Px(y - 8) +
               "\" width=\"10\" height=\"10\" fill=\"" + HexColour(colour) + "\"/>";
        svg += "<text class=\"legend\" x=\"" + Px(width - 115) + "\" y=\"" + Px(y + 1) +
               "\" font-size=\"10\" fill=\"#202020\">" + Escape(name) + "</text>\n";
        y += 14;
    }
    svg += "</g>\n";
}

bool WriteText(const std::filesystem::path &path, const std::string &text, std::string &failure) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file || !file.write(text.data(), static_cast<std::streamsize>(text.size())) ||
        !file.flush()) {
        failure = "cannot write " + PathText(path);
        return false;
    }
    return true;
}

std::string Figure(const Deviation &d, const std::string &unit) {
    if (d.Chainage == kNullValue)
        return "-";
    return FormatDecimals(d.Value, kProofDecimals) + " " + Escape(unit) + " at " +
           ChainageText(d.Chainage);
}

std::string IndexHtml(const ReadBackDocument &document, const ProofReport *proof) {
    std::string html =
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Preview</title>\n"
        "<style>body{font-family:sans-serif;margin:16px}table{border-collapse:collapse}"
        "td,th{border:1px solid #ccc;padding:3px 8px;text-align:left}img{max-width:100%;"
        "border:1px solid #ccc;margin:8px 0}.failed{color:#d00000}</style></head><body>\n"
        "<h1>Preview</h1>\n";
    html += "<p>" + std::to_string(document.Alignments.size()) + " alignment(s)" +
            (document.Extended ? ", extended flavour" : "") + ". Elements that failed the " +
            "proof are drawn in red.</p>\n";
    if (proof && proof->Ran) {
        const std::string &unit = proof->Tolerances.Unit;
        html += std::string("<h2>Proof: ") +
                (proof->Passed ? "passed"
                               : "<span class=\"failed\">"
                                 "failed</span>") +
                "</h2>\n<p>Tolerances: plan " +
                FormatDecimals(proof->Tolerances.Plan, kProofDecimals) + " " + Escape(unit) +
                ", height " + FormatDecimals(proof->Tolerances.Height, kProofDecimals) + " " +
                Escape(unit) +
                ".</p>\n<table><tr><th>alignment</th><th>plan</th><th>height</th>"
                "<th>element ends</th><th>rail spread</th><th>rail heights</th>"
                "<th>cross-section offsets</th><th>cross-section heights</th>"
                "<th>listing gaps</th></tr>\n";
        for (const AlignmentProof &a : proof->Alignments)
            html += "<tr><td>" + Escape(a.Name) + "</td><td>" + Figure(a.Plan, unit) + "</td><td>" +
                    Figure(a.Height, unit) + "</td><td>" + Figure(a.ElementEnd, unit) +
                    "</td><td>" + Figure(a.RailSpread, unit) + "</td><td>" +
                    Figure(a.RailHeight, unit) + "</td><td>" + Figure(a.SectionOffset, unit) +
                    "</td><td>" + Figure(a.SectionHeight, unit) + "</td><td>" +
                    Figure(a.ImportedGap, unit) + "</td></tr>\n";
        html += "</table>\n";
        for (const ProofFailure &f : proof->Failures)
            html += "<p class=\"failed\">" + Escape(ProofFailureText(f, unit)) + "</p>\n";
    }
    html += "<h2>Plan</h2>\n<img src=\"plan.svg\" alt=\"plan\">\n"
            "<h2>Profile</h2>\n<img src=\"profile.svg\" alt=\"profile\">\n"
            "<h2>Cross sections</h2>\n<img src=\"sections.svg\" alt=\"cross sections\">\n"
            "</body></html>\n";
    return html;
}

} // namespace

std::string RenderSvg(const std::vector<Drawing> &drawings, std::size_t columns, double panelWidth,
                      double panelHeight) {
    columns =
        std::max<std::size_t>(1, std::min(columns, std::max<std::size_t>(drawings.size(), 1)));
    const std::size_t rows = std::max<std::size_t>(1, (drawings.size() + columns - 1) / columns);
    const double width = panelWidth * static_cast<double>(columns);
    const double height = panelHeight * static_cast<double>(rows);
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      Px(width) + "\" height=\"" + Px(height) + "\" viewBox=\"0 0 " + Px(width) +
                      " " + Px(height) + "\" font-family=\"sans-serif\">\n";
    for (std::size_t i = 0; i < drawings.size(); ++i)
        RenderPanel(svg, drawings[i], panelWidth * static_cast<double>(i % columns),
                    panelHeight * static_cast<double>(i / columns), panelWidth, panelHeight);
    if (drawings.empty())
        svg += "<text x=\"8\" y=\"18\" font-size=\"13\">Nothing to draw</text>\n";
    return svg + "</svg>\n";
}

bool WritePreview(const std::filesystem::path &folder, const ReadBackDocument &document,
                  const ProofReport *proof, std::size_t sectionsEvery, std::string &failure) {
    failure.clear();
    const bool ok = Guarded("WritePreview", false, [&] {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error || !std::filesystem::is_directory(folder)) {
            failure = "cannot create the folder " + PathText(folder);
            return false;
        }
        // The plan keeps its proportions within a wide panel.
        const Drawing plan = PlanDrawing(document, proof);
        const double spanX = std::max(plan.MaxX - plan.MinX, 1e-9);
        const double spanY = std::max(plan.MaxY - plan.MinY, 1e-9);
        const double planHeight = std::clamp(kPlanWidth * spanY / spanX, 400.0, 1400.0);
        const std::vector<Drawing> profiles = ProfileDrawings(document, proof);
        const LayerColours colours = LayerColoursOf(document);
        std::vector<Drawing> sections;
        for (const SectionRef &ref : SectionsEvery(document, sectionsEvery))
            sections.push_back(
                SectionDrawing(document, ref.Alignment, ref.CrossSect, colours, proof));
        return WriteText(folder / "plan.svg", RenderSvg({plan}, 1, kPlanWidth, planHeight),
                         failure) &&
               WriteText(folder / "profile.svg", RenderSvg(profiles, 1, kPlanWidth, kProfileHeight),
                         failure) &&
               WriteText(folder / "sections.svg",
                         RenderSvg(sections, kSectionColumns, kSectionWidth, kSectionHeight),
                         failure) &&
               WriteText(folder / "index.html", IndexHtml(document, proof), failure);
    });
    if (!ok && failure.empty())
        failure = "the preview could not be drawn (see the log)";
    return ok;
}

} // namespace vialto
