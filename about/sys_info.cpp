// SPDX-License-Identifier: MIT
#include "about/sys_info.h"

#include <QFile>
#include <QStringList>

#include "ui/platform_ui.h"

namespace doze {
namespace {

// Room for the program's path with its terminating NUL.
constexpr qsizetype kPathRoom = 1024;

// The system-information programs, in the order they are looked for.
QStringList ToolNames() {
    return {QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"), QStringLiteral("kinfocenter")};
}

// The full path of the first system-information program found; empty when
// there is none, or when its path does not fit the room.
QString FindTool() {
    for (const QString& tool : ToolNames()) {
        const QString path = Ui().FindProgram(tool);
        if (path.isEmpty()) continue;
        return QFile::encodeName(path).size() < kPathRoom ? path : QString();
    }
    return {};
}

}  // namespace

void StartSysInfo(QWidget* owner) {
    const QString tool = FindTool();
    if (tool.isEmpty() || !Ui().StartProgram(tool)) {
        Ui().ShowMessage(owner, QString::fromLatin1(kSysInfoUnavailable), kStyleOk);
    }
}

}  // namespace doze
