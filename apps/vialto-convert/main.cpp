// vialto-convert: the batch command line. Converts one job given by flags or a
// job file; see --help.
#include "batch/RunConvert.h"
#include "shell/AppModel.h"

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char **argv) {
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        self = std::filesystem::absolute(argv[0], ec);
    vialto::SetProgramFolder(self.parent_path().string());
    return vialto::RunConvert(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                              std::cerr);
}
