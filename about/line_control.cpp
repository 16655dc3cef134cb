#include "about/line_control.h"

#include <QPainter>

namespace doze {

LineControl::LineControl(QWidget* parent, QColor colour, int thickness, int x1, int x2, int y)
    : QWidget(parent), colour_(colour) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(x1, y, x2 - x1 + 1, thickness);
}

void LineControl::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), colour_);
}

}  // namespace doze
