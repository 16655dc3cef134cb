// SPDX-License-Identifier: MIT
#include "ui/window_look.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace doze {
namespace {

void MoveFrameToCentre(QWidget* window) {
    const QScreen* screen =
        window->screen() != nullptr ? window->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    QRect frame = window->frameGeometry();
    if (frame.size().isEmpty()) frame.setSize(window->size());
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

// Centres its window again the first time the window reports a move, a
// resize or a state change with a frame around it, then goes.
class CentreWhenFramed : public QObject {
  public:
    explicit CentreWhenFramed(QWidget* window) : QObject(window), window_(window) {
        setObjectName(Name());
        window->installEventFilter(this);
    }
    static QString Name() { return QStringLiteral("CentreWhenFramed"); }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        const QEvent::Type type = event->type();
        if ((type == QEvent::Move || type == QEvent::Resize || type == QEvent::WindowStateChange ||
             type == QEvent::WindowActivate) &&
            window_->isVisible() && window_->frameGeometry() != window_->geometry()) {
            window_->removeEventFilter(this);
            MoveFrameToCentre(window_);
            deleteLater();
        }
        return false;
    }

  private:
    QWidget* window_;
};

double g_scale = 1.0;

}  // namespace

double WindowScale() {
    return g_scale;
}

int Twips(int twips) {
    return static_cast<int>(std::lround(twips * g_scale / 15.0));
}

void UseProgramFont(double desktopPoints) {
    g_scale = desktopPoints > kFontPoints ? desktopPoints / kFontPoints : 1.0;
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Noto Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(kFontPoints * g_scale);
    QApplication::setFont(font);
}

void UseDarkCaptions(QWidget* control) {
    // A frame's title is drawn in the Text colour, which the radio marks and
    // input fields inside also use: they get the desktop's back.
    const QColor desktopText = QApplication::palette().color(QPalette::Text);
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::Text, Qt::black);
    control->setPalette(palette);
    for (QWidget* inside : control->findChildren<QWidget*>()) {
        QPalette own = inside->palette();
        own.setColor(QPalette::Text, desktopText);
        inside->setPalette(own);
    }
}

void CentreOnScreen(QWidget* window) {
    MoveFrameToCentre(window);
    if (window->windowFlags() & Qt::FramelessWindowHint) return;
    if (window->findChild<QObject*>(CentreWhenFramed::Name(), Qt::FindDirectChildrenOnly) ==
        nullptr) {
        new CentreWhenFramed(window);
    }
}

}  // namespace doze
