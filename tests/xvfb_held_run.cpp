// SPDX-License-Identifier: MIT
// The main window with a search that prints "held PATH" and then waits, on
// its own thread, until RELEASE exists or the user cancels it; a folder named
// "slow" is read only once RELEASE.folder exists ("listing PATH" first). For
// looking at the windows while they wait:   xvfb_held_run FOLDER RELEASE
// (FOLDER: the start). RELEASE.captions tells, every 200 ms, the desktop's
// colour scheme and where each caption of a visible window stands.
#include <unistd.h>

#include <QtWidgets>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "app/folder_list.h"
#include "app/frm_main.h"
#include "search/walker.h"
#include "ui/window_look.h"

namespace {

// Prints "WHAT PATH", then waits until `file` exists or `progress` is cancelled.
void Hold(const char* what, const std::string& path, const std::string& file,
          const doze::SearchProgress* progress = nullptr) {
    std::printf("%s %s\n", what, path.c_str());
    while (access(file.c_str(), F_OK) != 0 && !(progress && progress->Cancelled()))
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

// "scheme dark" or "scheme light", then "WINDOW<tab>NAME<tab>X Y W H" for the
// text of each label, option and frame title, in the window's own pixels.
void WriteCaptions(const std::string& file) {
    std::ofstream out(file);
    out << "scheme " << (qApp->palette().window().color().lightness() < 128 ? "dark" : "light")
        << '\n';
    for (QWidget* window : QApplication::topLevelWidgets()) {
        for (QWidget* control : window->findChildren<QWidget*>()) {
            QRect text = control->contentsRect();  // a label's
            QStyleOptionGroupBox style;            // the text right of an option's mark, a title
            style.initFrom(control);
            if (qobject_cast<QRadioButton*>(control)) {
                text = control->style()->subElementRect(QStyle::SE_RadioButtonContents, &style,
                                                        control);
            } else if (auto* frame = qobject_cast<QGroupBox*>(control)) {
                style.text = frame->title();
                style.subControls = QStyle::SC_GroupBoxLabel;
                text = control->style()->subControlRect(QStyle::CC_GroupBox, &style,
                                                        QStyle::SC_GroupBoxLabel, control);
            } else if (auto* label = qobject_cast<QLabel*>(control);
                       !label || label->text().isEmpty()) {
                continue;
            }
            if (!window->isVisible() || !control->isVisible()) continue;
            const QPoint at = control->mapTo(window, text.topLeft());
            out << window->windowTitle().toStdString() << '\t'
                << control->objectName().toStdString() << '\t' << at.x() << ' ' << at.y() << ' '
                << text.width() << ' ' << text.height() << '\n';
        }
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 3) return 2;
    const std::string release = argv[2];
    doze::UseProgramFont(QApplication::font().pointSizeF());
    doze::MainWindowServices services;
    services.startFolder = argv[1];
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    services.search = [&](doze::SearchParams& params, auto& state, auto* progress) {
        Hold("held", params.Path, release, progress);
        return doze::RunSearch(params, state, progress);  // a cancelled one stops at once
    };
    services.folders = [&](const std::string& path, std::vector<std::string>& names) {
        if (path.ends_with("/slow")) Hold("listing", path, release + ".folder");
        return doze::ListSubfolders(path, names);
    };
    doze::ShowMainWindow(std::move(services));
    QTimer captions;
    QObject::connect(&captions, &QTimer::timeout, [&] { WriteCaptions(release + ".captions"); });
    captions.start(200);
    return QApplication::exec();
}
