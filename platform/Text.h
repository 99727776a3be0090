// Text: the program's string type (UTF-16, as the platform's wide strings) and the platform's
// text services: simple case mapping, the system's ANSI code page, numbers as text.
#pragma once

#include <string>
#include <string_view>

namespace zolv {

using String = std::u16string;
using StringView = std::u16string_view;

namespace text {

// A whole number's decimal digits, after a minus sign when it is negative.
inline String Decimal(long long number) {
  const std::string digits = std::to_string(number);
  return String(digits.begin(), digits.end());
}

// Simple case mapping, one UTF-16 unit at a time (CharUpperBuffW / CharLowerBuffW); units
// without a single-unit mapping, surrogates included, stay as they are.
String UpperCase(StringView text);
String LowerCase(StringView text);

// The system's ANSI code page (the host stands in with Windows-1252).
String DecodeAnsi(std::string_view bytes);
std::string EncodeAnsi(StringView text);

}  // namespace text
}  // namespace zolv
