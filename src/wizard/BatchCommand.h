// The batch command line "vialto-convert": reads a job from flags or from a
// job file into a JobDescription, runs the import stage, refuses to write
// when anything failed or is out of tolerance, runs the export stage and
// prints the import tree and the summary of what was written.
//
// Exit codes: 0 written; 2 an imported item failed or is out of tolerance
// (nothing written); 3 the export failed (no output left at the path);
// 64 a usage error.
#pragma once

#include "wizard/JobDescription.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace vialto {

inline constexpr int kConvertWritten = 0;
inline constexpr int kConvertImportFailed = 2;
inline constexpr int kConvertExportFailed = 3;
inline constexpr int kConvertUsage = 64;

// The --help text.
std::string ConvertUsageText();

// Reads the arguments (without the program name) into a job. On a usage
// error returns nothing and sets `error` to a one-line hint. `helpWanted` is
// set for --help.
std::optional<JobDescription> ParseConvertArguments(const std::vector<std::string> &args,
                                                    std::string &error, bool &helpWanted);

// Reads a job file ("key = value" lines with the flag names as keys, "#"
// comments; relative paths are taken from the job file's folder) into `job`.
// False with `error` set on an unknown key, a bad value or an unreadable file.
bool ReadJobFile(const std::string &path, JobDescription &job, std::string &error);

// The whole command: parse, import, export, print. Returns the exit code.
int RunConvert(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

} // namespace vialto
