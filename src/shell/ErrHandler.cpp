#include "shell/ErrHandler.h"

#include "shell/AppModel.h"
#include "shell/Platform.h"
#include "shell/UserInterface.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <optional>

namespace vialto {

namespace {

ErrorRecorder *&InnermostRecorder() {
    static ErrorRecorder *recorder = nullptr;
    return recorder;
}

HeldErrors *&InnermostHold() {
    thread_local HeldErrors *hold = nullptr;
    return hold;
}

bool &Silenced() {
    static bool silenced = false;
    return silenced;
}

std::string Timestamp() {
    const std::tm local =
        LocalTime(std::chrono::system_clock::to_time_t(std::chrono::system_clock::now()));
    char text[64];
    std::snprintf(text, sizeof text, "%02d-%02d-%04d  %02d:%02d:%02d", local.tm_mon + 1,
                  local.tm_mday, local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

// Appends lines to the log; a log that cannot be written is not reported.
void AppendToLog(const std::string &lines) {
    std::ofstream log(LogFilePath(), std::ios::binary | std::ios::app);
    if (log)
        log << lines;
}

void Show(const std::string &text, MsgIcon icon) {
    UserInterface().ShowMessage(text, icon, MsgButtons::Ok);
}

} // namespace

std::filesystem::path LogFilePath() {
    const std::optional<std::filesystem::path> folder = TemporaryFolder();
    return folder ? *folder / "ZMPA_Converters.log" : "ZMPA_Converters.log";
}

void LogError(const ErrorInfo &error) {
    AppendToLog("==== " + Timestamp() + " ====\r\nError: " + std::to_string(error.Number) + " " +
                error.Description + " in " + error.Source + "\r\n");
    Trace("Error: " + std::to_string(error.Number) + " " + error.Description + " in " +
          error.Source);
}

void LogMessage(const std::string &text) {
    AppendToLog("Msg " + text + "\r\n");
    Trace(text);
}

ErrorRecorder::ErrorRecorder() : outer_(InnermostRecorder()) { InnermostRecorder() = this; }
ErrorRecorder::~ErrorRecorder() { InnermostRecorder() = outer_; }

HeldErrors::HeldErrors(std::vector<ErrorInfo> &errors) : outer_(InnermostHold()), errors_(errors) {
    InnermostHold() = this;
}
HeldErrors::~HeldErrors() { InnermostHold() = outer_; }

void HandOnErrors(const std::vector<std::vector<ErrorInfo>> &held) {
    for (const std::vector<ErrorInfo> &errors : held)
        for (const ErrorInfo &error : errors)
            ErrHandler(error);
}

void SetAssertionsSilenced(bool silenced) { Silenced() = silenced; }

void ErrHandler(const ErrorInfo &error) {
    if (HeldErrors *hold = InnermostHold()) {
        hold->errors_.push_back(error);
        return;
    }
    if (ErrorRecorder *recorder = InnermostRecorder())
        recorder->errors_.push_back(error);
    const clsAppModel &app = AppModel();
    if (app.AddOnMode())
        return;
    switch (error.Number) {
    case errMessage:
        Show(error.Description, MsgIcon::Critical);
        LogError(error);
        Trace("<< ErrHandler");
        break;
    case errNotFillAll:
        Show(Token("E_NOTFILLALL"), MsgIcon::Warning);
        break;
    case errSameName:
        Show(Token("E_SAMENAME"), MsgIcon::Warning);
        break;
    case errNotFindXmlElement:
        Show(Token("E_NOTFINDXMLELM"), MsgIcon::Warning);
        break;
    case errOpenLandXml:
        Show(Token("E_OPENLANDXML") + "\r\n" + error.Description, MsgIcon::Warning);
        break;
    case errNoValidFile:
        Show(Token("E_NOVALIDFILE"), MsgIcon::Warning);
        break;
    case errFileSuper:
        Show(Token("E_FILE_SUPER"), MsgIcon::Warning);
        break;
    case errFileSuperVersion:
        Show(Token("E_FILE_SUPER_VER"), MsgIcon::Warning);
        break;
    case errAssert:
        if (app.DebugMode && !Silenced()) {
            const MsgResult answer = UserInterface().ShowMessage(
                "ASSERT in " + error.Source + "\r\n" + error.Description + "\r\n\r\n" +
                    "Press 'Cancel' to do not show again assert message box in current debuging",
                MsgIcon::Warning, MsgButtons::OkCancel);
            if (answer == MsgResult::Cancel)
                Silenced() = true;
        }
        LogError(error);
        break;
    default:
        Show("Unhandler Error in " + error.Source + "\r\n" + error.Description, MsgIcon::Critical);
        LogError(error);
        Trace("<< ErrHandler");
        break;
    }
}

} // namespace vialto
