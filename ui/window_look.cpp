#include "ui/window_look.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace doze {

void CentreOnScreen(QWidget* window) {
    const QScreen* screen =
        window->screen() != nullptr ? window->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    QRect frame = window->frameGeometry();
    if (frame.size().isEmpty()) frame.setSize(window->size());
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

}  // namespace doze
