#include "wizard/ExportProof.h"

#include "railtunnel/RailComputation.h"
#include "railtunnel/Superelevation.h"
#include "shell/ErrHandler.h"

#include <memory>

namespace vialto {

ImportedRails ImportedRailsOfSlot(SlotNumber slot, const std::string &stringline) {
    const std::shared_ptr<clsSuperelevation> table = GetAligmentSup(slot);
    ImportedRails rails;
    rails.Gauge = table->Gauge();
    rails.Base = table->SuperelevationBase();
    if (ExistAlignment(flagVt, slot))
        rails.Heights = ViewAligmentVt(slot);
    else if (TStringLine line; GetAligmentStrLnWithName(line, slot, stringline))
        rails.Heights = line.Vt;
    rails.At = [table, slot](double chainage) {
        RailDesign design;
        const CantAtChainage cant = CantAt(*table, chainage);
        if (!cant.Found)
            return design;
        HzElement element;
        GetAligmentHzWithChainage(element, slot, chainage);
        const RailRise rise = RiseOfRails(cant, element.Radius);
        design.Found = true;
        design.RiseLeft = rise.Left;
        design.RiseRight = rise.Right;
        design.WidthExcess = cant.WidthExcess;
        design.WideningApplies = table->WidthExcessType() == widthHalfToBothRails ||
                                 table->GetLowerRailSmart(slot, chainage) != lowerRailNone;
        return design;
    };
    return rails;
}

ProofReport ProveExport(const std::filesystem::path &document, const ImportedDesign &design,
                        const JobDescription &job) {
    ProofTolerances tolerances;
    tolerances.Plan = job.ToleranceHz;
    tolerances.Height = job.ToleranceVt;
    tolerances.Unit = LinearUnitWord(job.LinearUnits);
    ProofReport failed;
    failed.Ran = true;
    failed.Tolerances = tolerances;
    failed.Failures.push_back({"", ProofCheck::Document, kNullValue, 0, 0,
                               "the proof could not be completed (see the log)"});
    return Guarded("ProveExport", failed, [&] {
        return ProveDocumentFile(document, design, tolerances, job.KeepReadBack);
    });
}

} // namespace vialto
