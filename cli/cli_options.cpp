// SPDX-License-Identifier: MIT
#include "cli/cli_options.h"

#include <getopt.h>

#include "output/list_formats.h"

namespace doze {
namespace {

enum LongOnly { kFormat = 256, kHtml, kTags, kExactDurations, kForce, kVersion };

constexpr option kOptions[] = {
    {"format", required_argument, nullptr, kFormat},
    {"html", no_argument, nullptr, kHtml},
    {"tags", no_argument, nullptr, kTags},
    {"exact-durations", no_argument, nullptr, kExactDurations},
    {"force", no_argument, nullptr, kForce},
    {"quiet", no_argument, nullptr, 'q'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersion},
    {nullptr, 0, nullptr, 0},
};

CliOptions UsageError(CliOptions options, std::string error) {
    options.action = CliOptions::Action::UsageError;
    options.error = std::move(error);
    return options;
}

std::string FormatNames() {
    std::string names;
    for (const ListFormatInfo& info : ListFormats()) {
        if (!names.empty()) names += '|';
        names += info.option;
    }
    return names;
}

}  // namespace

std::string UsageLine() {
    return "usage: dozedozovo-list [--format " + FormatNames() +
           "] [--tags] [--exact-durations] [--force] [--quiet] FOLDER OUTPUT";
}

CliOptions ParseCliOptions(const std::vector<std::string>& args) {
    std::vector<std::string> copies(args);
    std::vector<char*> argv;
    argv.reserve(copies.size() + 1);
    for (std::string& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(args.size());
    CliOptions options;
    optind = 0;  // a fresh scan
    for (int c; (c = ::getopt_long(argc, argv.data(), "qh", kOptions, nullptr)) != -1;) {
        switch (c) {
            case kFormat: {
                const ListFormatInfo* info = FindFormat(optarg);
                if (info == nullptr) {
                    return UsageError(options, std::string("unknown format '") + optarg +
                                                   "' (formats: " + FormatNames() + ")");
                }
                options.format = info->id;
                break;
            }
            case kHtml:
                options.format = ListFormat::Html;
                break;
            case kTags:
                options.tags = true;
                break;
            case kExactDurations:
                options.tags = options.exactDurations = true;
                break;
            case kForce:
                options.force = true;
                break;
            case 'q':
                options.quiet = true;
                break;
            case 'h':
                options.action = CliOptions::Action::Help;
                return options;
            case kVersion:
                options.action = CliOptions::Action::Version;
                return options;
            default:  // getopt_long has said what was wrong
                return UsageError(options, {});
        }
    }
    if (options.tags && !FormatInfo(options.format).audioFacts) {
        return UsageError(options,
                          std::string("--tags and --exact-durations do not apply to --format ") +
                              FormatInfo(options.format).option);
    }
    const int operands = argc - optind;
    if (operands != 2) {
        return UsageError(options,
                          operands < 2 ? "FOLDER and OUTPUT are needed" : "too many arguments");
    }
    options.folder = args[static_cast<std::size_t>(optind)];
    options.output = args[static_cast<std::size_t>(optind) + 1];
    return options;
}

}  // namespace doze
