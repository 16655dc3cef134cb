#include "output/pending_names.h"

#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <mutex>

namespace doze {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGXFSZ};
constexpr std::size_t kSignalCount = std::size(kSignals);

// A name waiting to be removed; only what a signal handler may read.
struct Slot {
    std::atomic<int> folder{-1};  // -1: the slot is free
    char name[NAME_MAX + 1] = {};
};

Slot gSlots[8];
struct sigaction gPrevious[kSignalCount];
bool gInstalled[kSignalCount] = {};
std::size_t gRecorded = 0;
std::mutex gMutex;  // guards everything above but what the handler reads

sigset_t SignalSet() {
    sigset_t set;
    ::sigemptyset(&set);
    for (const int signal : kSignals) ::sigaddset(&set, signal);
    return set;
}

// Only async-signal-safe calls here.
void RemovePendingNames(int signal) {
    const int savedErrno = errno;
    for (Slot& slot : gSlots) {
        const int folder = slot.folder.load();
        if (folder >= 0) ::unlinkat(folder, slot.name, 0);
    }
    for (std::size_t i = 0; i < kSignalCount; ++i) {
        if (kSignals[i] == signal) ::sigaction(signal, &gPrevious[i], nullptr);
    }
    // Held back until this handler returns, then it ends the program as it
    // would have without us (status 128 + signal from a shell).
    ::raise(signal);
    errno = savedErrno;
}

void InstallHandler() {
    struct sigaction ours {};
    ours.sa_handler = RemovePendingNames;
    ours.sa_mask = SignalSet();
    ours.sa_flags = SA_RESTART;  // should the program's own handler return, its calls go on
    for (std::size_t i = 0; i < kSignalCount; ++i) {
        ::sigaction(kSignals[i], nullptr, &gPrevious[i]);
        // A signal the program ignores (nohup) stays ignored.
        gInstalled[i] = gPrevious[i].sa_handler != SIG_IGN;
        if (gInstalled[i]) ::sigaction(kSignals[i], &ours, nullptr);
    }
}

void RemoveHandler() {
    for (std::size_t i = 0; i < kSignalCount; ++i) {
        if (gInstalled[i]) ::sigaction(kSignals[i], &gPrevious[i], nullptr);
        gInstalled[i] = false;
    }
}

}  // namespace

SignalHold::SignalHold() {
    const sigset_t set = SignalSet();
    ::pthread_sigmask(SIG_BLOCK, &set, &previous_);
}

SignalHold::~SignalHold() {
    ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

bool RecordPendingName(int folder, const std::string& name) {
    if (folder < 0 || name.size() > NAME_MAX) return false;
    const std::lock_guard<std::mutex> lock(gMutex);
    for (Slot& slot : gSlots) {
        if (slot.folder.load() >= 0) continue;
        std::memcpy(slot.name, name.c_str(), name.size() + 1);
        slot.folder.store(folder);  // the name is complete before the handler may read it
        if (gRecorded++ == 0) InstallHandler();
        return true;
    }
    return false;
}

void ForgetPendingName(int folder, const std::string& name) {
    const std::lock_guard<std::mutex> lock(gMutex);
    for (Slot& slot : gSlots) {
        if (slot.folder.load() != folder || name != slot.name) continue;
        slot.folder.store(-1);
        if (--gRecorded == 0) RemoveHandler();
        return;
    }
}

}  // namespace doze
