#include "shell/StartUp.h"

#include "shell/AppModel.h"
#include "shell/ErrHandler.h"
#include "shell/Platform.h"
#include "shell/Text.h"
#include "shell/UserInterface.h"

#include <fstream>
#include <optional>

namespace vialto {

namespace {

bool IsQuoted(const std::string &arg) {
    return arg.size() >= 2 && arg.front() == '"' && arg.back() == '"';
}

bool IsOption(const std::string &token) {
    return token == "-reg" || token == "-o" || token == "-n" || token == "-OstLandXml";
}

// Token at i, raising "Subscript out of range" past the end as the classic
// array access did.
const std::string &TokenAt(const std::vector<std::string> &tokens, std::size_t i) {
    if (i >= tokens.size())
        RaiseRuntime(errSubscript, "the command line ends after an option that needs a value");
    return tokens[i];
}

// The value token after "-o" or "-n" at i; an option there means the value
// is missing, never that the option is the value.
const std::string &ValueAfter(const std::vector<std::string> &tokens, std::size_t i) {
    const std::string &value = TokenAt(tokens, i + 1);
    if (IsOption(value))
        RaiseRuntime(errSubscript, tokens[i] + " needs a quoted value, found " + value);
    return value;
}

} // namespace

std::string CommandLineFromArgs(const std::vector<std::string> &args) {
    std::string line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        const bool isValue =
            i > 0 && (args[i - 1] == "-o" || args[i - 1] == "-n") && !IsOption(arg);
        const bool quote = (isValue || arg.find(' ') != std::string::npos) && !IsQuoted(arg);
        if (i > 0)
            line += ' ';
        line += quote ? "\"" + arg + "\"" : arg;
    }
    return line;
}

std::string ProgramCommandLine(int argc, char **argv) {
    if (std::optional<std::string> raw = RawCommandLine())
        return *raw;
    return CommandLineFromArgs(ProgramArguments(argc, argv));
}

std::string ProposedOutputName() {
    const ProgramVersion v = GetProgramVersion();
    return "out_v" + std::to_string(v.Major) + "." + std::to_string(v.Minor) + "." +
           std::to_string(v.Revision) + ".xml";
}

void WriteRegistrationRecord(const std::string &path) {
    std::ofstream record(Utf8Path(path), std::ios::binary | std::ios::trunc);
    if (!record)
        RaiseRuntime(errFileNotFound, path);
    const clsConverterInfo &info = AppModel().ConverterInfo();
    record << "[Info]\r\n"
           << "Name=" << info.sName << "\r\n"
           << "Description=" << info.sDescription << "\r\n"
           << "Format=" << SupportedFormatNames(SupportedFormats()) << "\r\n";
    record.close();
    if (!record)
        RaiseRuntime(errFileNotFound, path);
}

bool ReadLineCommand(const std::string &commandLine) {
    Trace(">> ReadLineCommand");
    const bool result = Guarded("ReadLineCommand", false, [&] {
        clsAppModel &app = AppModel();
        const std::vector<std::string> tokens = Split(commandLine, " ");
        bool registerConverter = false;
        for (std::size_t i = 0; i < tokens.size(); ++i) {
            const std::string &token = tokens[i];
            if (token == "-reg") {
                registerConverter = true;
            } else if (token == "-o") {
                const std::string &next = ValueAfter(tokens, i);
                if (EndsWith(next, "\"")) {
                    app.XmlFileToExport = ExtractText(next, "\"", "\"", 1);
                } else {
                    std::string collected;
                    for (;;) {
                        ++i;
                        collected += TokenAt(tokens, i);
                        if (EndsWith(tokens[i], "\""))
                            break;
                        collected += " ";
                    }
                    app.XmlFileToExport = ExtractText(collected, "\"", "\"", 1);
                }
            } else if (token == "-n") {
                app.ConversionInfo().RoadDataName =
                    ExtractText(ValueAfter(tokens, i), "\"", "\"", 1);
            } else if (token == "-OstLandXml") {
                // The option names the extended flavour: it selects it.
                app.IsOstXML = true;
            }
        }
        if (app.XmlFileToExport.empty()) {
            if (app.RunTests &&
                UserInterface().ShowMessage("Do you really want to execute the tests?",
                                            MsgIcon::Question, MsgButtons::YesNo) == MsgResult::No)
                app.RunTests = false;
            // The regression runner is not part of this program: no test list
            // ever yields an output path, so the save dialog asks for it.
            app.XmlFileToExport =
                UserInterface().AskSaveFile("File xml (*.XML)|*.XML|", ProposedOutputName());
            if (app.XmlFileToExport.empty())
                return false;
        }
        if (registerConverter) {
            WriteRegistrationRecord(app.XmlFileToExport);
            return false;
        }
        return true;
    });
    Trace("<< ReadLineCommand");
    return result;
}

void ResetApplication() {
    clsAppModel &app = AppModel();
    app.Reset();
    SetSupportedFormats(fmtTunnel);
    app.RunTests = false;
    app.DebugMode = false;
}

bool LoadLanguageFile() { return AppModel().TokenFile().ReadFile(kLanguageFileName); }

int StartUp(const std::string &commandLine, const std::function<int()> &runWizard) {
    ResetApplication();
    if (!ReadLineCommand(commandLine))
        return kExitStopped;
    if (!LoadLanguageFile()) {
        UserInterface().ShowMessage(
            "Cannot find 'StridonV2.lng'. Please, reinstall this application.", MsgIcon::Critical,
            MsgButtons::Ok);
        return kExitStopped;
    }
    return runWizard();
}

} // namespace vialto
