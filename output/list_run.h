// SPDX-License-Identifier: MIT
#pragma once
#include <functional>
#include <optional>
#include <string>

#include "output/list_writers.h"
#include "search/search_state.h"
#include "search/walker.h"

namespace doze {

// How a run ended.
enum class RunOutcome {
    Written,       // the list was written and the front end told
    NothingFound,  // neither an MP3 file nor a subfolder was found
    Declined,      // no target chosen (Cancel, No), or the target appeared and was kept
    SearchFailed,  // the search stopped on a failure
    WriteFailed,   // the list could not be written; the target is as it was
};

// Where a list goes, as the front end's save step chose it.
struct ListTarget {
    std::string path;               // the file, as the user named it
    bool toStandardOutput = false;  // instead of a file
    bool consented = false;         // the user agreed to replace what is at `path`
};

// The search a run makes: RunSearch, unless a test puts another in place.
using SearchFunction = std::function<SearchEnd(SearchParams&, SearchState&, SearchProgress*)>;

// What differs between the desktop program and dozedozovo-list. Every call
// comes from the thread that called GenerateList.
class RunFrontEnd : public CompletionReporter {
  public:
    // The search is about to start (progress window, busy pointer).
    virtual void SearchStarting() {}
    // Runs `search` to its end; exceptions pass through. The window keeps
    // painting meanwhile.
    virtual void RunSearchStep(const std::function<void()>& search) { search(); }
    // Told of the search's progress and of folders it could not list.
    virtual SearchProgress* Progress() { return nullptr; }
    // True: a searched folder that cannot be listed at all is a search
    // failure; false: it is a search that found nothing.
    virtual bool RootMustBeListed() const { return false; }
    // How the search is to read each file's audio facts (durations, tags);
    // nullopt: it reads none.
    virtual std::optional<AudioReadOptions> AudioWanted() const { return std::nullopt; }
    // The search has ended, normally or not: called exactly once, before any
    // other message of the run.
    virtual void SearchEnded() {}
    // "No MP3 files were found in the search path."
    virtual void NothingFound() = 0;
    // The save step: the format and target of the list, the overwrite
    // question included; nullopt ends the run quietly (Cancel, No).
    virtual std::optional<ListTarget> ChooseTarget(ListFormat& format) = 0;
    // A file appeared at `path` after the save step found none: true
    // replaces it, false keeps it and ends the run as Declined.
    virtual bool ReplaceAppeared(const std::string& path) = 0;
    // A failure ended the run; `message` names the path and the cause.
    virtual void Failed(RunOutcome outcome, const std::string& message) = 0;
    // After a write failure was told through Failed: true offers the save
    // step again with the same list.
    virtual bool SaveAgainAfterWriteFailure() { return false; }
};

// The road of one list: begin run, search, the test for nothing found, trim,
// the save step, the writer (the save step again after a write failure, while
// the front end wants it), and the found-file list released in every case.
// Every failure of the run (a doze::Failure), out of memory included, reaches
// frontEnd.Failed; a cancelled search, Cancel, No and a target kept end it
// quietly. Anything else thrown is a fault of the program, not of the run: it
// passes on, to be treated as one. `state.SearchRoot` is the folder searched.
RunOutcome GenerateList(SearchState& state, RunFrontEnd& frontEnd,
                        const SearchFunction& search = {});

}  // namespace doze
