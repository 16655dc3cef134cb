#include "about/sys_info.h"

#include <QDir>
#include <QFileInfo>
#include <exception>

#include "about/key_value.h"
#include "about/sys_info_failure.h"
#include "ui/platform_ui.h"

namespace doze {
namespace {

constexpr const char* kMsinfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kMsinfoValue = "PATH";
constexpr const char* kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr const char* kLocationValue = "MSINFO";

// Starts `commandLine` detached; a start that fails is a run-time failure.
void StartTool(const QString& commandLine) {
    if (commandLine.isEmpty() || !Ui().StartProgram(commandLine)) {
        throw SysInfoFailure("the system-information program did not start");
    }
}

// The two look-ups, in their order; false when neither gives a program to start.
bool FindAndStart(SettingsStore& store) {
    QString path;
    if (GetKeyValue(store, kHkeyLocalMachine, QString::fromLatin1(kMsinfoKey),
                    QString::fromLatin1(kMsinfoValue), path)) {
        StartTool(path);
        return true;
    }
    if (!GetKeyValue(store, kHkeyLocalMachine, QString::fromLatin1(kLocationKey),
                     QString::fromLatin1(kLocationValue), path)) {
        return false;
    }
    const QString program = path + QDir::separator() + QLatin1String(kSysInfoFileName);
    if (!IsNormalFile(program)) return false;
    StartTool(program);
    return true;
}

}  // namespace

bool IsNormalFile(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && info.isFile() && !info.isHidden();
}

void StartSysInfo(QWidget* owner, SettingsStore& store) {
    bool started = false;
    try {
        started = FindAndStart(store);
    } catch (const std::exception&) {
        started = false;  // the one failure trap: every failure ends in the message
    }
    if (!started) Ui().ShowMessage(owner, QString::fromLatin1(kSysInfoUnavailable), kStyleOk);
}

}  // namespace doze
