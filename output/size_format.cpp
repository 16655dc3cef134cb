// SPDX-License-Identifier: MIT
#include "output/size_format.h"

#include <clocale>
#include <cstdint>
#include <limits>

#include "output/write_failure.h"

namespace doze {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

[[noreturn]] void OutOfRange(std::string_view sizeText) {
    throw SizeConversionFailure("the size \"" + std::string(sizeText) +
                                "\" lies outside the range of a byte count.");
}

}  // namespace

std::int64_t ParseByteCount(std::string_view text) {
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && IsBlank(text[i])) ++i;
    };
    skipBlanks();
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    // Magnitude in unsigned arithmetic; the negative range reaches one further.
    const std::uint64_t limit =
        static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + (negative ? 1 : 0);
    std::uint64_t magnitude = 0;
    for (skipBlanks(); i < text.size() && text[i] >= '0' && text[i] <= '9'; skipBlanks()) {
        const auto digit = static_cast<std::uint64_t>(text[i++] - '0');
        if (magnitude > (limit - digit) / 10) OutOfRange(text);
        magnitude = magnitude * 10 + digit;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        skipBlanks();
        int firstDecimal = -1;
        bool restNonZero = false;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; skipBlanks()) {
            if (firstDecimal < 0) {
                firstDecimal = text[i] - '0';
            } else if (text[i] != '0') {
                restNonZero = true;
            }
            ++i;
        }
        const bool roundUp = firstDecimal > 5 || (firstDecimal == 5 && restNonZero) ||
                             (firstDecimal == 5 && !restNonZero && magnitude % 2 == 1);
        if (roundUp) {
            if (magnitude == limit) OutOfRange(text);
            ++magnitude;
        }
    }
    if (negative) {
        return magnitude == 0 ? 0 : -static_cast<std::int64_t>(magnitude - 1) - 1;
    }
    return static_cast<std::int64_t>(magnitude);
}

namespace {

// n / d rounded to the nearest whole number, halves to even.
std::int64_t DivideRounded(std::int64_t n, std::int64_t d) {
    std::int64_t q = n / d;
    const std::int64_t r = n % d;
    const std::int64_t twice = r < 0 ? -2 * r : 2 * r;
    if (twice > d || (twice == d && q % 2 != 0)) q += (n < 0) ? -1 : 1;
    return q;
}

}  // namespace

std::string FormatSizeMB(std::string_view sizeText, std::string_view decimalSeparator) {
    return FormatSizeMB(ParseByteCount(sizeText), decimalSeparator);
}

std::string FormatSizeMB(std::int64_t bytes, std::string_view decimalSeparator) {
    const std::int64_t kilobytes = DivideRounded(bytes, 1024);
    const std::int64_t megabytes = DivideRounded(kilobytes, 1024);
    std::string result = std::to_string(megabytes);
    result.append(decimalSeparator);
    result.append("00");
    return result;
}

std::string LocaleDecimalSeparator() {
    const std::lconv* conv = std::localeconv();
    if (conv == nullptr || conv->decimal_point == nullptr || *conv->decimal_point == '\0') {
        return ".";
    }
    return conv->decimal_point;
}

}  // namespace doze
