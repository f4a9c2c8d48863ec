// The layers of src/ as the README's "Architecture" describes them: a new
// folder or edge goes into both.
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

// A folder's layer (0 the bottom) and the folders of its own layer it may
// include from.
struct FolderRule {
    int Layer;
    std::set<std::string> Siblings;
};

const std::map<std::string, FolderRule> kRules = {
    {"shell", {0, {}}},
    {"model", {1, {}}},
    {"geometry", {2, {}}},
    {"import", {3, {}}},
    {"landxml", {3, {}}},
    {"crosssection", {3, {"import", "landxml"}}},
    {"railtunnel", {3, {"landxml"}}},
    {"check", {3, {"railtunnel"}}},
    {"verify", {3, {}}},
    {"preview", {3, {"verify"}}},
    {"wizard", {4, {}}},
    {"batch", {4, {"wizard"}}},
    {"editors", {4, {}}},
    {"gui", {5, {}}},
};

bool IsQtHeader(const std::string &path) {
    return path.size() > 1 && path[0] == 'Q' &&
           (path[1] == 't' || std::isupper(static_cast<unsigned char>(path[1])));
}

// fn(path relative to root, line number, line) for each line of the sources.
template <class Fn> void ForEachSourceLine(const std::filesystem::path &root, Fn fn) {
    for (const auto &entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::string extension = entry.path().extension().string();
        if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp"))
            continue;
        const std::string where = std::filesystem::relative(entry.path(), root).generic_string();
        std::ifstream in(entry.path());
        std::string line;
        for (long number = 1; std::getline(in, line); ++number)
            fn(where, number, line);
    }
}

// Every include under root (laid out as src/) that breaks the rules.
std::vector<std::string> LayerViolations(const std::filesystem::path &root) {
    // An include line's opening quote or bracket, and its path.
    static const std::regex include(R"(^\s*#\s*include\s*(["<])([^">]*)[">])");
    std::vector<std::string> found;
    for (const auto &folder : std::filesystem::directory_iterator(root))
        if (folder.is_directory() && !kRules.count(folder.path().filename().string()))
            found.push_back(folder.path().filename().string() + ": a folder without a layer");
    ForEachSourceLine(root, [&](const std::string &where, long number, const std::string &line) {
        const std::string name = where.substr(0, where.find('/'));
        const auto rule = kRules.find(name);
        std::smatch included;
        if (rule == kRules.end() || !std::regex_search(line, included, include))
            return;
        const std::string path = included[2];
        const std::string at = where + ":" + std::to_string(number) + ": ";
        if (name != "gui" && IsQtHeader(path))
            found.push_back(at + "includes Qt");
        const std::size_t slash = path.find('/');
        if (included[1] != '"' || slash == std::string::npos)
            return;
        const std::string target = path.substr(0, slash);
        const auto to = kRules.find(target);
        if (to == kRules.end())
            found.push_back(at + "includes from \"" + target + "\", a folder without a layer");
        else if (target != name && to->second.Layer >= rule->second.Layer &&
                 !rule->second.Siblings.count(target))
            found.push_back(
                at + "includes from " + target + ", " +
                (to->second.Layer > rule->second.Layer ? "a layer above" : "a sibling"));
    });
    std::sort(found.begin(), found.end());
    return found;
}

// Calls that differ between Windows and Linux, and path conversions that would
// take a UTF-8 name in the ANSI code page on Windows, outside the platform seam.
std::vector<std::string> PlatformCallsOutsideTheSeam(const std::filesystem::path &root) {
    static const std::regex call(R"(_WIN32|/proc/self|getpwuid|getenv|temp_directory_path|)"
                                 R"(fopen|read_symlink|CommandLine[AW]|\.string\(\)|)"
                                 R"(std::filesystem::path\()");
    std::vector<std::string> found;
    ForEachSourceLine(root, [&](const std::string &where, long number, const std::string &line) {
        if (where.rfind("shell/Platform.", 0) != 0 && std::regex_search(line, call))
            found.push_back(where + ":" + std::to_string(number) + ": " + line);
    });
    std::sort(found.begin(), found.end());
    return found;
}

std::string Joined(const std::vector<std::string> &lines) {
    std::string text;
    for (const std::string &line : lines)
        text += line + "\n";
    return text;
}

} // namespace

TEST(Layers, SourcesIncludeOnlyDownwardsAndOnlyTheGuiIncludesQt) {
    EXPECT_EQ(Joined(LayerViolations(vialto::test::SourcePath("src"))), "");
}

TEST(Layers, PlatformCallsStayInTheShellsSeam) {
    for (const char *root : {"src", "apps"})
        EXPECT_EQ(Joined(PlatformCallsOutsideTheSeam(vialto::test::SourcePath(root))), "");
}

// The checks themselves, on a small tree with one fault of each kind.
TEST(Layers, TheChecksNameEachFaultWithItsPlace) {
    vialto::test::TempDir dir;
    const auto write = [&](const std::string &file, const std::string &text) {
        std::filesystem::create_directories((dir / file).parent_path());
        vialto::test::WriteFileBytes(dir / file, text);
    };
    write("model/Store.cpp", "#include \"model/Store.h\"\n#include \"shell/Text.h\"\n"
                             "  #  include \"railtunnel/Tunnel.h\"\n");
    write("import/Reader.cpp", "#include \"landxml/LandXmlWriter.h\"\n#include <vector>\n");
    write("crosssection/Rules.h", "#include \"import/CrSecSet.h\"\n#include \"wizard/Job.h\"\n");
    write("wizard/Page.cpp", "#include <QWidget>\n#include \"misc/Thing.h\"\n");
    write("gui/Window.cpp", "#include <QtWidgets/QMainWindow>\n#include \"batch/RunConvert.h\"\n");
    write("extras/Extra.h", "");
    EXPECT_EQ(Joined(LayerViolations(dir.Path())),
              "crosssection/Rules.h:2: includes from wizard, a layer above\n"
              "extras: a folder without a layer\n"
              "import/Reader.cpp:1: includes from landxml, a sibling\n"
              "model/Store.cpp:3: includes from railtunnel, a layer above\n"
              "wizard/Page.cpp:1: includes Qt\n"
              "wizard/Page.cpp:2: includes from \"misc\", a folder without a layer\n");
    write("shell/Platform.cpp", "#ifdef _WIN32\n");
    write("editors/Save.cpp", "auto p = std::filesystem::path(name);\nname.filename().string();\n"
                              "PathText(name);\n");
    EXPECT_EQ(Joined(PlatformCallsOutsideTheSeam(dir.Path())),
              "editors/Save.cpp:1: auto p = std::filesystem::path(name);\n"
              "editors/Save.cpp:2: name.filename().string();\n");
}
