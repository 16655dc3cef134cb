#pragma once
#include <QString>

class QWidget;

namespace doze {

// Name of the help document that lies beside the program file.
inline constexpr const char* kHelpFileName = "mp3.chm";

// The help document's path: `programFolder`, one separator, "mp3.chm"
// (plain concatenation, the folder text is not examined).
QString HelpDocumentPath(const QString& programFolder);

// Help, Contents: asks the desktop's opener (doze::Ui().OpenDocument) to open
// HelpDocumentPath(programFolder) with `programFolder` as working folder and
// the viewer maximised. The result is not known and nothing is shown by us,
// also when the file or a viewer is missing. `owner` would own anything the
// desktop shows by itself.
void MenuContents_Click(QWidget* owner, const QString& programFolder);

}  // namespace doze
