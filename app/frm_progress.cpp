#include "app/frm_progress.h"

#include <QLabel>

#include "app/caption_fit.h"
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
    const QString text = QStringLiteral("Please wait...");
    setFont(FittingFont({{text, QSize(329, 17)}}, 12, 8));
    Label1 = new QLabel(text, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 16, 329, 17);
}

frmProgress* ShowProgressWindow(QWidget* owner) {
    auto* window = new frmProgress(owner);
    CentreOnScreen(window);
    window->show();
    return window;
}

}  // namespace doze
