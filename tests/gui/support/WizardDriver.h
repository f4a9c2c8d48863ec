// A user's hands on the wizard window for the tests and the screenshots:
// widgets are found by their object names, buttons clicked and boxes typed
// into with QTest, as a user would; and a program folder, settings store,
// log folder and output path of the run's own, so that nothing touches the
// user's real settings.
#pragma once

#include "gui/frmWizard.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QString>
#include <QTest>

#include <filesystem>
#include <memory>
#include <string>

namespace vialto::test {

// Before the application object: Qt's offscreen platform, unless a display
// is asked for with QT_QPA_PLATFORM.
void UseOffscreenPlatform();
// After it: a fixed style and font, so that pictures do not drift between
// machines.
void FixLook();
// Points the settings store (in whatever format) at the folder.
void PointSettingsAt(const QString &folder);

// The program folder (with the language file and, when asked, a stand-in for
// the tunnel profile editor), the QSettings store and the temporary folder of
// one run, all under one temporary folder.
class WizardEnvironment {
  public:
    explicit WizardEnvironment(bool tunnelEditor = true);
    ~WizardEnvironment();
    WizardEnvironment(const WizardEnvironment &) = delete;
    WizardEnvironment &operator=(const WizardEnvironment &) = delete;

    // Start-up as the program does it, for the converter offering `formats`:
    // application model reset, language file read, the output path set.
    void StartUp(int formats, const std::filesystem::path &output);
    std::filesystem::path Folder() const { return dir_.Path(); }
    std::filesystem::path ProgramFolder() const { return dir_ / "program"; }
    // A sample of the repository ("listings/road.plt").
    static std::string Sample(const std::string &relative);
    // The number of keys stored in a settings section.
    static int KeysIn(const QString &section);

  private:
    TempDir dir_;
    std::string oldTmp_;
    bool hadTmp_ = false;
};

class WizardDriver;

// One wizard window on a run of its own: start-up for the formats, the window
// opened and shown, and a driver for it.
class WizardSession {
  public:
    WizardSession(int formats, const std::filesystem::path &output, bool tunnelEditor = true);
    ~WizardSession();
    WizardEnvironment &Environment() { return environment_; }
    frmWizard &Window() { return *window_; }
    WizardDriver &Hands() { return *hands_; }

  private:
    WizardEnvironment environment_;
    std::unique_ptr<ISettings> settings_;
    std::unique_ptr<frmWizard> window_;
    std::unique_ptr<WizardDriver> hands_;
};

class WizardDriver {
  public:
    explicit WizardDriver(frmWizard &wizard) : wizard_(wizard) {}

    template <class T = QWidget> T *Find(const QString &name) const {
        return wizard_.findChild<T *>(name);
    }
    // Clicks the named button (or tick box, or option button) where a user
    // would: on its indicator for tick boxes and option buttons.
    void Click(const QString &name);
    void Next() { Click(QStringLiteral("cmdNext")); }
    void Back() { Click(QStringLiteral("cmdBack")); }
    void Cancel() { Click(QStringLiteral("cmdCancel")); }
    // Types the path into a file row's box and leaves the box.
    void TypeFile(int page, int slot, const std::string &path);
    // Replaces the text of a box (or of a numeric box) by typing.
    void TypeInto(const QString &name, const QString &text);
    // Goes to an input-files page with the page buttons.
    void ShowFilesPage(int page);
    // Ticks or clears a layer on the exporting page with the space bar.
    void TickLayer(const QString &layer, bool ticked);
    // The window at its default size with device pixel ratio 1.
    QImage Grab() const;

  private:
    frmWizard &wizard_;
};

} // namespace vialto::test
