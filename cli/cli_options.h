#pragma once
#include <string>
#include <vector>

namespace doze {

// What the command line asked for.
struct CliOptions {
    enum class Action { List, Help, Version, UsageError } action = Action::List;
    bool html = false;
    bool force = false;
    bool quiet = false;  // no warnings about folders that could not be listed
    std::string folder;
    std::string output;  // "-" for standard output
    std::string error;   // for UsageError: what was wrong
};

// Reads `dozedozovo-list [--html] [--force] [--quiet] FOLDER OUTPUT` (plus --help,
// --version; "--" ends the options).
CliOptions ParseCliOptions(const std::vector<std::string>& args);

// The one-line usage text.
std::string UsageLine();

}  // namespace doze
