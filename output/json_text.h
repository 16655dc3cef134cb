// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace doze {

// Appends `text` as a JSON string, quotes included: valid UTF-8 as it is, each
// byte of invalid UTF-8 as U+FFFD; '"', '\' and the controls (C0, DEL, C1) and
// U+2028/U+2029 as escapes; with `scriptSafe` also '<', '>' and '&', so that
// the string can stand inside a script element. Returns false when a byte of
// invalid UTF-8 was replaced.
bool AppendJsonString(std::string& out, std::string_view text, bool scriptSafe = false);

// Appends `"key": ` (a key is plain ASCII, needing no escapes).
void AppendJsonKey(std::string& out, std::string_view key);

// Appends `"key": ` and the string, and where `text` is not valid UTF-8 also
// `, "KEY_hex": "..."` with its bytes in hexadecimal, so that nothing is lost.
void AppendJsonText(std::string& out, std::string_view key, std::string_view text,
                    bool scriptSafe = false);

// Appends `"key": ` and the number, or null.
void AppendJsonNumber(std::string& out, std::string_view key, std::optional<std::int64_t> value);

}  // namespace doze
