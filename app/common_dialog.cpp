// SPDX-License-Identifier: MIT
#include "app/common_dialog.h"

#include <QFile>

#include "ui/platform_ui.h"

namespace doze {

bool CommonDialog::ShowSave(QWidget* owner) {
    SaveDialogRequest request{DialogTitle, Filter, FileName};
    if (!Ui().ShowSaveDialog(owner, request)) return false;
    FileName = request.fileName;
    return true;
}

std::string CommonDialog::FileNamePath() const {
    return QFile::encodeName(FileName).toStdString();
}

}  // namespace doze
