#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

#include "app/ui/platform_ui.h"

namespace doze::testing {

// One message box as the windows asked for it.
struct ShownMessage {
    QString text;
    int style = 0;
    QString title;  // as it would be shown: kApplicationTitle when none was given
};

// One showing of the Save-As dialog: what the run set up before it.
struct ShownSaveDialog {
    QString title;
    QString filter;
    QString offeredFileName;
};

// A PlatformUi that answers from a script and records what it was asked, so a
// whole run can be played without a display server. Installs itself with
// SetUi for its lifetime.
class ScriptedUi : public PlatformUi {
  public:
    ScriptedUi();
    ~ScriptedUi() override;

    // Answers of the question boxes, in order (kAnswerYes / kAnswerNo);
    // a question beyond the script is answered No.
    QList<int> answers;
    // Names the Save-As dialog accepts, in order; an empty name or a showing
    // beyond the script cancels it.
    QStringList saveNames;
    // Run while a message box is up (before it returns), e.g. to look at the
    // windows on screen at that moment.
    std::function<void(const ShownMessage&)> onMessage;

    QList<ShownMessage> messages;
    QList<ShownSaveDialog> saveDialogs;
    QList<bool> pointerChanges;
    int yields = 0;
    bool busy = false;
    QStringList openedDocuments;

    int ShowMessage(QWidget* owner, const QString& text, int style, const QString& title) override;
    bool ShowSaveDialog(QWidget* owner, SaveDialogRequest& request) override;
    void SetBusyPointer(bool busy) override;
    void YieldOnce() override;
    void OpenDocument(const QString& path, const QString& workingFolder, bool maximised) override;
    bool StartProgram(const QString& program) override;
};

}  // namespace doze::testing
