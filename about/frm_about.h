// SPDX-License-Identifier: MIT
#pragma once
#include <QDialog>
#include <array>

#include "ui/window_look.h"

class QLabel;
class QPushButton;

namespace doze {

class LineControl;

// The About window: program name, version, maker and a legal warning beside
// the program icon; "OK" closes it (also Enter and Esc), "&System Info..."
// starts the system-information program. Fixed texts, nothing read on opening.
class frmAbout : public QDialog {
    Q_OBJECT
  public:
    explicit frmAbout(QWidget* owner = nullptr);

    QPushButton* cmdOK;
    QLabel* picIcon;
    QPushButton* cmdSysInfo;
    QLabel* lblDescription;
    QLabel* lblDisclaimer;
    QLabel* lblTitle;
    QLabel* lblVersion;
    std::array<LineControl*, 2> Line1;

  public slots:
    // Closes the window, like "OK"; also what Esc and the title bar's close do.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private slots:
    void cmdOK_Click();
    void cmdSysInfo_Click();

  private:
    QLabel* MakeLabel(const QString& text, int left, int top, int width, int height);
};

}  // namespace doze
