// SPDX-License-Identifier: MIT
#include "output/pending_names.h"

#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>

namespace doze {
namespace {

// Signals whose default action ends the program, besides the real-time ones.
constexpr int kEnding[] = {SIGHUP,  SIGINT,  SIGQUIT,   SIGILL,  SIGTRAP, SIGABRT,
                           SIGBUS,  SIGFPE,  SIGUSR1,   SIGSEGV, SIGUSR2, SIGPIPE,
                           SIGALRM, SIGTERM, SIGSTKFLT, SIGXCPU, SIGXFSZ, SIGVTALRM,
                           SIGPROF, SIGIO,   SIGPWR,    SIGSYS};
// Those that come of a fault at the instruction running: held back, the
// kernel would end the program without running the handler.
constexpr int kFaults[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGTRAP, SIGSYS};

// A name waiting to be removed; only what a signal handler may read.
struct Slot {
    std::atomic<int> folder{-1};  // -1: the slot is free
    std::atomic<pid_t> owner{0};  // the process that recorded it
    char name[NAME_MAX + 1] = {};
};

Slot gSlots[8];
struct sigaction gPrevious[NSIG];
bool gInstalled[NSIG] = {};
std::size_t gRecorded = 0;
std::mutex gMutex;  // guards everything above but what the handler reads

// Every signal the handler is for; without the faults, those held back.
sigset_t SignalSet(bool faults) {
    sigset_t set;
    ::sigemptyset(&set);
    for (const int signal : kEnding) ::sigaddset(&set, signal);
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) ::sigaddset(&set, signal);
    if (!faults) {
        for (const int signal : kFaults) ::sigdelset(&set, signal);
    }
    return set;
}

// Only async-signal-safe calls here.
void RemovePendingNames(int signal) {
    const int savedErrno = errno;
    const pid_t self = ::getpid();
    for (Slot& slot : gSlots) {
        const int folder = slot.folder.load();
        if (folder >= 0 && slot.owner.load() == self) ::unlinkat(folder, slot.name, 0);
    }
    ::sigaction(signal, &gPrevious[signal], nullptr);
    // Held back until this handler returns, then it ends the program as it
    // would have without us (status 128 + signal from a shell, a core dump
    // where the signal makes one).
    ::raise(signal);
    errno = savedErrno;
}

void InstallHandler() {
    struct sigaction ours {};
    ours.sa_handler = RemovePendingNames;
    ours.sa_mask = SignalSet(true);
    ours.sa_flags = SA_RESTART;  // should a fault's own handler return, its calls go on
    const sigset_t all = SignalSet(true), held = SignalSet(false);
    for (int signal = 1; signal < NSIG; ++signal) {
        if (::sigismember(&all, signal) != 1) continue;
        ::sigaction(signal, nullptr, &gPrevious[signal]);
        // A signal the program ignores (nohup) stays ignored, and one it
        // handles is its own: it may go on. A fault ends the program whatever
        // handler reports it (a sanitizer's, a crash reporter's), which then
        // comes after ours.
        const auto handler = gPrevious[signal].sa_handler;
        gInstalled[signal] =
            handler == SIG_DFL || (handler != SIG_IGN && ::sigismember(&held, signal) == 0);
        if (gInstalled[signal]) ::sigaction(signal, &ours, nullptr);
    }
}

void RemoveHandler() {
    for (int signal = 1; signal < NSIG; ++signal) {
        if (gInstalled[signal]) ::sigaction(signal, &gPrevious[signal], nullptr);
        gInstalled[signal] = false;
    }
}

}  // namespace

SignalHold::SignalHold() {
    const sigset_t set = SignalSet(false);
    ::pthread_sigmask(SIG_BLOCK, &set, &previous_);
}

SignalHold::~SignalHold() {
    const int savedErrno = errno;
    ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    errno = savedErrno;
}

bool RecordPendingName(int folder, const std::string& name) {
    if (folder < 0 || name.size() > NAME_MAX) return false;
    const std::lock_guard<std::mutex> lock(gMutex);
    for (Slot& slot : gSlots) {
        if (slot.folder.load() >= 0) continue;
        std::memcpy(slot.name, name.c_str(), name.size() + 1);
        slot.owner.store(::getpid());
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
