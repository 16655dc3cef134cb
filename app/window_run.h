// SPDX-License-Identifier: MIT
#pragma once
#include <functional>
#include <memory>

#include "app/common_dialog.h"
#include "output/list_run.h"
#include "search/search_state.h"

class QWidget;

namespace doze {

// What one run works on: the main window's state and its dialog component.
struct ListRunContext {
    QWidget* owner = nullptr;
    SearchState& state;
    CommonDialog& CD;
    std::function<ListFormat()> kind;  // read when the save step is reached
    SearchFunction search;             // empty: RunSearch; called on another thread
};

// The list-generation run behind "Go", in the windows: progress window, busy
// pointer and one yield; the search on a thread of its own, the windows
// painting but taking no input meanwhile (from the start of the run), but for
// closing the progress window or Esc in it, which cancel the search; "No MP3
// files..." or the Save-As dialog, the overwrite question and the writer,
// then a "Warning" naming what the search could not read; in every case the
// list erased at the end. Cancel, No and a cancelled search end it silently;
// a search failure ends it with a "Failure" box naming the cause, a write
// failure (or a target that is no regular file) too, and then the Save-As
// dialog comes again with the same list.
void RunListGeneration(ListRunContext& run);

// The windows' side of that run, as RunListGeneration hands it to
// GenerateList; among its steps, a file that appeared at the target after the
// save step found none is replaced only after the overwrite question's Yes.
std::unique_ptr<RunFrontEnd> MakeWindowFrontEnd(ListRunContext& run);

}  // namespace doze
