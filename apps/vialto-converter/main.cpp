// vialto-converter: the converter the field software starts. It reads its
// command line ("-reg", "-o", "-n", "-OstLandXml"), loads the language file
// and runs the wizard.
#include "shell/AppModel.h"
#include "shell/StartUp.h"

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace {

std::string ExecutableFolder(const char *argv0) {
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        self = std::filesystem::absolute(argv0, ec);
    return self.parent_path().string();
}

} // namespace

int main(int argc, char **argv) {
    vialto::SetProgramFolder(ExecutableFolder(argv[0]));
    const std::vector<std::string> args(argv + 1, argv + argc);
    return vialto::StartUp(vialto::CommandLineFromArgs(args), [] {
        std::cerr << "The wizard is not available in this build.\n";
        return vialto::kExitStopped;
    });
}
