// SPDX-License-Identifier: MIT
#pragma once

class QWidget;

namespace doze {

// Help, Contents: hands "<program folder>/mp3.chm" to the desktop's CHM
// viewer, or where there is none the same help as HTML pages to the browser
// (MenuContents_Click), with the program folder as working folder and a
// maximised window asked for. Returns at once; whether a viewer started is
// not known and not reported.
void ShowHelpContents(QWidget* owner);

// Help, About...: builds a fresh About window, shows it modally and returns
// when it has been closed. The window is destroyed on closing.
void ShowAboutWindow(QWidget* owner);

}  // namespace doze
