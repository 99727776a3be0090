// Wide: the program's UTF-16 text as the Win32 API's wide strings. Both are UTF-16 on Windows,
// so these are views of the same units, not conversions.
#pragma once

#include <cwchar>

#include "platform/Text.h"

namespace zolv::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide strings are UTF-16");

inline const wchar_t* Wide(const String& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

inline wchar_t* Wide(String& text) {
  return reinterpret_cast<wchar_t*>(text.data());
}

inline const wchar_t* Wide(StringView text) {
  return reinterpret_cast<const wchar_t*>(text.data());
}

// The text of a wide buffer filled by the system: `length` units, or up to its terminating null.
inline String FromWide(const wchar_t* text, std::size_t length) {
  return String(reinterpret_cast<const char16_t*>(text), length);
}

inline String FromWide(const wchar_t* text) {
  return FromWide(text, std::wcslen(text));
}

}  // namespace zolv::win32
