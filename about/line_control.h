// SPDX-License-Identifier: MIT
#pragma once
#include <QColor>
#include <QWidget>

namespace doze {

// A horizontal line drawn from x1 to x2 (inclusive) at height y of its parent,
// `thickness` thick, downwards from y; all in twips. It takes no input.
class LineControl : public QWidget {
    Q_OBJECT
  public:
    LineControl(QWidget* parent, QColor colour, int thickness, int x1, int x2, int y);

    QColor colour() const { return colour_; }
    int thickness() const { return height(); }  // in pixels

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor colour_;
};

}  // namespace doze
