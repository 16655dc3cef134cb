#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "output/list_sink.h"
#include "output/list_writers.h"
#include "search/search_state.h"

namespace doze::test {

// A trimmed found-file list made from the given entries.
EntryList MakeList(const std::vector<std::string>& entries);

// Collects what a writer writes, in memory.
class MemorySink : public ListSink {
  public:
    void Write(std::string_view bytes) override { text += bytes; }
    void Commit() override { committed = true; }
    std::string Name() const override { return "memory"; }
    std::string text;
    bool committed = false;
};

// Remembers the counts it was told.
class RecordingReporter : public CompletionReporter {
  public:
    void ListComplete(std::int32_t count) override { counts.push_back(count); }
    std::vector<std::int32_t> counts;
};

// The text split at CR LF; the text must end in CR LF.
std::vector<std::string> CrLfLines(const std::string& text);

}  // namespace doze::test
