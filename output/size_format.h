// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace doze {

// Byte-count text to whole megabytes with two decimals ("4.00"): read the
// number (blanks ignored, a text without a number reads as 0), round to whole
// bytes, to whole kilobytes, then to whole megabytes, each time halves to
// even. `decimalSeparator` stands between the digits. Throws
// SizeConversionFailure when the number lies outside the 64-bit range.
std::string FormatSizeMB(std::string_view sizeText, std::string_view decimalSeparator = ".");
// The same for a byte count.
std::string FormatSizeMB(std::int64_t bytes, std::string_view decimalSeparator = ".");

// The byte count in a size text, read as FormatSizeMB reads it: the leading
// decimal number rounded to whole bytes, halves to even; blanks anywhere are
// passed over; no number at the start gives 0. Throws SizeConversionFailure
// when the number lies outside the 64-bit range.
std::int64_t ParseByteCount(std::string_view text);

// The decimal separator of the user's numeric locale (LC_NUMERIC as set by
// the program); "." in the C locale.
std::string LocaleDecimalSeparator();

}  // namespace doze
