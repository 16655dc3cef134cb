// SPDX-License-Identifier: MIT
#include "about/help_menu.h"

#include <QCoreApplication>

#include "about/frm_about.h"
#include "about/help_contents.h"

namespace doze {

void ShowHelpContents(QWidget* owner) {
    // applicationDirPath() resolves the executable's real path, so a symlinked
    // launcher still finds the help file installed beside the real program.
    MenuContents_Click(owner, QCoreApplication::applicationDirPath());
}

void ShowAboutWindow(QWidget* owner) {
    auto* about = new frmAbout(owner);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->exec();  // exec() deletes the window on return (WA_DeleteOnClose)
}

}  // namespace doze
