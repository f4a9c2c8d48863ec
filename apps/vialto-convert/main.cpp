// vialto-convert: the batch command line. Converts one job given by flags or a
// job file; see --help.
#include "batch/RunConvert.h"
#include "shell/Platform.h"

#include <iostream>

int main(int argc, char **argv) {
    vialto::UseUtf8Console();
    vialto::UseLargeHeapPages();
    return vialto::RunConvert(vialto::ProgramArguments(argc, argv), std::cout, std::cerr);
}
