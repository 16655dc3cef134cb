#include "cli/cli_options.h"

namespace doze {

std::string UsageLine() {
    return "usage: dozedozovo-list [--html] [--force] [--quiet] FOLDER OUTPUT";
}

CliOptions ParseCliOptions(const std::vector<std::string>& args) {
    CliOptions options;
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
            operands.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--html") {
            options.html = true;
        } else if (arg == "--force") {
            options.force = true;
        } else if (arg == "--quiet" || arg == "-q") {
            options.quiet = true;
        } else if (arg == "--help" || arg == "-h") {
            options.action = CliOptions::Action::Help;
            return options;
        } else if (arg == "--version") {
            options.action = CliOptions::Action::Version;
            return options;
        } else {
            options.action = CliOptions::Action::UsageError;
            options.error = "unknown option " + arg;
            return options;
        }
    }
    if (operands.size() != 2) {
        options.action = CliOptions::Action::UsageError;
        options.error = operands.size() < 2 ? "FOLDER and OUTPUT are needed" : "too many arguments";
        return options;
    }
    options.folder = operands[0];
    options.output = operands[1];
    return options;
}

}  // namespace doze
