// vialto-converter: the converter the field software starts. It reads its
// command line ("-reg", "-o", "-n", "-OstLandXml"), loads the language file
// and runs the wizard.
#include "shell/Platform.h"
#include "shell/StartUp.h"

#ifdef VIALTO_WITH_QT
#include "gui/QtSettingsStore.h"
#include "gui/QtUserInterface.h"
#include "gui/RunWizard.h"

#include <QApplication>
#include <optional>
#else
#include <iostream>
#endif

int main(int argc, char **argv) {
    vialto::UseUtf8Console();
    vialto::UseLargeHeapPages();
#ifdef VIALTO_WITH_QT
    // The application object is made when a window is first needed, so that
    // "-reg" with an output path needs no display.
    std::optional<QApplication> application;
    vialto::QtUserInterface ui([&] {
        if (!application)
            application.emplace(argc, argv);
    });
    vialto::SetUserInterface(&ui);
    const int code = vialto::StartUp(vialto::ProgramCommandLine(argc, argv), [&] {
        if (!application)
            application.emplace(argc, argv);
        vialto::QtSettingsStore settings;
        return vialto::RunWizard(settings);
    });
    vialto::SetUserInterface(nullptr);
    return code;
#else
    return vialto::StartUp(vialto::ProgramCommandLine(argc, argv), [] {
        std::cerr << "The wizard is not available in this build.\n";
        return vialto::kExitStopped;
    });
#endif
}
