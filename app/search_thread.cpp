#include "app/search_thread.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <atomic>
#include <exception>
#include <thread>

namespace doze {
namespace {

// Drops the user's input to every window of the program while it lives.
class InputDropper : public QObject {
  public:
    InputDropper() { QCoreApplication::instance()->installEventFilter(this); }
    ~InputDropper() override { QCoreApplication::instance()->removeEventFilter(this); }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::ShortcutOverride:
                event->accept();  // claimed by the focus widget: no shortcut fires
                return true;
            case QEvent::Close:
                event->ignore();  // the window stays open
                return true;
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::Wheel:
            case QEvent::KeyPress:
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
};

}  // namespace

void RunOffWindowThread(const std::function<void()>& work) {
    InputDropper dropper;
    QEventLoop loop;
    std::atomic<bool> done{false};
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        done.store(true);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    // The loop also ends when the program is asked to quit; the work cannot
    // be left behind, so wait on.
    while (!done.load()) loop.exec();
    worker.join();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace doze
