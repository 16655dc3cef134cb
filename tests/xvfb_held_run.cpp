// The main window with a search that prints "held PATH" and then waits, on
// its own thread, until RELEASE_FILE exists; for looking at the windows while
// a search runs:   xvfb_held_run FOLDER RELEASE_FILE   (FOLDER: the start)
#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <thread>

#include "app/frm_main.h"
#include "search/walker.h"
#include "ui/window_look.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 3) return 2;
    doze::UseProgramFont();
    doze::MainWindowServices services{{}, {}, {}, argv[1]};
    services.search = [&](doze::SearchParams& params, auto& state, auto* progress) {
        std::printf("held %s\n", params.Path.c_str());
        std::fflush(stdout);
        while (access(argv[2], F_OK) != 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        doze::RunSearch(params, state, progress);
    };
    doze::ShowMainWindow(std::move(services));
    return QApplication::exec();
}
