#include "editors/SaveFile.h"

#include "shell/Platform.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace vialto::editors {
namespace {

namespace fs = std::filesystem;

// A name beside the target that no file has yet: ".<name>.<stamp>-<n>.tmp".
fs::path FreeWorkName(const fs::path &target) {
    const auto stamp = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count() % 1000000007ULL);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::error_code ec;
    for (unsigned n = 0;; ++n) {
        fs::path candidate = folder / ("." + vialto::PathText(target.filename()) + "." +
                                       std::to_string(stamp) + "-" + std::to_string(n) + ".tmp");
        if (!fs::exists(candidate, ec) || n >= 1000)
            return candidate;
    }
}

} // namespace

std::string SaveReplacing(const std::string &path, const std::string &bytes) {
    const fs::path target = vialto::Utf8Path(path);
    std::error_code ec;
    if (target.filename().empty() || fs::is_directory(target, ec))
        return "Cannot save '" + path + "': it is a folder, not a file";
    const fs::path work = FreeWorkName(target);
    {
        std::ofstream out(work, std::ios::binary | std::ios::trunc);
        if (!out)
            return "Cannot save '" + path + "': no file can be created in its folder";
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            fs::remove(work, ec);
            return "Cannot save '" + path + "': the file could not be written completely";
        }
    }
    // A file that is replaced keeps its permissions.
    const fs::file_status old = fs::status(target, ec);
    if (!ec && fs::is_regular_file(old))
        fs::permissions(work, old.permissions(), ec);
    fs::rename(work, target, ec);
    if (ec) {
        const std::string reason = ec.message();
        fs::remove(work, ec);
        return "Cannot save '" + path + "': " + reason;
    }
    return {};
}

} // namespace vialto::editors
