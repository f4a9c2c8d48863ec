// Helpers shared by the tests: the error a call raises, a recording fake of the
// user interface, a temporary folder that removes itself, file helpers and
// named tolerances.
#pragma once

#include "shell/Error.h"
#include "shell/UserInterface.h"

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vialto::test {

// The error a call raises; number 0 when it raises none.
inline ErrorInfo ErrorOf(const std::function<void()> &body) {
    try {
        body();
    } catch (const VialtoError &e) {
        return e.Info();
    }
    return {};
}

// Tolerances, one per quantity.
inline constexpr double kPositionTol = 1e-6; // metres
inline constexpr double kGradeTol = 1e-9;    // fraction

// Records every message and save dialog; answers messages from a queue
// (default: OK / Yes), the save dialog with "" (cancelled), and never exits.
class RecordingUi final : public IUserInterface {
  public:
    struct Message {
        std::string Text;
        MsgIcon Icon;
        MsgButtons Buttons;
    };
    std::vector<Message> Messages;
    std::vector<std::string> SaveDialogs; // proposed names
    std::deque<MsgResult> Answers;

    RecordingUi() { SetUserInterface(this); }
    ~RecordingUi() override { SetUserInterface(nullptr); }
    RecordingUi(const RecordingUi &) = delete;
    RecordingUi &operator=(const RecordingUi &) = delete;

    MsgResult ShowMessage(const std::string &text, MsgIcon icon, MsgButtons buttons) override;
    std::string AskSaveFile(const std::string &, const std::string &proposedName) override {
        SaveDialogs.push_back(proposedName);
        return {};
    }
    void ExitProcess(int) override {}
};

// A progress that records its calls and requests cancel after `cancelAfter`
// steps (never when negative).
class RecordingProgress final : public IProgress {
  public:
    explicit RecordingProgress(long cancelAfter = -1) : cancelAfter_(cancelAfter) {}
    std::vector<std::string> Captions;
    long Steps = 0;
    bool Finished = false;
    void Start(const std::string &caption, double, double) override { Captions.push_back(caption); }
    void Step(double) override { ++Steps; }
    bool CancelRequested() override { return cancelAfter_ >= 0 && Steps >= cancelAfter_; }
    void Finish() override { Finished = true; }

  private:
    long cancelAfter_;
};

// A fresh folder under the system's temporary folder, removed with its
// contents at the end of the test.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    const std::filesystem::path &Path() const { return path_; }
    std::filesystem::path operator/(const std::string &name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// A fresh folder that stands as the system's temporary folder (where the error
// log goes: TMPDIR, on Windows TMP) while it lives; the earlier setting comes
// back after.
class TempLogFolder : public TempDir {
  public:
    TempLogFolder();
    ~TempLogFolder();

  private:
    std::optional<std::string> old_;
};

std::string ReadFileBytes(const std::filesystem::path &path);
void WriteFileBytes(const std::filesystem::path &path, const std::string &bytes);
// The names of what a folder holds, sorted.
std::vector<std::string> FolderNames(const std::filesystem::path &folder);

// The source tree's folder for a relative path ("samples/...").
std::filesystem::path SourcePath(const std::string &relative);
// A bundled sample file ("rail/single.plt" is samples/rail/single.plt).
std::string SamplePath(const std::string &name);

// Validates an XML file against the LandXML 1.2 schema with xmllint; returns
// "" when valid, otherwise xmllint's complaints. A Windows build has no
// xmllint to run and passes every file: the Linux build checks the same
// documents, which scripts/test-windows.sh requires to be byte-identical.
std::string ValidateLandXml(const std::filesystem::path &file);
// Whether this build validates at all.
bool CanValidateXml();
// Whether the file is well-formed XML (xmllint without a schema), the same way.
std::string CheckWellFormedXml(const std::filesystem::path &file);

} // namespace vialto::test
