#pragma once

class QWidget;

namespace doze {

// Puts a top-level window's frame in the middle of the screen it is on (the
// primary screen when it has none yet).
void CentreOnScreen(QWidget* window);

}  // namespace doze
