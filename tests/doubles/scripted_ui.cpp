// SPDX-License-Identifier: MIT
#include "doubles/scripted_ui.h"

#include <QCoreApplication>

namespace doze::testing {

int ScriptedUi::ShowMessage(QWidget*, const QString& text, int style, const QString& title) {
    messages.append(title + ' ' + QString::number(style) + ": " + text);
    if (style != kStyleYesNoQuestion) return kAnswerOk;
    return answers.isEmpty() ? kAnswerNo : answers.takeFirst();
}

bool ScriptedUi::ShowSaveDialog(QWidget*, SaveDialogRequest& request) {
    saveDialogs.append({request.title, request.filter, request.fileName});
    const QString name = saveNames.isEmpty() ? QString() : saveNames.takeFirst();
    if (name.isEmpty()) return false;
    request.fileName = name;
    return true;
}

void ScriptedUi::YieldOnce() {
    ++yields;
    QCoreApplication::processEvents();
}

}  // namespace doze::testing
