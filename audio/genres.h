// SPDX-License-Identifier: MIT
#pragma once

namespace doze::audio {

// The name of ID3v1 genre number `number` (0 to 191, the Winamp list as TagLib names it), or
// nullptr for any other number.
const char* GenreName(int number);

}  // namespace doze::audio
