// SPDX-License-Identifier: MIT
#pragma once
#include <signal.h>

#include <string>

namespace doze {

// Holds back from this thread, while it lives, every signal that ends the
// program and may come from outside it (all but those of a fault in the
// program itself: SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGTRAP, SIGSYS), so that
// making a file and recording its name is one step for them.
class SignalHold {
  public:
    SignalHold();
    ~SignalHold();
    SignalHold(const SignalHold&) = delete;
    SignalHold& operator=(const SignalHold&) = delete;

  private:
    sigset_t previous_;
};

// Records `name` in the folder open as `folder` for removal should a signal
// whose default action ends the program end it before ForgetPendingName:
// every such signal, the real-time ones included, faults too. While any name
// is recorded, a handler for each of them that the program leaves to its
// default action (and for a fault, to any but ignoring it) removes the names
// this process recorded (never those of the process a child was forked from),
// puts back the action the program had, and raises the signal again; with no
// name recorded the program's own actions are in place. A signal the program
// ignores (nohup) or handles itself is left to it. The folder must stay open until the name is
// forgotten. Returns false when no room is left; the name then goes unguarded.
bool RecordPendingName(int folder, const std::string& name);

// Drops the record of `name` in `folder`; the last one takes the handler away.
void ForgetPendingName(int folder, const std::string& name);

}  // namespace doze
