// SPDX-License-Identifier: MIT
#pragma once
#include <string_view>

namespace doze {

// Wildcard match of a whole name: "*" any run of bytes (also none), "?" one
// byte, ASCII letters compared without regard to case, other bytes exactly.
bool MatchesPattern(std::string_view name, std::string_view pattern);

// The listing order of names within one folder: bytes compared with ASCII
// letters folded to upper case, ties broken by the raw bytes.
bool ListingLess(std::string_view a, std::string_view b);

}  // namespace doze
