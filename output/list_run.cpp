#include "output/list_run.h"

#include <unistd.h>

#include <exception>
#include <new>

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

// The search, the test for nothing found and the trim. False when the run ends here.
bool Search(SearchState& state, RunFrontEnd& frontEnd, const SearchFunction& search) {
    SearchParams params;
    SearchStage stage(frontEnd);
    BeginRun(state, params);
    params.Audio = frontEnd.AudioWanted();
    frontEnd.RunSearchStep([&] {
        if (search) {
            search(params, state, frontEnd.Progress());
        } else {
            RunSearch(params, state, frontEnd.Progress(), frontEnd.RootMustBeListed());
        }
    });
    stage.End();
    if (EndSearch(state)) return true;
    frontEnd.NothingFound();
    return false;
}

// The save step and the writer.
RunOutcome Write(const SearchState& state, RunFrontEnd& frontEnd) {
    ListFormat format = ListFormat::Text;
    const std::optional<ListTarget> target = frontEnd.ChooseTarget(format);
    if (!target) return RunOutcome::Declined;
    const ListJob job{state.SearchRoot, &state.FoundList, LocaleDecimalSeparator(),
                      frontEnd.AudioWanted() ? &state.FoundAudio : nullptr};
    if (target->toStandardOutput) {
        DescriptorSink out(STDOUT_FILENO, "standard output");
        WriteList(format, job, out, frontEnd);
    } else {
        ReplaceConsent consent;
        if (!target->consented) {
            consent = [&frontEnd](const std::string& path) {
                return frontEnd.ReplaceAppeared(path);
            };
        }
        WriteList(format, job, target->path, frontEnd, consent);
    }
    return RunOutcome::Written;
}

// The save step and the writer, offered again after each write failure for
// as long as the front end asks for it. Out of memory passes through.
RunOutcome SaveList(const SearchState& state, RunFrontEnd& frontEnd) {
    for (;;) {
        try {
            return Write(state, frontEnd);
        } catch (const TargetAppeared&) {
            return RunOutcome::Declined;  // the front end was asked and kept the file
        } catch (const WriteFailure& cause) {
            frontEnd.Failed(RunOutcome::WriteFailed, cause.what());
            if (!frontEnd.SaveAgainAfterWriteFailure()) return RunOutcome::WriteFailed;
        }
    }
}

std::string OutOfMemory(const std::string& what) {
    return "There is not enough memory to " + what + ".";
}

}  // namespace

RunOutcome GenerateList(SearchState& state, RunFrontEnd& frontEnd, const SearchFunction& search) {
    // Until the run ends, `outcome` is what a failure at this point would be.
    RunOutcome outcome = RunOutcome::SearchFailed;
    std::string failure;
    bool outOfMemory = false;
    try {
        if (!Search(state, frontEnd, search)) {
            outcome = RunOutcome::NothingFound;
        } else {
            outcome = RunOutcome::WriteFailed;
            outcome = SaveList(state, frontEnd);
        }
    } catch (const SearchCancelled&) {
        outcome = RunOutcome::Declined;  // the user stopped the search
    } catch (const std::bad_alloc&) {
        outOfMemory = true;
    } catch (const std::exception& cause) {
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
