// The GUI tests' main: the application object on the offscreen platform
// (unless a display is asked for), a fixed style and font, and a settings
// store in a temporary folder before any test runs.
#include "gui/support/WizardDriver.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char **argv) {
    vialto::test::UseOffscreenPlatform();
    QApplication application(argc, argv);
    vialto::test::FixLook();
    const QTemporaryDir settings;
    vialto::test::PointSettingsAt(settings.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
