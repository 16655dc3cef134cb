#pragma once
#include <QWidget>

class QLabel;

namespace doze {

// The progress window of a run: "Please wait..." and nothing else; its close
// box (and Esc) cancel the search while the run holds the input. Deleted when
// closed.
class frmProgress : public QWidget {
    Q_OBJECT
  public:
    explicit frmProgress(QWidget* owner = nullptr);

    QLabel* Label1 = nullptr;
};

// Creates a progress window and shows it, not modal, centred on the screen.
frmProgress* ShowProgressWindow(QWidget* owner);

}  // namespace doze
