// The central error handler, the log file and the trace hook.
//
// ErrHandler turns our own error numbers into messages from the language file,
// shows unexpected errors with their source, treats 20000 as an assertion, and
// records errors in "ZMPA_Converters.log" in the system's temporary folder.
// Guarded() is the one way an operation makes its error boundary:
//
//     bool ImportThing(...) {
//         return Guarded("ImportThing", false, [&] { ...; return true; });
//     }
#pragma once

#include "shell/Error.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vialto {

// Shows and logs the error as its number says (nothing at all in add-on mode).
void ErrHandler(const ErrorInfo &error);

// Appends an error block ("==== MM-DD-YYYY  HH:MM:SS ====" then
// "Error: <number> <description> in <source>") to the log.
void LogError(const ErrorInfo &error);
// Appends "Msg <text>" to the log.
void LogMessage(const std::string &text);

// The log file: the temporary folder + "ZMPA_Converters.log", or the bare name
// (relative to the current folder) when there is no temporary folder.
std::filesystem::path LogFilePath();

// The trace hook every operation calls with ">> name" and "<< name". It
// discards its texts.
inline void Trace(std::string_view) {}

void SetAssertionsSilenced(bool silenced);

// Keeps a copy of every error handed to ErrHandler while it lives, in order,
// besides showing and logging them as usual (even in add-on mode). For a
// caller that shows a reader's reason in a window of its own, as the sibling
// editors do. Recorders nest; the innermost one records. One thread only.
class ErrorRecorder {
  public:
    ErrorRecorder();
    ~ErrorRecorder();
    ErrorRecorder(const ErrorRecorder &) = delete;
    ErrorRecorder &operator=(const ErrorRecorder &) = delete;

    const std::vector<ErrorInfo> &Errors() const { return errors_; }

  private:
    friend void ErrHandler(const ErrorInfo &error);
    ErrorRecorder *outer_;
    std::vector<ErrorInfo> errors_;
};

// Holds back, into `errors` and in order, every error handed to ErrHandler on
// this thread while it lives, instead of showing or logging it: for work
// split between threads, whose errors only the thread that split it may show,
// after the join and in the order one thread doing all the work would have
// raised them (see HandOnErrors). Holds nest; the innermost one holds.
class HeldErrors {
  public:
    explicit HeldErrors(std::vector<ErrorInfo> &errors);
    ~HeldErrors();
    HeldErrors(const HeldErrors &) = delete;
    HeldErrors &operator=(const HeldErrors &) = delete;

  private:
    friend void ErrHandler(const ErrorInfo &error);
    HeldErrors *outer_;
    std::vector<ErrorInfo> &errors_;
};

// Hands every held error to ErrHandler on the calling thread, list by list.
void HandOnErrors(const std::vector<std::vector<ErrorInfo>> &held);

// Runs body; on any failure sets the source, hands the error to ErrHandler and
// returns failureValue. Returns body's result otherwise.
template <class R, class Body> R Guarded(std::string_view source, R failureValue, Body &&body) {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        ErrHandler(CurrentErrorInfo(source));
        return failureValue;
    }
}

// For operations with no result value: returns true when body completed.
template <class Body> bool GuardedRun(std::string_view source, Body &&body) {
    return Guarded(source, false, [&] {
        std::forward<Body>(body)();
        return true;
    });
}

} // namespace vialto
