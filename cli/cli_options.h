// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <vector>

#include "output/list_writers.h"

namespace doze {

// What the command line asked for.
struct CliOptions {
    enum class Action { List, Help, Version, UsageError } action = Action::List;
    ListFormat format = ListFormat::Text;
    bool tags = false;            // durations, stream facts and tags of each file
    bool exactDurations = false;  // count the frames where a file has no frame count
    bool force = false;
    bool quiet = false;  // no warnings about folders and files that could not be read
    std::string folder;
    std::string output;  // "-" for standard output
    std::string error;   // for UsageError: what was wrong, when getopt has not said it
};

// Reads `dozedozovo-list [--format FORMAT] [--tags] [--exact-durations]
// [--force] [--quiet] FOLDER OUTPUT` (plus --html, --help, --version; "--"
// ends the options) with getopt_long; `args` starts with the program's name.
CliOptions ParseCliOptions(const std::vector<std::string>& args);

// The one-line usage text.
std::string UsageLine();

}  // namespace doze
