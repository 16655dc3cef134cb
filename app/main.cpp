// SPDX-License-Identifier: MIT
// Dozedozovo: lists the MP3 files of a folder tree as plain text or HTML.
#include <QApplication>
#include <clocale>

#include "app/frm_title.h"
#include "output/internal_error.h"
#include "ui/window_look.h"

int main(int argc, char* argv[]) {
    doze::TreatEscapesAsFaults("dozedozovo");
    QApplication application(argc, argv);
    // Sizes are written with the user's decimal separator, as the list tool does.
    std::setlocale(LC_NUMERIC, "");
    QApplication::setApplicationName(QStringLiteral("Dozedozovo"));
    // The menu entry's name, so that docks and task bars match the windows to it.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.vovezaduvu.Dozedozovo"));
    // The desktop's font size, as the platform tells it, scales the windows.
    doze::UseProgramFont(QApplication::font().pointSizeF());
    doze::ShowTitleWindow();
    return QApplication::exec();
}
