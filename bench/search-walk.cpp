// SPDX-License-Identifier: MIT
// The search of dozedozovo-list with at most THREADS threads, and no list
// written: bench/run --latency times it with 8, 32 and 64 threads beside the
// program itself, to show what the thread cap is worth on a share.
//
//   search-walk TREE THREADS      prints the number of entries found
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "search/mount_table.h"
#include "search/search_state.h"
#include "search/walker.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: search-walk TREE THREADS\n");
        return 2;
    }
    doze::SearchState state;
    doze::SearchParams params;
    state.SearchRoot = argv[1];
    try {
        doze::BeginRun(state, params);
        doze::SearchFolder(params, state, doze::LoadPseudoMounts(), nullptr, std::atoi(argv[2]),
                           true);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "search-walk: %s\n", failure.what());
        return 4;
    }
    std::printf("%d entries\n", static_cast<int>(state.FoundCount));
    return 0;
}
