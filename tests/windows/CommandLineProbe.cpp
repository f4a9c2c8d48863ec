// Started by the Windows tests with a command line of their own making: reads
// it the way vialto-converter does and, where the wizard would open, prints
// what it understood (output path, road data name, program folder), one a
// line, in UTF-8.
#include "shell/AppModel.h"
#include "shell/Platform.h"
#include "shell/StartUp.h"

#include <iostream>

int main(int argc, char **argv) {
    vialto::UseUtf8Console();
    return vialto::StartUp(vialto::ProgramCommandLine(argc, argv), [] {
        vialto::clsAppModel &app = vialto::AppModel();
        std::cout << app.XmlFileToExport << "\n"
                  << app.ConversionInfo().RoadDataName << "\n"
                  << vialto::ProgramFolder() << "\n";
        return vialto::kExitFinished;
    });
}
