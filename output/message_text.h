// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <string_view>

// How messages show text from outside the program (folder and file names,
// arguments): always one line, on a terminal or in a window, that means what
// it says.

namespace doze {

// `text` with each C0 control, DEL and byte of invalid UTF-8 shown as \xNN,
// and each C1 control, line or paragraph separator and bidirectional control
// (U+061C, U+200E, U+200F, U+202A to U+202E, U+2066 to U+2069) as \u{NNNN},
// in lower-case hexadecimal. What it gives, it leaves as it is. For whole
// messages, where they are shown.
std::string SafeMessageText(std::string_view text);

// A path for a message: as it is when it holds nothing SafeMessageText
// escapes, no backslash and no double quote; otherwise in double quotes, with
// those escapes and \\ and \" for a backslash and a double quote, so that a
// quoted path reads back to its bytes.
std::string MessagePath(std::string_view path);

// The same, for a sentence that always quotes its path: in double quotes,
// escaped as above only when MessagePath would quote it.
std::string QuotedMessagePath(std::string_view path);

}  // namespace doze
