#include "app/testing/scripted_ui.h"

#include <QCoreApplication>

namespace doze::testing {

ScriptedUi::ScriptedUi() {
    SetUi(this);
}

ScriptedUi::~ScriptedUi() {
    SetUi(nullptr);
}

int ScriptedUi::ShowMessage(QWidget*, const QString& text, int style, const QString& title) {
    ShownMessage shown{text, style, title.isEmpty() ? QString(kApplicationTitle) : title};
    messages.append(shown);
    if (onMessage) onMessage(shown);
    if (style != kStyleYesNoQuestion) return kAnswerOk;
    return answers.isEmpty() ? kAnswerNo : answers.takeFirst();
}

bool ScriptedUi::ShowSaveDialog(QWidget*, SaveDialogRequest& request) {
    saveDialogs.append({request.title, request.filter, request.fileName});
    if (saveNames.isEmpty()) return false;
    const QString name = saveNames.takeFirst();
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

void ScriptedUi::OpenDocument(const QString& path, const QString&, bool) {
    openedDocuments.append(path);
}

bool ScriptedUi::StartProgram(const QString&) {
    return false;
}

}  // namespace doze::testing
