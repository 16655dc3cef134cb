// SPDX-License-Identifier: MIT
#include "app/frm_progress.h"

#include <QEvent>
#include <QLabel>

#include "ui/window_look.h"

namespace doze {

frmProgress::frmProgress(QWidget* owner)
    // A close box, which cancels the search, and no other button: so the
    // window managers that follow the buttons asked for offer no minimise.
    : QWidget(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmProgress"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("Search in Progress"));
    setFixedSize(Twips(5220), Twips(1485));
    Label1 = new QLabel(QStringLiteral("Please wait..."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(TwipsRect(120, 240, 4935, 255));
}

void frmProgress::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange && isMinimized()) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
    }
    QWidget::changeEvent(event);
}

frmProgress* ShowProgressWindow(QWidget* owner) {
    auto* window = new frmProgress(owner);
    CentreOnScreen(window);
    window->show();
    return window;
}

}  // namespace doze
