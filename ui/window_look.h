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

// The size of the program's one font, in points; no caption is drawn smaller.
inline constexpr double kFontPoints = 8.0;

// Makes the program's font (Liberation Sans, else Noto Sans, else the
// desktop's sans serif, at kFontPoints) the font of every window it opens:
// its own, the message boxes and the Save-As dialog. Call before the first
// window is created.
void UseProgramFont();

// Puts a top-level window's frame in the middle of the screen it is on (the
// primary screen when it has none yet). A window with a frame is centred
// again, once, when the window manager has put the frame around it: until
// then the frame's size is not known.
void CentreOnScreen(QWidget* window);

}  // namespace doze
