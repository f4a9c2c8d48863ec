// A user's hands on the wizard window for its tests: widgets found by their
// object names, buttons clicked and boxes typed into with QTest; and a program
// folder, settings store, log folder and output path of the run's own, so
// that nothing touches the user's real settings.
#pragma once

#include "gui/frmWizard.h"
#include "support/TestSupport.h"

#include <QString>
#include <QTest>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

namespace vialto::test {

// Points the settings store (in whatever format) at the folder.
void PointSettingsAt(const QString &folder);

// The pictures of the pages the wizard window's tests pass, taken when
// vialto-screenshots runs them: saved into Folder as PNGs, with the samples
// typed in copied to Demo first, so that the paths the pictures show are the
// same on every machine. No pictures while Folder is empty.
struct Screenshots {
    std::filesystem::path Folder, Demo;
    int Saved = 0;
};
inline Screenshots TheScreenshots;

// The program folder (with the language file and, when asked, a stand-in for
// the tunnel profile editor), the settings store and the temporary folder of
// one run, all under one temporary folder.
class WizardEnvironment {
  public:
    explicit WizardEnvironment(bool tunnelEditor = true);
    ~WizardEnvironment();

    // Start-up as the program does it, for the converter offering `formats`.
    void StartUp(int formats, const std::filesystem::path &output);
    std::filesystem::path Folder() const { return dir_.Path(); }
    std::filesystem::path ProgramFolder() const { return dir_ / "program"; }
    // The number of keys stored in a settings section.
    static int KeysIn(const QString &section);
    // The preferences' keys: both sections.
    static int PreferenceKeys() { return KeysIn("Preferences") + KeysIn("Vialto"); }

  private:
    TempLogFolder dir_; // the error log goes here too
};

class WizardDriver {
  public:
    explicit WizardDriver(frmWizard &wizard) : wizard_(wizard) {}

    template <class T = QWidget> T *Find(const QString &name) const {
        return wizard_.findChild<T *>(name);
    }
    // Clicks the named button where a user would: on the indicator of a tick
    // box or option button.
    void Click(const QString &name);
    void Next() { Click(QStringLiteral("cmdNext")); }
    void Back() { Click(QStringLiteral("cmdBack")); }
    // The job type's option button, then Next.
    void ChooseJob(int jobType);
    // Rows named "p.s" (page p, slot s), each shown, its path typed into the
    // row's box and the box left.
    void TypeFiles(std::initializer_list<std::pair<const char *, std::string>> rows);
    // Replaces the text of a box (or of a numeric box) by typing.
    void TypeInto(const QString &name, const QString &text);
    void ShowFilesPage(int page);
    // Ticks or clears a layer on the exporting page with the space bar.
    void TickLayer(const QString &layer, bool ticked);
    // While pictures are taken, the window at its default size with device
    // pixel ratio 1, saved as the named PNG.
    void Shot(const std::string &name) const;

  private:
    frmWizard &wizard_;
};

// One wizard window on a run of its own: start-up for the formats, the window
// opened and shown, and a driver for it.
class WizardSession {
  public:
    WizardSession(int formats, const std::filesystem::path &output, bool tunnelEditor = true);
    WizardEnvironment &Environment() { return environment_; }
    frmWizard &Window() { return *window_; }
    WizardDriver &Hands() { return *hands_; }

  private:
    WizardEnvironment environment_;
    std::unique_ptr<ISettings> settings_;
    std::unique_ptr<frmWizard> window_;
    std::unique_ptr<WizardDriver> hands_;
};

} // namespace vialto::test
