#pragma once
#include <QColor>
#include <QRect>

class QWidget;

namespace doze {

// Window geometry is laid out in twips; 15 twips make one pixel at 96 dpi.
constexpr int Twips(int twips) {
    return (twips + 7) / 15;
}
inline QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(Twips(left), Twips(top), Twips(width), Twips(height));
}

// The light orange of the main window and the About window.
inline const QColor kLightOrange{255, 192, 128};

// Puts a top-level window's frame in the middle of the screen it is on (the
// primary screen when it has none yet).
void CentreOnScreen(QWidget* window);

}  // namespace doze
