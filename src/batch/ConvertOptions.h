// The options of the batch command line: one table that gives each option's
// name (also its job-file key), its argument, its help line and what it sets
// in the job; the --help text built from it; and the reading of the command
// line's arguments into a job description.
#pragma once

#include "wizard/JobDescription.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vialto {

struct ConvertOption {
    const char *Name;     // the flag without "--"; also the job-file key
    const char *Argument; // "" for a switch; "FILE" or "DIR" for a path
    const char *Help;
    // Applies the value to the job; returns "" or what is wrong with the value.
    std::function<std::string(JobDescription &, const std::string &)> Apply;

    bool TakesPath() const {
        return std::string(Argument) == "FILE" || std::string(Argument) == "DIR";
    }
};

// Every option a job can be given with, in the order --help lists them.
const std::vector<ConvertOption> &ConvertOptions();
// The option of that name; nullptr for an unknown one.
const ConvertOption *FindConvertOption(const std::string &name);

// The --help text.
std::string ConvertUsageText();

// Reads the arguments (without the program name) into a job. On a usage
// error returns nothing and sets `error` to a one-line hint. `helpWanted` is
// set for --help.
std::optional<JobDescription> ParseConvertArguments(const std::vector<std::string> &args,
                                                    std::string &error, bool &helpWanted);

} // namespace vialto
