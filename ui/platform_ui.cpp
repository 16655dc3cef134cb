// SPDX-License-Identifier: MIT
#include "ui/platform_ui.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QSvgRenderer>
#include <QUrl>

#include "ui/dozedozovo.xpm"

// The drawing of the icon is compiled into the static library; its
// registration has to be asked for by name, outside any namespace.
static void LoadIconArtwork() {
    Q_INIT_RESOURCE(program_icon);
}

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

// Icons and type names for the entries of Qt's file dialog, told from the
// kind of entry and the name alone: no file is opened or read, so a FIFO, a
// device or a /proc file that never answers cannot stop the dialog. The icons
// are made on the window thread; the dialog also asks from a thread of its own.
class NameOnlyIcons : public QFileIconProvider {
  public:
    NameOnlyIcons() : drive_(icon(Drive)), folder_(icon(Folder)), file_(icon(File)) {
        setOptions(DontUseCustomDirectoryIcons);
    }
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override {
        if (info.isRoot()) return drive_;
        return info.isDir() ? folder_ : file_;
    }
    QString type(const QFileInfo& info) const override {
        if (info.isRoot()) return QStringLiteral("Drive");
        if (info.isDir()) return QStringLiteral("Folder");
        const QString suffix = info.suffix();
        return suffix.isEmpty() ? QStringLiteral("File")
                                : suffix.toUpper() + QStringLiteral(" File");
    }

  private:
    QIcon drive_, folder_, file_;
};

// How long the desktop may take to name a viewer.
constexpr int kQueryMilliseconds = 5000;

class DesktopUi : public PlatformUi {
  public:
    int ShowMessage(QWidget* owner, const QString& text, int style, const QString& title) override {
        QMessageBox box(IconFor(style),
                        title.isEmpty() ? QString::fromLatin1(kApplicationTitle) : title, text,
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
        const QString description = request.filter.section(u'|', 0, 0);
        // The desktop's own file chooser where it offers one; Qt's dialog
        // otherwise, which must not open files to tell their type.
        NameOnlyIcons icons;
        QFileDialog dialog(owner, request.title);
        dialog.setIconProvider(&icons);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        dialog.setOption(QFileDialog::DontUseCustomDirectoryIcons, true);
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
        QProcess query;
        query.start(QStringLiteral("xdg-mime"),
                    {QStringLiteral("query"), QStringLiteral("default"), mimeType});
        if (!query.waitForFinished(kQueryMilliseconds)) {
            query.kill();  // not started, or hung: no viewer known
            query.waitForFinished();
            return false;
        }
        return query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0 &&
               !query.readAllStandardOutput().trimmed().isEmpty();
    }

    QString FindProgram(const QString& name) override {
        return QStandardPaths::findExecutable(name);
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
    static const QIcon icon = [] {
        QIcon sizes{QPixmap(dozedozovo_xpm)};
        LoadIconArtwork();
        QSvgRenderer artwork(QStringLiteral(":/dozedozovo/program_icon.svg"));
        for (const int side : {16, 24, 48, 64, 128, 256}) {
            QPixmap picture(side, side);
            picture.fill(Qt::transparent);
            QPainter painter(&picture);
            artwork.render(&painter);
            painter.end();
            sizes.addPixmap(picture);
        }
        return sizes;
    }();
    return icon;
}

}  // namespace doze
