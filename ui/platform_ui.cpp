#include "ui/platform_ui.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPixmap>
#include <QProcess>
#include <QStringList>
#include <QUrl>

#include "ui/dozedozovo.xpm"
#include "ui/mime_associations.h"

namespace doze {
namespace {

QMessageBox::Icon IconFor(int style) {
    switch (style) {
        case kStyleYesNoQuestion:
            return QMessageBox::Question;
        case kStyleExclamation:
            return QMessageBox::Warning;
        case kStyleInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

class DesktopUi : public PlatformUi {
  public:
    int ShowMessage(QWidget* owner, const QString& text, int style, const QString& title) override {
        QMessageBox box(IconFor(style), title.isEmpty() ? QString(kApplicationTitle) : title, text,
                        QMessageBox::NoButton, owner);
        if (style == kStyleYesNoQuestion) {
            box.addButton(QMessageBox::Yes);
            box.addButton(QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            return box.exec() == QMessageBox::Yes ? kAnswerYes : kAnswerNo;
        }
        box.addButton(QMessageBox::Ok);
        box.exec();
        return kAnswerOk;
    }

    bool ShowSaveDialog(QWidget* owner, SaveDialogRequest& request) override {
        const QString description = request.filter.section('|', 0, 0);
        QFileDialog dialog(owner, request.title);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        dialog.setNameFilter(description);
        if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
        request.fileName = dialog.selectedFiles().constFirst();
        return true;
    }

    void SetBusyPointer(bool busy) override {
        if (busy) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        } else {
            while (QApplication::overrideCursor() != nullptr) QApplication::restoreOverrideCursor();
        }
    }

    void YieldOnce() override { QApplication::processEvents(); }

    void OpenDocument(const QString& path, const QString&, bool) override {
        // The desktop's opener takes neither a working folder nor a show state;
        // the viewer chooses its own window size.
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }

    bool HasViewerFor(const QString& mimeType) override {
        return HasRegisteredApplication(mimeType, DesktopAssociationFolders());
    }

    bool StartProgram(const QString& program) override {
        if (program.isEmpty()) return false;
        return QProcess::startDetached(program, {});
    }
};

PlatformUi* g_override = nullptr;

}  // namespace

PlatformUi& Ui() {
    static DesktopUi desktop;
    return g_override != nullptr ? *g_override : desktop;
}

void SetUi(PlatformUi* ui) {
    g_override = ui;
}

QIcon ProgramIcon() {
    return QIcon(QPixmap(dozedozovo_xpm));
}

}  // namespace doze
