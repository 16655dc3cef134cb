// SPDX-License-Identifier: MIT
#pragma once
#include <QWidget>
#include <functional>

class QSvgRenderer;
class QTimer;

namespace doze {

// The title window: the title artwork, borderless, no taskbar entry. Two
// seconds after it is created its timer closes it and shows the main window.
// Deleted when closed.
class frmTitle : public QWidget {
    Q_OBJECT
  public:
    // `showMain` shows the main window; empty stands for ShowMainWindow().
    explicit frmTitle(std::function<void()> showMain = {});

    QTimer* Timer1 = nullptr;

    void Timer1_Timer();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QSvgRenderer* artwork_ = nullptr;
    std::function<void()> showMain_;
};

// Creates the title window and shows it, not modal, centred on the screen.
frmTitle* ShowTitleWindow(std::function<void()> showMain = {});

}  // namespace doze
