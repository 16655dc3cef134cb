// SPDX-License-Identifier: MIT
#pragma once
#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

namespace doze {

// While it lives, the user's input to every window of the program is
// dropped: clicks, keys, the wheel, drops and close requests; the windows
// keep painting and answering the window manager. Only closing
// `cancelWindow`, or Esc in it, is heard: it calls `cancel` (and the window
// stays until its owner closes it).
class InputHold : public QObject {
  public:
    explicit InputHold(QWidget* cancelWindow = nullptr, std::function<void()> cancel = {});
    ~InputHold() override;

  protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

  private:
    QPointer<QWidget> cancelWindow_;
    std::function<void()> cancel_;
};

// Runs `work` on a thread of its own while this thread, the windows' thread,
// goes on handling window events. Returns when `work` has returned; what it
// threw (out of memory included) is thrown again here. Nothing else may touch
// what `work` uses until this returns. Should an exception leave the event
// loop meanwhile, `stop` (when given) asks the work to end, and the exception
// passes on once the work has ended.
void RunOffWindowThread(const std::function<void()>& work, const std::function<void()>& stop = {});

// RunOffWindowThread with the busy pointer shown and the user's input held:
// for what the windows wait on, a folder or the mount table read.
void WaitOffWindowThread(const std::function<void()>& work);

}  // namespace doze
