#include "support/TestSupport.h"

#include "shell/Platform.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace vialto::test {

MsgResult RecordingUi::ShowMessage(const std::string &text, MsgIcon icon, MsgButtons buttons) {
    Messages.push_back({text, icon, buttons});
    if (!Answers.empty()) {
        const MsgResult answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    return buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
}

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device seed;
    path_ = std::filesystem::temp_directory_path() /
            ("vialto-test-" + std::to_string(seed()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

namespace {

// The variable the system's temporary folder comes from.
#ifdef _WIN32
constexpr const char *kTemporaryVariable = "TMP";
void SetVariable(const char *name, const std::optional<std::string> &value) {
    _putenv_s(name, value ? value->c_str() : ""); // "" removes it
}
#else
constexpr const char *kTemporaryVariable = "TMPDIR";
void SetVariable(const char *name, const std::optional<std::string> &value) {
    value ? setenv(name, value->c_str(), 1) : unsetenv(name);
}
#endif

} // namespace

TempLogFolder::TempLogFolder() {
    if (const char *old = std::getenv(kTemporaryVariable))
        old_ = old;
    SetVariable(kTemporaryVariable, Path().string());
}

TempLogFolder::~TempLogFolder() { SetVariable(kTemporaryVariable, old_); }

std::string ReadFileBytes(const std::filesystem::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

void WriteFileBytes(const std::filesystem::path &path, const std::string &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::vector<std::string> FolderNames(const std::filesystem::path &folder) {
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        names.push_back(PathText(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

std::filesystem::path SourcePath(const std::string &relative) {
    return std::filesystem::path(VIALTO_SOURCE_DIR) / relative;
}

std::string SamplePath(const std::string &name) { return SourcePath("samples/" + name).string(); }

namespace {

// Runs xmllint with the arguments; "" when it succeeds, otherwise what it said.
std::string RunXmllint(const std::string &arguments) {
#if VIALTO_HAVE_XMLLINT
    const std::string command = "xmllint " + arguments + " 2>&1";
    std::string output;
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        return "cannot run xmllint";
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    const int status = pclose(pipe);
    return status == 0 ? std::string() : output;
#else
    (void)arguments;
    return {};
#endif
}

// A shell word that stands for the text whatever it holds: in single quotes,
// each single quote closed, escaped and reopened.
std::string ShellWord(const std::string &text) {
    std::string word = "'";
    for (const char c : text)
        word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return word + "'";
}

} // namespace

bool CanValidateXml() { return VIALTO_HAVE_XMLLINT; }

std::string ValidateLandXml(const std::filesystem::path &file) {
    return RunXmllint("--noout --schema " + ShellWord(VIALTO_SCHEMA) + " " +
                      ShellWord(file.string()));
}

std::string CheckWellFormedXml(const std::filesystem::path &file) {
    return RunXmllint("--noout " + ShellWord(file.string()));
}

} // namespace vialto::test
