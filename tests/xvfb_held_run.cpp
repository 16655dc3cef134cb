// The main window with a search that stops until a file appears, for looking
// at the windows while a search is under way in a real X session:
//   xvfb_held_run FOLDER RELEASE_FILE
// FOLDER is where the folder list starts; each search prints "held PATH" when
// it stops and goes on once RELEASE_FILE exists. The rest is the program's own.
#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

#include "app/frm_main.h"
#include "doubles/held_search.h"
#include "ui/window_look.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: xvfb_held_run FOLDER RELEASE_FILE\n");
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("Dozedozovo"));
    doze::UseProgramFont();
    doze::testing::HeldSearch held;
    held.onHeld = [](const std::string& path) {
        std::printf("held %s\n", path.c_str());
        std::fflush(stdout);
    };
    doze::MainWindowServices services;
    services.startFolder = argv[1];
    services.search = held.Function();
    doze::ShowMainWindow(std::move(services));
    const QString release = QFile::decodeName(argv[2]);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QFileInfo::exists(release)) held.Release();
    });
    poll.start(50);
    return QApplication::exec();
}
