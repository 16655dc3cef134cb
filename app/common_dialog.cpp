#include "app/common_dialog.h"

#include <QFile>

#include "ui/platform_ui.h"

namespace doze {

void CommonDialog::ShowSave(QWidget* owner) {
    SaveDialogRequest request{DialogTitle, Filter, FileName};
    if (Ui().ShowSaveDialog(owner, request)) {
        FileName = request.fileName;
        return;
    }
    if (CancelError) throw DialogCancelled{};
}

std::string CommonDialog::FileNamePath() const {
    return QFile::encodeName(FileName).toStdString();
}

}  // namespace doze
