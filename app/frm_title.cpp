// SPDX-License-Identifier: MIT
#include "app/frm_title.h"

#include <QPainter>
#include <QSvgRenderer>
#include <QTimer>

#include "app/frm_main.h"
#include "ui/window_look.h"

// The artwork is compiled into the static library; its registration has to
// be asked for by name, outside any namespace.
static void LoadTitleArtwork() {
    Q_INIT_RESOURCE(title_art);
}

namespace doze {

frmTitle::frmTitle(std::function<void()> showMain)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint), showMain_(std::move(showMain)) {
    setObjectName(QStringLiteral("frmTitle"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Between closing this window and showing the main one none is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(Twips(5115), Twips(3630));
    LoadTitleArtwork();
    artwork_ = new QSvgRenderer(QStringLiteral(":/dozedozovo/title_art.svg"), this);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(2000);
    Timer1->setTimerType(Qt::PreciseTimer);  // a coarse timer may fire 5 % early
    connect(Timer1, &QTimer::timeout, this, &frmTitle::Timer1_Timer);
    Timer1->start();
}

void frmTitle::Timer1_Timer() {
    // Closing deletes the window and its timer, so this runs once.
    const auto showMain = showMain_;
    close();
    if (showMain) {
        showMain();
    } else {
        ShowMainWindow();
    }
}

void frmTitle::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    artwork_->render(&painter, QRectF(rect()));
}

frmTitle* ShowTitleWindow(std::function<void()> showMain) {
    auto* window = new frmTitle(std::move(showMain));
    CentreOnScreen(window);
    window->show();
    return window;
}

}  // namespace doze
