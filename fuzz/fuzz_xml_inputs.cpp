// Feeds arbitrary bytes, as a file, to the two XML readers: the cant table
// and the tunnel profile set. A table that loads must answer slopes along its
// whole range, and a profile set that loads must hand over its root as one
// well-formed line, since that line goes into the document unchanged.
#include "railtunnel/Superelevation.h"
#include "railtunnel/Tunnel.h"
#include "shell/AppModel.h"
#include "shell/ErrHandler.h"

#include <pugixml.hpp>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

const std::string &InputPath() {
    static const std::string path = [] {
        std::random_device seed;
        return (std::filesystem::temp_directory_path() /
                ("vialto_fuzz_xml_" + std::to_string(seed()) + ".xml"))
            .string();
    }();
    static const bool removedAtExit = [] {
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove(InputPath(), ignored);
        });
        return true;
    }();
    (void)removedAtExit;
    return path;
}

void CheckTable(const vialto::clsSuperelevation &table) {
    const double start = table.GetChainageStart();
    const double end = table.GetChainageEnd();
    for (int i = -1; i <= 11; ++i) {
        const double chainage = start + (end - start) * i / 10.0;
        const long station = table.FindStation(chainage);
        if (station >= static_cast<long>(table.Stations().size()))
            std::abort();
        // Impossible cants raise and are reported; what comes back is finite.
        const double slope =
            vialto::Guarded("fuzz", 0.0, [&] { return table.GetSlopeInChainage(chainage); });
        if (!std::isfinite(slope) && !std::isnan(chainage))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    vialto::AppModel().SetAddOnMode(true); // no message boxes, no log file
    {
        std::ofstream out(InputPath(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
    }
    vialto::clsSuperelevation table;
    if (table.Import(InputPath(), 2))
        CheckTable(table);

    vialto::clsTunnel tunnel;
    if (tunnel.Load(InputPath())) {
        pugi::xml_document copy;
        if (!copy.load_string(tunnel.Text().c_str()) || !copy.first_child())
            std::abort();
        if (tunnel.Text().find_first_of("\r\n") != std::string::npos)
            std::abort();
        if (tunnel.GetChainages().empty())
            std::abort();
    }
    return 0;
}
