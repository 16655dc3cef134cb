#include "about/help_contents.h"

#include <QDir>

#include "ui/platform_ui.h"

namespace doze {

QString HelpDocumentPath(const QString& programFolder) {
    return programFolder + QDir::separator() + QLatin1String(kHelpFileName);
}

void MenuContents_Click(QWidget* /*owner*/, const QString& programFolder) {
    // The opener has no owner window of its own: xdg-open shows nothing itself.
    Ui().OpenDocument(HelpDocumentPath(programFolder), programFolder, /*maximised=*/true);
}

}  // namespace doze
