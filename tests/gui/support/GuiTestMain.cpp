// The GUI tests' main: the application object on the offscreen platform
// (unless a display is asked for), a fixed style and font, and a settings
// store in a temporary folder before any test runs. Built as
// vialto-screenshots FOLDER, it runs the wizard window's tests, which save a
// picture of each page they pass into FOLDER.
#include "gui/support/WizardDriver.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <iostream>

int main(int argc, char **argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion")); // so that pictures do not drift
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    const QTemporaryDir settings;
    vialto::test::PointSettingsAt(settings.path());
#ifdef VIALTO_SCREENSHOTS
    if (argc != 2) {
        std::cerr << "usage: vialto-screenshots FOLDER\n";
        return 64;
    }
    auto &shots = vialto::test::TheScreenshots;
    shots.Folder = std::filesystem::absolute(argv[1]);
    shots.Demo = std::filesystem::path(QDir::tempPath().toStdString()) / "Vialto demo";
    std::filesystem::remove_all(shots.Demo);
    std::filesystem::create_directories(shots.Demo);
    std::filesystem::create_directories(shots.Folder);
    ::testing::GTEST_FLAG(filter) = "WizardWindow.*";
    argc = 1;
#endif
    ::testing::InitGoogleTest(&argc, argv);
    const int failed = RUN_ALL_TESTS();
#ifdef VIALTO_SCREENSHOTS
    std::filesystem::remove_all(shots.Demo);
    std::cout << shots.Saved << " screenshots\n";
    return failed == 0 && shots.Saved == 17 ? 0 : 1;
#else
    return failed;
#endif
}
