// SPDX-License-Identifier: MIT
#include "app/search_thread.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>
#include <atomic>
#include <exception>
#include <thread>  // std::jthread

#include "ui/platform_ui.h"

namespace doze {
namespace {

// Whether `receiver` is `window` or lies in it; a close or a key first
// reaches the window system's window of a widget, then the widget.
bool InWindow(QObject* receiver, const QWidget* window) {
    if (window == nullptr) return false;
    if (receiver->isWidgetType()) return static_cast<QWidget*>(receiver)->window() == window;
    return receiver->isWindowType() && receiver == window->windowHandle();
}

}  // namespace

InputHold::InputHold(QWidget* cancelWindow, std::function<void()> cancel)
    : cancelWindow_(cancelWindow), cancel_(std::move(cancel)) {
    QCoreApplication::instance()->installEventFilter(this);
}

InputHold::~InputHold() {
    QCoreApplication::instance()->removeEventFilter(this);
}

bool InputHold::eventFilter(QObject* receiver, QEvent* event) {
    const bool cancels = cancel_ && InWindow(receiver, cancelWindow_);
    switch (event->type()) {
        case QEvent::ShortcutOverride:
            event->accept();  // claimed by the focus widget: no shortcut fires
            return true;
        case QEvent::Close:
            if (cancels) cancel_();
            event->ignore();  // the window stays open
            return true;
        case QEvent::KeyPress:
            if (cancels && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) cancel_();
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::Drop:
            return true;
        default:
            return false;
    }
}

void RunOffWindowThread(const std::function<void()>& work, const std::function<void()>& stop) {
    QEventLoop loop;
    std::atomic<bool> done{false};
    std::exception_ptr failure;
    // Declared last, so the thread is joined before what it uses goes.
    std::jthread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        done.store(true);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    try {
        // The loop also ends when the program is asked to quit; the work
        // cannot be left behind, so wait on.
        while (!done.load()) loop.exec();
    } catch (...) {
        // Something thrown out of the loop: the work is asked to stop and
        // waited for on the way out.
        if (stop) stop();
        throw;
    }
    worker.join();
    if (failure) std::rethrow_exception(failure);
}

void WaitOffWindowThread(const std::function<void()>& work) {
    const InputHold hold;
    struct BusyPointer {
        BusyPointer() { Ui().SetBusyPointer(true); }
        ~BusyPointer() { Ui().SetBusyPointer(false); }
    } busy;
    RunOffWindowThread(work);
}

}  // namespace doze
