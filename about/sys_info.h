#pragma once
#include <QString>

#include "about/settings_store.h"

class QWidget;

namespace doze {

// The message shown for every failure to start the system-information program.
inline constexpr const char* kSysInfoUnavailable = "System Information Is Unavailable At This Time";
// The program file looked for in the folder that the second look-up names.
inline constexpr const char* kSysInfoFileName = "MSINFO32.EXE";

// True when `path` names a normal file: it exists, is no folder and is not
// hidden (on this platform: its name does not start with a dot).
bool IsNormalFile(const QString& path);

// Finds the system-information program through `store` and starts it detached
// with a normal window (doze::Ui().StartProgram). Look-up 1 gives the program's
// path, started as read with no existence test; only when it misses, look-up 2
// gives a folder that must hold a normal file "MSINFO32.EXE". Every failure
// (both look-ups missing, no such file, a failed start, a SysInfoFailure or
// other exception on the way) ends in the message kSysInfoUnavailable, style
// 0, no title, owned by `owner`. Nothing is kept between calls.
void StartSysInfo(QWidget* owner, SettingsStore& store);

}  // namespace doze
