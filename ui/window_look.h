// SPDX-License-Identifier: MIT
#pragma once
#include <QColor>
#include <QRect>

class QWidget;

namespace doze {

// The windows' scale: 1 at the design size of the program's font, more on a
// desktop whose font is larger (set by UseProgramFont).
double WindowScale();

// Window geometry is laid out in twips; 15 twips make one pixel at 96 dpi
// and at the design size, WindowScale() times as many on a larger font.
int Twips(int twips);
inline QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(Twips(left), Twips(top), Twips(width), Twips(height));
}

// The light orange of the main window and the About window.
inline const QColor kLightOrange{255, 192, 128};

// The design size of the program's one font, in points; no caption is drawn
// smaller.
inline constexpr double kFontPoints = 8.0;

// Makes the program's font (Liberation Sans, else Noto Sans, else the
// desktop's sans serif) the font of every window it opens: its own, the
// message boxes and the Save-As dialog. At a desktop font of `desktopPoints`
// above kFontPoints, the font and WindowScale() grow by their ratio, as the
// old platform's large fonts did, so that every caption still fits its box.
// Call before the first window is created.
void UseProgramFont(double desktopPoints = kFontPoints);

// Gives the captions of `control` and of what it holds the dark text of a
// light desktop, for controls drawn over the light orange, which is the same
// under every desktop colour scheme; marks and fields inside keep the
// desktop's colours.
void UseDarkCaptions(QWidget* control);

// Puts a top-level window's frame in the middle of the screen it is on (the
// primary screen when it has none yet). A window with a frame is centred
// again, once, when the window manager has put the frame around it: until
// then the frame's size is not known.
void CentreOnScreen(QWidget* window);

}  // namespace doze
