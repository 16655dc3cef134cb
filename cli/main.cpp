// SPDX-License-Identifier: MIT
// dozedozovo-list: the list-generation run without windows.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli_options.h"
#include "cli/search_report.h"
#include "output/internal_error.h"
#include "output/list_run.h"
#include "output/list_writers.h"
#include "output/message_text.h"
#include "output/safe_file.h"
#include "output/write_failure.h"
#include "search/errors.h"
#include "search/result.h"
#include "search/unique_fd.h"

namespace {

enum ExitCode {
    kOk = 0,
    kNothingFound = 1,
    kUsage = 2,
    kExists = 3,
    kSearchFailed = 4,
    kWriteFailed = 5,
};

// Every message goes out as one line of what it says: names from outside
// cannot move the cursor, retitle the terminal or reorder the text.
void Say(const std::string& line) {
    std::fprintf(stderr, "%s\n", doze::SafeMessageText(line).c_str());
}

void Complain(const std::string& line) {
    Say("dozedozovo-list: " + line);
}

void PrintHelp() {
    std::printf(
        "%s\n\n"
        "Lists every *.mp3 file below FOLDER with its size, grouped by folder, into\n"
        "OUTPUT: as plain text with sizes in megabytes (the default), as an HTML page,\n"
        "or, for spreadsheets and scripts, as CSV or JSON with exact byte counts.\n\n"
        "  --format FORMAT    text (the default), html, csv, json, or catalog: a page\n"
        "                     that searches, sorts and folds the list as you type\n"
        "  --html             the same as --format html\n"
        "  --tags             csv, json and catalog: each file's duration, bitrate,\n"
        "                     sample rate, channels and tags (artist, album, title,\n"
        "                     track, year, genre); json adds totals of files, bytes\n"
        "                     and duration\n"
        "  --exact-durations  --tags, and count the frames of every file that does not\n"
        "                     give its frame count in a header (reads each such file)\n"
        "  --force            replace OUTPUT if it exists\n"
        "  --quiet            no warnings about folders and files that could not be read\n"
        "  --help             show this help and exit\n"
        "  --version          show the version and exit\n\n"
        "OUTPUT \"-\" writes to standard output. The file is replaced only once the\n"
        "whole list has been written. In CSV a field that begins with = + - @, a tab or\n"
        "a carriage return gets a leading ' so that no spreadsheet runs it as a formula.\n\n"
        "Exit status: 0 list written, 1 no MP3 files found, 2 usage error or FOLDER\n"
        "not a folder, 3 OUTPUT exists (no --force), 4 search failed, 5 write failed.\n",
        doze::UsageLine().c_str());
}

// The real path of the folder `folder` names, of any length: from realpath,
// or, where a realpath cannot give one longer than PATH_MAX, as the working
// folder's path from inside it.
doze::Result<std::string> RealFolderPath(const std::string& folder) {
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(folder.c_str(), nullptr),
                                                           &std::free);
    if (real) return std::string(real.get());
    if (errno != ENAMETOOLONG) return doze::LastError("realpath", folder);
    const doze::UniqueFd here(::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC), ::close);
    if (!here) return doze::LastError("open", ".");
    const doze::UniqueFd there(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC), ::close);
    if (!there) return doze::LastError("open", folder);
    if (::fchdir(there.Get()) != 0) return doze::LastError("fchdir", folder);
    const std::unique_ptr<char, decltype(&std::free)> cwd(::getcwd(nullptr, 0), &std::free);
    const doze::SystemError lost = doze::LastError("getcwd", folder);
    // Nothing may be written from another folder.
    if (::fchdir(here.Get()) != 0) return doze::LastError("fchdir", ".");
    if (!cwd) return lost;
    return std::string(cwd.get());
}

// FOLDER made absolute and normalised; nullopt after a complaint. It is
// checked as the user named it: its absolute path may be longer than one
// system call takes (a working folder deeper than PATH_MAX), and the search
// opens such a path piece by piece.
std::optional<std::string> ResolveFolder(const std::string& folder) {
    const doze::Result<std::string> real = RealFolderPath(folder);
    struct stat st {};
    if (!real || ::stat(folder.c_str(), &st) != 0) {
        const int err = real ? errno : real.Error().code;
        Complain(doze::MessagePath(folder) + ": " + doze::SystemErrorText(err));
        return std::nullopt;
    }
    if (!S_ISDIR(st.st_mode)) {
        Complain(doze::MessagePath(folder) + ": not a folder");
        return std::nullopt;
    }
    return *real;
}

// False, after a complaint, when OUTPUT cannot be written at all (its folder
// is missing or closed to this user, it is a folder): said before the search.
bool OutputWritable(const doze::CliOptions& options) {
    if (options.output == "-") return true;
    try {
        doze::CheckWritable(options.output);
        return true;
    } catch (const doze::WriteFailure& failure) {
        Complain(failure.what());
        return false;
    }
}

// The companion's side of a run: the live count on a terminal, messages on
// standard error, OUTPUT named on the command line.
class CliFrontEnd : public doze::RunFrontEnd {
  public:
    explicit CliFrontEnd(const doze::CliOptions& options)
        : options_(options), live_(STDERR_FILENO, ::isatty(STDERR_FILENO) == 1, options.quiet) {}
    doze::SearchProgress* Progress() override { return &live_; }
    bool RootMustBeListed() const override { return true; }
    void SearchEnded() override { live_.Finish(); }
    void NothingFound() override { Say("No MP3 files were found in the search path."); }
    std::optional<doze::AudioReadOptions> AudioWanted() const override {
        if (!options_.tags) return std::nullopt;
        doze::AudioReadOptions audio;
        audio.exactDurations = options_.exactDurations;
        return audio;
    }
    std::optional<doze::ListTarget> ChooseTarget(doze::ListFormat& format) override {
        format = options_.format;
        return doze::ListTarget{options_.output, options_.output == "-", options_.force};
    }
    bool ReplaceAppeared(const std::string& path) override {
        ComplainExists(path);
        return false;
    }
    void Failed(doze::RunOutcome, const std::string& message) override { Complain(message); }
    void ListComplete(std::int32_t count) override { Say(doze::CompletionText(count)); }

    static void ComplainExists(const std::string& path) {
        Complain(doze::MessagePath(path) + ": the file exists; use --force to replace it");
    }

  private:
    const doze::CliOptions& options_;
    doze::SearchReport live_;
};

int Run(const doze::CliOptions& options) {
    const std::optional<std::string> root = ResolveFolder(options.folder);
    if (!root) return kUsage;
    // Checked before the search too, so that a long search is not made in vain.
    if (options.output != "-" && !options.force && doze::TargetExists(options.output)) {
        CliFrontEnd::ComplainExists(options.output);
        return kExists;
    }
    if (!OutputWritable(options)) return kWriteFailed;
    doze::SearchState state;
    state.SearchRoot = *root;
    CliFrontEnd frontEnd(options);
    switch (doze::GenerateList(state, frontEnd)) {
        case doze::RunOutcome::Written:
            return kOk;
        case doze::RunOutcome::NothingFound:
            return kNothingFound;
        case doze::RunOutcome::Declined:
            return kExists;
        case doze::RunOutcome::SearchFailed:
            return kSearchFailed;
        case doze::RunOutcome::WriteFailed:
            break;
    }
    return kWriteFailed;
}

}  // namespace

int main(int argc, char** argv) {
    doze::TreatEscapesAsFaults("dozedozovo-list");
    std::setlocale(LC_NUMERIC, "");
    const doze::CliOptions options =
        doze::ParseCliOptions(std::vector<std::string>(argv, argv + argc));
    switch (options.action) {
        case doze::CliOptions::Action::Help:
            PrintHelp();
            return kOk;
        case doze::CliOptions::Action::Version:
            std::printf("dozedozovo-list %s\n", DOZE_VERSION);
            return kOk;
        case doze::CliOptions::Action::UsageError:
            if (!options.error.empty()) Complain(options.error);
            Say(doze::UsageLine());
            return kUsage;
        case doze::CliOptions::Action::List:
            break;
    }
    return Run(options);
}
