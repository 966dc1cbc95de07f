// Text helpers for 8-bit ANSI strings.
#pragma once

#include <cstdint>
#include <string>

namespace kestrix {

// Removes leading and trailing characters whose code is 32 or less.
std::string Trim(const std::string& text);

// Case conversion of the ASCII letters only, so byte positions never move.
std::string UpperCase(const std::string& text);
std::string LowerCase(const std::string& text);
bool SameText(const std::string& a, const std::string& b);

// A signed 32-bit whole number: leading blanks, an optional sign, then decimal digits or
// hexadecimal digits after "$" or "0x", and nothing after. Out-of-range values fail.
bool TryStrToInt(const std::string& text, int32_t& value);
// As TryStrToInt; raises EConvertError ("'abc' is not a valid integer value").
int32_t StrToInt(const std::string& text);
std::string IntToStr(int64_t value);

}  // namespace kestrix
