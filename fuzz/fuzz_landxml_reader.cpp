// Feeds arbitrary bytes to the reader of our own documents. A document that
// is read must evaluate and draw without hanging or failing: every element
// at its start and end, every profile, the plan, the profiles and the first
// cross sections of the preview, and the proof against a design of the same
// alignments without geometry.
#include "preview/PreviewDrawings.h"
#include "preview/SvgPreview.h"
#include "shell/AppModel.h"
#include "verify/DocumentGeometry.h"
#include "verify/DocumentReader.h"
#include "verify/Proof.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static const bool quiet = [] {
        vialto::AppModel().SetAddOnMode(true); // the error handler shows nothing
        return true;
    }();
    (void)quiet;
    std::string text(reinterpret_cast<const char *>(data), size);
    auto document = std::make_shared<vialto::ReadBackDocument>();
    std::string failure;
    if (!vialto::ParseLandXmlDocument(text, *document, failure))
        return 0;
    vialto::ImportedDesign design;
    for (const vialto::DocAlignment &alignment : document->Alignments) {
        for (const vialto::DocElement &element : alignment.Elements) {
            const double length = vialto::DocElementLength(element);
            if (length <= vialto::kMaxFollowedSpan)
                vialto::DocElementPoses(element, {0, length});
        }
        for (const vialto::DocProfAlign &align : alignment.Profile) {
            const vialto::DocProfile profile(align);
            double height = 0;
            profile.HeightAt(profile.Begin(), height);
            profile.HeightAt((profile.Begin() + profile.End()) / 2, height);
        }
        design.Alignments.push_back({alignment.Name, {}, {}, {}, {}});
    }
    const vialto::ProofReport proof = vialto::ProveDocument(document, design, {});
    vialto::PlanDrawing(*document, &proof);
    vialto::ProfileDrawings(*document, &proof);
    const vialto::LayerColours colours = vialto::LayerColoursOf(*document);
    for (const vialto::SectionRef &ref : vialto::SectionsEvery(*document, 50))
        vialto::RenderSvg(
            {vialto::SectionDrawing(*document, ref.Alignment, ref.CrossSect, colours, &proof)}, 1,
            400, 300);
    return 0;
}
