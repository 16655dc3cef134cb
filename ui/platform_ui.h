// SPDX-License-Identifier: MIT
#pragma once
#include <QIcon>
#include <QString>

class QWidget;

namespace doze {

// Button-and-icon styles of a message box, and its answers.
enum MessageStyle : int {
    kStyleOk = 0,              // OK alone, no icon
    kStyleYesNoQuestion = 36,  // Yes and No, question icon
    kStyleExclamation = 48,    // OK, exclamation icon
    kStyleInformation = 64,    // OK, information icon
};
enum MessageAnswer : int { kAnswerOk = 1, kAnswerYes = 6, kAnswerNo = 7 };

// Title of a message box that names none of its own.
inline constexpr const char* kApplicationTitle = "Dozedozovo";

// One showing of a Save-As dialog. `filter` is "Description|pattern".
struct SaveDialogRequest {
    QString title;
    QString filter;
    QString fileName;  // offered when shown; the accepted full path afterwards
};

// Everything the windows ask of the desktop that would block a test or reach
// outside the program: message boxes, the Save-As dialog, the busy pointer,
// the one yield of a run, the document opener and its file associations, and
// finding and starting programs. Tests put a scripted one in place with SetUi.
class PlatformUi {
  public:
    virtual ~PlatformUi() = default;
    // A modal message box; returns kAnswerOk, kAnswerYes or kAnswerNo. An empty
    // title shows kApplicationTitle.
    virtual int ShowMessage(QWidget* owner, const QString& text, int style,
                            const QString& title = QString()) = 0;
    // A modal Save dialog; false when the user cancelled it.
    virtual bool ShowSaveDialog(QWidget* owner, SaveDialogRequest& request) = 0;
    // The busy (wait) pointer over the whole program, or the default one.
    virtual void SetBusyPointer(bool busy) = 0;
    // Lets pending window events (painting) be handled once.
    virtual void YieldOnce() = 0;
    // Hands a document to the desktop's associated viewer; the result is not
    // known. `maximised` is passed on where the desktop can take it.
    virtual void OpenDocument(const QString& path, const QString& workingFolder,
                              bool maximised) = 0;
    // Whether the desktop has an application for files of `mimeType`: one
    // that `xdg-mime query default` names (none without xdg-mime).
    virtual bool HasViewerFor(const QString& mimeType) = 0;
    // The full path of the program `name` on the search path (PATH); empty
    // when none there can be run.
    virtual QString FindProgram(const QString& name) = 0;
    // Starts a program detached with a normal window; false when it could not
    // be started.
    virtual bool StartProgram(const QString& program) = 0;
};

// The one in force: the desktop's own unless a test has put another in place.
PlatformUi& Ui();
// Puts `ui` in place (not owned); nullptr brings back the desktop's own.
void SetUi(PlatformUi* ui);

// The program icon: 32 x 32 in 16 colours, and the same picture drawn at 16,
// 24, 48, 64, 128 and 256 pixels.
QIcon ProgramIcon();

}  // namespace doze
