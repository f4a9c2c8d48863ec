// Job files of the batch command line: "key = value" lines whose keys are the
// option names, with "#" comments and blank lines; a relative path is taken
// from the job file's folder so that a job moves with its inputs.
#pragma once

#include "wizard/JobDescription.h"

#include <string>
#include <vector>

namespace vialto {

// Reads the job file into `job`, over what it already holds. False with
// `error` set ("<path>, line N: ...") on an unknown key, a bad value or an
// unreadable file. The keys read are appended to `keysRead` when given.
bool ReadJobFile(const std::string &path, JobDescription &job, std::string &error,
                 std::vector<std::string> *keysRead = nullptr);

} // namespace vialto
