#include "app/frm_progress.h"

#include <QLabel>

#include "ui/window_look.h"

namespace doze {

frmProgress::frmProgress(QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmProgress"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("Search in Progress"));
    setFixedSize(348, 99);
    Label1 = new QLabel(QStringLiteral("Please wait..."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(TwipsRect(120, 240, 4935, 255));
}

frmProgress* ShowProgressWindow(QWidget* owner) {
    auto* window = new frmProgress(owner);
    CentreOnScreen(window);
    window->show();
    return window;
}

}  // namespace doze
