#include "doubles/scripted_ui.h"

#include <QCoreApplication>

namespace doze::testing {

int ScriptedUi::ShowMessage(QWidget*, const QString& text, int style, const QString& title) {
    messages.append({text, style, title});
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

void ScriptedUi::SetBusyPointer(bool value) {
    pointerChanges.append(value);
    busy = value;
}

void ScriptedUi::YieldOnce() {
    ++yields;
    QCoreApplication::processEvents();
}

void ScriptedUi::OpenDocument(const QString& path, const QString& folder, bool maximised) {
    documents.append({path, folder, maximised});
}

bool ScriptedUi::StartProgram(const QString& program) {
    started.append(program);
    return startSucceeds;
}

}  // namespace doze::testing
