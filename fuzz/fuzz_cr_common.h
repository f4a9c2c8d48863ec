// Shared by the cross-section fuzz targets: reads the bytes as one form of
// the listing, checks the reader's promises, and runs the rules (and, when
// asked, the export) on what was read.
#pragma once

#include "crosssection/CrSec.h"
#include "crosssection/CrSecExport.h"
#include "import/CrListing.h"
#include "landxml/LandXmlHead.h"
#include "landxml/LandXmlWriter.h"
#include "model/AlignmentStore.h"
#include "shell/AppModel.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace vialto::fuzz {

inline int ReadAndRule(const std::uint8_t *data, std::size_t size, std::string_view extension,
                       bool exportToo) {
    AppModel().SetAddOnMode(true); // no message boxes, no log file
    static const bool storeReady = [] {
        ResetAlignments();
        AddAlignment();
        VtAlignment vt = MakeOneBased<VtElement>(1);
        SetAligmentVt(1, vt);
        return true;
    }();
    (void)storeReady;
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    CrossSectionSet set;
    ListingFailure failure;
    const bool ok = ReadCrListing(bytes, extension, set, &failure, "fuzz");
    // Success means at least one station, each with a surface of a known
    // layer and at least one point; failure always says why.
    if (ok == set.Stations.empty() || (!ok && failure.Reason.empty()))
        std::abort();
    for (const CrossSection &station : set.Stations)
        for (const CrSecSurface &surface : station.Surfaces)
            if (surface.Layer >= set.Layers.size() || surface.Points.empty())
                std::abort();
    if (!ok)
        return 0;
    NullProgress progress;
    SetDefaultCodes(set, "");
    if (!ApplyRules(set, "", progress, false))
        std::abort();
    for (const CrossSection &station : set.Stations)
        for (const CrSecSurface &surface : station.Surfaces)
            for (const CrSecPoint &point : surface.Points)
                if (point.Code.empty())
                    std::abort(); // the rules code every point of a ruled layer
    if (exportToo) {
        static const std::filesystem::path out =
            std::filesystem::temp_directory_path() / "vialto_fuzz_cr.xml";
        SetOutputFile(out.string());
        double first = 0, last = 0;
        if (TagLandXML(false) && !Export2LandXML(first, last, set, "", 0, 0, progress, false))
            std::abort();
        DiscardOutput();
    }
    return 0;
}

} // namespace vialto::fuzz
