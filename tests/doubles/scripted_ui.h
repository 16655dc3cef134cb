// SPDX-License-Identifier: MIT
#pragma once
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include "ui/platform_ui.h"

namespace doze::testing {

// One showing of the Save-As dialog: what the run set up before it.
struct ShownSaveDialog {
    QString title, filter, offeredFileName;
};

// One document handed to the desktop's opener.
struct OpenedDocument {
    QString path, workingFolder;
    bool maximised = false;
};

// A PlatformUi that answers from a script and records what it was asked, so a
// whole run can be played without a display server. In force (SetUi) while
// it lives.
class ScriptedUi : public PlatformUi {
  public:
    ScriptedUi() { SetUi(this); }
    ~ScriptedUi() override { SetUi(nullptr); }

    // Answers of the question boxes in order; a question beyond them gets No.
    QList<int> answers;
    // Names the Save-As dialog accepts in order; an empty name or a showing
    // beyond them cancels it.
    QStringList saveNames;
    bool startSucceeds = true;        // what StartProgram answers
    QMap<QString, QString> programs;  // what FindProgram finds: name -> full path
    // The file types HasViewerFor knows a viewer for; at first CHM files.
    QStringList viewerTypes{QStringLiteral("application/vnd.ms-htmlhelp")};

    // Each message box as "<title> <style>: <text>", the title as given (an
    // empty one shows kApplicationTitle).
    QStringList messages;
    QList<ShownSaveDialog> saveDialogs;
    QList<bool> pointerChanges;
    bool busy = false;
    int yields = 0;
    QList<OpenedDocument> documents;
    QStringList sought;  // the names FindProgram was asked for
    QStringList started;

    int ShowMessage(QWidget* owner, const QString& text, int style, const QString& title) override;
    bool ShowSaveDialog(QWidget* owner, SaveDialogRequest& request) override;
    void SetBusyPointer(bool value) override {
        pointerChanges.append(value);
        busy = value;
    }
    void YieldOnce() override;
    void OpenDocument(const QString& path, const QString& folder, bool maximised) override {
        documents.append({path, folder, maximised});
    }
    bool HasViewerFor(const QString& mimeType) override { return viewerTypes.contains(mimeType); }
    QString FindProgram(const QString& name) override {
        sought.append(name);
        return programs.value(name);
    }
    bool StartProgram(const QString& program) override {
        started.append(program);
        return startSucceeds;
    }
};

}  // namespace doze::testing
