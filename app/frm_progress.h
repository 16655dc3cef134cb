// SPDX-License-Identifier: MIT
#pragma once
#include <QWidget>

class QLabel;

namespace doze {

// The progress window of a run: "Please wait..." and nothing else; its close
// box (and Esc) cancel the search while the run holds the input. It asks for
// no minimise button, and where a window manager offers one all the same it
// comes back at once. Deleted when closed.
class frmProgress : public QWidget {
    Q_OBJECT
  public:
    explicit frmProgress(QWidget* owner = nullptr);

    QLabel* Label1 = nullptr;

  protected:
    void changeEvent(QEvent* event) override;
};

// Creates a progress window and shows it, not modal, centred on the screen.
frmProgress* ShowProgressWindow(QWidget* owner);

}  // namespace doze
