// SPDX-License-Identifier: MIT
#include "about/line_control.h"

#include <QPainter>

#include "ui/window_look.h"

namespace doze {

LineControl::LineControl(QWidget* parent, QColor colour, int thickness, int x1, int x2, int y)
    : QWidget(parent), colour_(colour) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(Twips(x1), Twips(y), Twips(x2) - Twips(x1) + 1, Twips(thickness));
}

void LineControl::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), colour_);
}

}  // namespace doze
