// SPDX-License-Identifier: MIT
#include "about/help_contents.h"

#include <QDir>
#include <QFileInfo>

#include "ui/platform_ui.h"

namespace doze {
namespace {

// CHM files under their registered MIME type and its older alias.
constexpr const char* kChmTypes[] = {"application/vnd.ms-htmlhelp", "application/x-chm"};

bool DesktopHasChmViewer() {
    for (const char* type : kChmTypes) {
        if (Ui().HasViewerFor(QLatin1String(type))) return true;
    }
    return false;
}

}  // namespace

QString HelpDocumentPath(const QString& programFolder) {
    return programFolder + QDir::separator() + QLatin1String(kHelpFileName);
}

QString HtmlHelpIndex(const QString& programFolder) {
    for (const char* pages : {"help", DOZE_HELP_PAGES_FROM_PROGRAM}) {
        QString index = QDir::cleanPath(programFolder + u'/' + QLatin1String(pages) +
                                        QLatin1String("/index.html"));
        if (QFileInfo(index).isFile()) return index;
    }
    return {};
}

void MenuContents_Click(QWidget* /*owner*/, const QString& programFolder) {
    QString document = DesktopHasChmViewer() ? QString() : HtmlHelpIndex(programFolder);
    if (document.isEmpty()) document = HelpDocumentPath(programFolder);
    // The opener has no owner window of its own: it shows nothing itself.
    Ui().OpenDocument(document, programFolder, /*maximised=*/true);
}

}  // namespace doze
