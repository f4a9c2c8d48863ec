#include "editors/EditorCommandLine.h"

#include "shell/Platform.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>

namespace vialto::editors {
namespace {

// The options of both programs; the argument after -l or -c is the file
// unless it is one of these (a path never is: the files page passes full
// paths).
bool IsOption(const std::string &arg, bool cantrix) {
    static constexpr std::array<std::string_view, 4> common = {"--template-out", "--check",
                                                               "--help", "-h"};
    static constexpr std::array<std::string_view, 4> cant = {"-d", "-d1", "-c", "-s"};
    const auto in = [&](const auto &list) {
        return std::find(list.begin(), list.end(), arg) != list.end();
    };
    return in(common) || (cantrix ? in(cant) : arg == "-l");
}

EditorCommand Parse(const std::vector<std::string> &args, bool cantrix) {
    EditorCommand command;
    bool templateAsked = false; // -s seen
    bool fileGiven = false;
    const auto fail = [&](std::string why) {
        if (command.Error.empty())
            command.Error = std::move(why);
    };
    const auto takeFile = [&](const std::string &file) {
        if (fileGiven)
            fail("more than one file given: '" + command.File + "' and '" + file + "'");
        command.File = file;
        fileGiven = true;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        const bool valueFollows = i + 1 < args.size() && !IsOption(args[i + 1], cantrix);
        if (arg == "--help" || arg == "-h") {
            command.Help = true;
        } else if (arg == "--check") {
            command.CheckOnly = true;
        } else if (arg == "--template-out") {
            if (!valueFollows || args[i + 1].empty())
                fail("--template-out needs a file name");
            else
                command.TemplateOut = args[++i];
        } else if ((!cantrix && arg == "-l") || (cantrix && arg == "-c")) {
            if (valueFollows && !args[i + 1].empty())
                takeFile(args[++i]);
            else if (valueFollows)
                ++i; // an empty file name: no file chosen
        } else if (cantrix && arg == "-s") {
            templateAsked = true;
        } else if (cantrix && (arg == "-d" || arg == "-d1")) {
            command.DoubleTrack = arg == "-d1";
        } else if (!arg.empty() && arg[0] == '-' &&
                   !std::filesystem::exists(vialto::Utf8Path(arg))) {
            fail("unknown option '" + arg + "'");
        } else if (!arg.empty()) {
            takeFile(arg); // a file given on its own, as a file manager does
        }
    }
    if (templateAsked && fileGiven)
        fail("-s makes a new table; it cannot go with the file '" + command.File + "'");
    if (fileGiven && !command.TemplateOut.empty())
        fail("--template-out is for a new file; '" + command.File + "' is opened instead");
    if (command.CheckOnly && !fileGiven && command.TemplateOut.empty())
        fail("--check without a file needs --template-out FILE for the new one");
    return command;
}

// Dialogs of the check mode: nobody to ask, so nothing is chosen or agreed.
class ConsoleDialogs final : public IEditorDialogs {
  public:
    explicit ConsoleDialogs(std::ostream &err) : err_(err) {}
    std::string AskSavePath(const std::string &, const std::string &,
                            const std::string &) override {
        return {};
    }
    bool Confirm(const std::string &) override { return false; }
    Unsaved AskUnsaved(const std::string &) override { return Unsaved::Cancel; }
    void Tell(const std::string &problem) override { err_ << problem << '\n'; }

  private:
    std::ostream &err_;
};

} // namespace

EditorCommand ParseTubrixArguments(const std::vector<std::string> &args) {
    return Parse(args, false);
}

EditorCommand ParseCantrixArguments(const std::vector<std::string> &args) {
    return Parse(args, true);
}

std::string TubrixUsage() {
    return "Usage: Tubrix [-l [FILE]] [--template-out FILE] [--check]\n"
           "  -l FILE              edit the tunnel profile set FILE\n"
           "  -l                   make a new tunnel profile set (asks where)\n"
           "  --template-out FILE  make the new set at FILE instead of asking\n"
           "  --check              show no window: print what the converter says about the\n"
           "                       file; exit 0 when it reads it, 1 when it refuses it\n";
}

std::string CantrixUsage() {
    return "Usage: Cantrix (-d | -d1) (-c [FILE] | -s) [--template-out FILE] [--check]\n"
           "  -d, -d1              the table of a single track, or of one track of a double track\n"
           "  -c FILE              edit the cant table FILE\n"
           "  -s, -c               make a new cant table (asks where)\n"
           "  --template-out FILE  make the new table at FILE instead of asking\n"
           "  --check              show no window: print what the converter says about the\n"
           "                       file; exit 0 when it reads it, 1 when it refuses it\n";
}

bool StartSession(EditorSession &session, const EditorCommand &command, IEditorDialogs &dialogs) {
    if (command.File.empty())
        return session.CreateTemplate(command.TemplateOut, dialogs);
    std::error_code ec;
    if (!std::filesystem::exists(vialto::Utf8Path(command.File), ec) &&
        dialogs.Confirm("The file '" + command.File + "' does not exist. Make a new " +
                        session.Kind().FileKind + " there?"))
        return session.CreateTemplate(command.File, dialogs);
    session.Open(command.File);
    return true;
}

int RunCheck(const EditorKind &kind, const EditorCommand &command, std::ostream &out,
             std::ostream &err) {
    EditorSession session(kind);
    ConsoleDialogs dialogs(err);
    if (!StartSession(session, command, dialogs))
        return 1;
    out << VerdictLine(session.Verdict()) << '\n';
    if (!session.Editable())
        err << "The " << kind.FileKind << " cannot be edited: " << session.LoadProblem() << '\n';
    return session.Verdict().Accepted ? 0 : 1;
}

} // namespace vialto::editors
