// vialto-converter: the converter the field software starts. It reads its
// command line ("-reg", "-o", "-n", "-OstLandXml"), loads the language file
// and runs the wizard.
#include "shell/Platform.h"
#include "shell/StartUp.h"

#include <iostream>

int main(int argc, char **argv) {
    vialto::UseUtf8Console();
    return vialto::StartUp(vialto::ProgramCommandLine(argc, argv), [] {
        std::cerr << "The wizard is not available in this build.\n";
        return vialto::kExitStopped;
    });
}
