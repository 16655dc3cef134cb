// SPDX-License-Identifier: MIT
#pragma once
#include <QString>

class QWidget;

namespace doze {

// Name of the help document that lies beside the program file.
inline constexpr const char* kHelpFileName = "mp3.chm";

// The help document's path: `programFolder`, one separator, "mp3.chm"
// (plain concatenation, the folder text is not examined).
QString HelpDocumentPath(const QString& programFolder);

// The first of the help's HTML pages, index.html: in help/ beside the program
// (a build tree), else in the installed documentation folder, found from
// `programFolder` (<prefix>/lib/dozedozovo -> <prefix>/share/doc/dozedozovo/help).
// Empty when neither has it.
QString HtmlHelpIndex(const QString& programFolder);

// Help, Contents: asks the desktop's opener (doze::Ui().OpenDocument) to open
// HelpDocumentPath(programFolder) where the desktop has a viewer for CHM
// files (doze::Ui().HasViewerFor), else HtmlHelpIndex(programFolder) in the
// browser, and mp3.chm after all when there are no HTML pages; with
// `programFolder` as working folder and the viewer maximised. The result is
// not known and nothing is shown by us, also when the file or a viewer is
// missing. `owner` would own anything the desktop shows by itself.
void MenuContents_Click(QWidget* owner, const QString& programFolder);

}  // namespace doze
