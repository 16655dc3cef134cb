// SPDX-License-Identifier: MIT
#pragma once
#include <QString>

class QWidget;

namespace doze {

// The message shown for every failure to start the system-information program.
inline constexpr const char* kSysInfoUnavailable = "System Information Is Unavailable At This Time";

// Looks for the system-information programs hardinfo2, hardinfo and
// kinfocenter, in this order, through the desktop's program finder
// (doze::Ui().FindProgram, the search path) and starts the first one
// found, by its full path, detached with a normal window
// (doze::Ui().StartProgram); a path of 1024 bytes or more is no answer, as
// with the old platform's 1024-byte read of it. When none is found, or the
// start fails: the message kSysInfoUnavailable, style 0, no title, owned by
// `owner`. Nothing is kept between calls.
void StartSysInfo(QWidget* owner);

}  // namespace doze
