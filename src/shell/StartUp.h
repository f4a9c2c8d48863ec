// Start-up of the program: the command line ("-reg", "-o", "-n",
// "-OstLandXml"), the registration record that describes the converter to the
// host, the language file, and the process exit codes.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vialto {

// Process exit codes.
inline constexpr int kExitFinished = 0;
inline constexpr int kExitStopped = 1; // "-reg" done, no output chosen, an error, no language file
inline constexpr int kExitCancelled = 1223;

inline constexpr const char *kLanguageFileName = "StridonV2.lng";

// Rebuilds the single command-line text the program reads from an argument
// vector: arguments are joined by one blank, and the value after "-o" or "-n"
// (or any argument holding a blank) is put in double quotes unless it already
// is, as the host's command line has it. An option never counts as a value.
std::string CommandLineFromArgs(const std::vector<std::string> &args);

// The command line the program reads: on Windows the text exactly as the
// caller passed it, elsewhere rebuilt from the arguments by
// CommandLineFromArgs.
std::string ProgramCommandLine(int argc, char **argv);

// Reads the command line into the application model. Returns true when the
// wizard is to run; false after writing the registration record ("-reg"),
// when the save dialog was cancelled, or after an error (reported as
// "ReadLineCommand").
bool ReadLineCommand(const std::string &commandLine);

// Writes the four-line registration record to `path` (CR LF line ends).
void WriteRegistrationRecord(const std::string &path);

// The file name the save dialog proposes: "out_v" + major.minor.revision + ".xml".
std::string ProposedOutputName();

// Start-up steps 1 and 2, shared by both programs: the application model back
// to its start state (no test run, no debug mode) and the supported formats
// set to the tunnel job.
void ResetApplication();

// Start-up step 4: reads the language file kLanguageFileName from the program
// folder. False when it cannot be read (texts then show their tokens).
bool LoadLanguageFile();

// Start-up steps 1 to 5: reset the application model, set the supported
// formats, read the command line, load the language file, then run the
// wizard. Returns the process exit code; `runWizard` returns the wizard's.
int StartUp(const std::string &commandLine, const std::function<int()> &runWizard);

} // namespace vialto
