// SPDX-License-Identifier: MIT
#include "output/list_run.h"

#include <unistd.h>

#include <new>
#include <optional>

#include "output/list_sink.h"
#include "output/message_text.h"
#include "output/safe_file.h"
#include "output/size_format.h"
#include "output/write_failure.h"

namespace doze {
namespace {

// Ends the search stage once, whichever way the stage is left.
class SearchStage {
  public:
    explicit SearchStage(RunFrontEnd& frontEnd) : frontEnd_(frontEnd) {
        frontEnd_.SearchStarting();
    }
    ~SearchStage() { End(); }
    void End() {
        if (open_) {
            open_ = false;
            frontEnd_.SearchEnded();
        }
    }

  private:
    RunFrontEnd& frontEnd_;
    bool open_ = true;
};

// The search, the test for nothing found and the trim; how the run ends when
// it ends here.
std::optional<RunOutcome> Search(SearchState& state, RunFrontEnd& frontEnd,
                                 const SearchFunction& search) {
    SearchParams params;
    SearchStage stage(frontEnd);
    BeginRun(state, params);
    params.Audio = frontEnd.AudioWanted();
    SearchEnd end = SearchEnd::Complete;
    frontEnd.RunSearchStep([&] {
        end = search ? search(params, state, frontEnd.Progress())
                     : RunSearch(params, state, frontEnd.Progress(), frontEnd.RootMustBeListed());
    });
    stage.End();
    if (end == SearchEnd::Cancelled) return RunOutcome::Declined;  // the user stopped it
    if (EndSearch(state)) return std::nullopt;
    frontEnd.NothingFound();
    return RunOutcome::NothingFound;
}

// The save step and the writer.
RunOutcome Write(const SearchState& state, RunFrontEnd& frontEnd) {
    ListFormat format = ListFormat::Text;
    const std::optional<ListTarget> target = frontEnd.ChooseTarget(format);
    if (!target) return RunOutcome::Declined;
    const ListJob job{state.SearchRoot, &state.FoundList, LocaleDecimalSeparator(),
                      frontEnd.AudioWanted() ? &state.FoundAudio : nullptr};
    std::optional<std::int32_t> written;
    if (target->toStandardOutput) {
        DescriptorSink out(STDOUT_FILENO, "standard output");
        written = WriteList(format, job, out, frontEnd);
    } else {
        ReplaceConsent consent;
        if (!target->consented) {
            consent = [&frontEnd](const std::string& path) {
                return frontEnd.ReplaceAppeared(path);
            };
        }
        written = WriteList(format, job, target->path, frontEnd, consent);
    }
    // None: the front end was asked about a file that appeared, and kept it.
    return written ? RunOutcome::Written : RunOutcome::Declined;
}

// The save step and the writer, offered again after each write failure for
// as long as the front end asks for it. Out of memory passes through.
RunOutcome SaveList(const SearchState& state, RunFrontEnd& frontEnd) {
    for (;;) {
        try {
            return Write(state, frontEnd);
        } catch (const WriteFailure& cause) {
            frontEnd.Failed(RunOutcome::WriteFailed, cause.what());
            if (!frontEnd.SaveAgainAfterWriteFailure()) return RunOutcome::WriteFailed;
        }
    }
}

std::string OutOfMemory(const std::string& what) {
    return "There is not enough memory to " + what + ".";
}

// Releases the list however the run is left, a fault of the program included.
class ListRelease {
  public:
    explicit ListRelease(SearchState& state) : state_(state) {}
    ListRelease(const ListRelease&) = delete;
    ListRelease& operator=(const ListRelease&) = delete;
    ~ListRelease() { ReleaseList(state_); }

  private:
    SearchState& state_;
};

}  // namespace

RunOutcome GenerateList(SearchState& state, RunFrontEnd& frontEnd, const SearchFunction& search) {
    const ListRelease release(state);
    // Until the run ends, `outcome` is what a failure at this point would be.
    RunOutcome outcome = RunOutcome::SearchFailed;
    std::string failure;
    bool outOfMemory = false;
    try {
        if (const std::optional<RunOutcome> ended = Search(state, frontEnd, search)) {
            outcome = *ended;
        } else {
            outcome = RunOutcome::WriteFailed;
            outcome = SaveList(state, frontEnd);
        }
    } catch (const std::bad_alloc&) {
        outOfMemory = true;
    } catch (const Failure& cause) {
        failure = cause.what();
    }
    ReleaseList(state);  // first: the memory may be needed for the message
    if (outOfMemory) {
        failure = OutOfMemory(outcome == RunOutcome::SearchFailed
                                  ? "search " + QuotedMessagePath(state.SearchRoot)
                                  : "write the list");
    }
    if (!failure.empty()) frontEnd.Failed(outcome, failure);
    return outcome;
}

}  // namespace doze
