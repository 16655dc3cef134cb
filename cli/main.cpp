// dozedozovo-list: the list-generation run without windows.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/live_count.h"
#include "output/list_writers.h"
#include "output/safe_file.h"
#include "output/size_format.h"
#include "output/write_failure.h"
#include "search/errors.h"
#include "search/search_state.h"
#include "search/walker.h"

namespace {

enum ExitCode {
    kOk = 0,
    kNothingFound = 1,
    kUsage = 2,
    kExists = 3,
    kSearchFailed = 4,
    kWriteFailed = 5,
};

void Say(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
}

void Complain(const std::string& line) {
    Say("dozedozovo-list: " + line);
}

class StderrReporter : public doze::CompletionReporter {
  public:
    void ListComplete(std::int32_t count) override { Say(doze::CompletionText(count)); }
};

void PrintHelp() {
    std::printf(
        "%s\n\n"
        "Lists every *.mp3 file below FOLDER with its size in megabytes, grouped by\n"
        "folder, as plain text (the default) or as an HTML page, into OUTPUT.\n\n"
        "  --html     write an HTML page instead of plain text\n"
        "  --force    replace OUTPUT if it exists\n"
        "  --help     show this help and exit\n"
        "  --version  show the version and exit\n\n"
        "OUTPUT \"-\" writes to standard output. The file is replaced only once the\n"
        "whole list has been written.\n\n"
        "Exit status: 0 list written, 1 no MP3 files found, 2 usage error or FOLDER\n"
        "not a folder, 3 OUTPUT exists (no --force), 4 search failed, 5 write failed.\n",
        doze::UsageLine().c_str());
}

// FOLDER made absolute and normalised; nullopt after a complaint.
std::optional<std::string> ResolveFolder(const std::string& folder) {
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(folder.c_str(), nullptr),
                                                     &std::free);
    if (!real) {
        Complain(folder + ": " + doze::SystemErrorText(errno));
        return std::nullopt;
    }
    struct stat st {};
    if (::stat(real.get(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        Complain(folder + ": not a folder");
        return std::nullopt;
    }
    return std::string(real.get());
}

int Run(const doze::CliOptions& options) {
    const std::optional<std::string> root = ResolveFolder(options.folder);
    if (!root) return kUsage;
    const bool toStdout = options.output == "-";
    if (!toStdout && !options.force && doze::TargetExists(options.output)) {
        Complain(options.output + ": the file exists; use --force to replace it");
        return kExists;
    }

    doze::SearchState state;
    doze::SearchParams params;
    state.SearchRoot = *root;
    doze::BeginRun(state, params);
    std::optional<doze::LiveCount> live;
    if (::isatty(STDERR_FILENO) == 1) live.emplace(STDERR_FILENO);
    try {
        doze::RunSearch(params, state, live ? &*live : nullptr);
    } catch (const doze::Failure& failure) {
        if (live) live->Finish();
        doze::ReleaseList(state);
        Complain(failure.what());
        return kSearchFailed;
    }
    if (live) live->Finish();
    if (!doze::EndSearch(state)) {
        doze::ReleaseList(state);
        Say("No MP3 files were found in the search path.");
        return kNothingFound;
    }

    const doze::ListJob job{state.SearchRoot, &state.FoundList, doze::LocaleDecimalSeparator()};
    StderrReporter reporter;
    int code = kOk;
    try {
        const auto format = options.html ? doze::ListFormat::Html : doze::ListFormat::Text;
        if (toStdout) {
            doze::DescriptorSink out(STDOUT_FILENO, "standard output");
            doze::WriteList(format, job, out, reporter);
        } else {
            doze::WriteList(format, job, options.output, reporter);
        }
    } catch (const doze::Failure& failure) {
        Complain(failure.what());
        code = kWriteFailed;
    }
    doze::ReleaseList(state);
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_NUMERIC, "");
    const doze::CliOptions options =
        doze::ParseCliOptions(std::vector<std::string>(argv + 1, argv + argc));
    switch (options.action) {
        case doze::CliOptions::Action::Help:
            PrintHelp();
            return kOk;
        case doze::CliOptions::Action::Version:
            std::printf("dozedozovo-list %s\n", DOZE_VERSION);
            return kOk;
        case doze::CliOptions::Action::UsageError:
            Complain(options.error);
            Say(doze::UsageLine());
            return kUsage;
        case doze::CliOptions::Action::List:
            break;
    }
    return Run(options);
}
