#include "test_support/list_fixture.h"

#include <gtest/gtest.h>

#include "output/list_sink.h"
#include "output/write_failure.h"
#include "search/search_state.h"

namespace doze::test {
namespace {

// Collects what a writer writes.
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

}  // namespace

WrittenList WriteInMemory(ListFormat format, const std::string& root,
                          const std::vector<std::string>& entries) {
    EntryList list;
    list.Dimension(static_cast<std::int32_t>(entries.size()));
    for (const std::string& entry : entries) list.Store(list.Stored() + 1, entry);
    MemorySink sink;
    RecordingReporter reporter;
    WrittenList written{{}, -1};
    try {
        written.count = WriteList(format, ListJob{root, &list, "."}, sink, reporter);
    } catch (const WriteFailure&) {
        EXPECT_FALSE(sink.committed);
        EXPECT_TRUE(reporter.counts.empty());
        return written;
    }
    EXPECT_TRUE(sink.committed);
    EXPECT_EQ(reporter.counts, std::vector<std::int32_t>{written.count});
    std::size_t pos = 0, end = 0;
    while ((end = sink.text.find("\r\n", pos)) != std::string::npos) {
        written.lines.push_back(sink.text.substr(pos, end - pos));
        pos = end + 2;
    }
    EXPECT_EQ(pos, sink.text.size()) << "the text must end in CR LF";
    return written;
}

}  // namespace doze::test
