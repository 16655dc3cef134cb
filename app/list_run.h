#pragma once
#include <functional>

#include "app/common_dialog.h"
#include "output/list_writers.h"
#include "search/search_state.h"

class QWidget;

namespace doze {

// The search a run makes; RunSearch unless a test puts another in place.
using SearchFunction = std::function<void(SearchParams&, SearchState&)>;

// The two list options of the main window.

// What one run works on: the main window's state and its dialog component.
struct ListRunContext {
    QWidget* owner = nullptr;
    SearchState& state;
    CommonDialog& CD;
    std::function<ListFormat()> kind;  // read when the save step is reached
    SearchFunction search;
};

// The list-generation run behind "Go": progress window, busy pointer and one
// yield; the search; "No MP3 files..." or the Save-As dialog, the overwrite
// question and the writer; in every case the list erased at the end. Cancel
// and No end it silently; a search or write failure ends it with a "Failure"
// box naming the cause.
void RunListGeneration(ListRunContext& run);

}  // namespace doze
