// Text on Win32: the system's simple case mapping and its ANSI code page.
#include "platform/Text.h"

#include <windows.h>

#include <climits>

#include "platform/win32/system/SystemError.h"
#include "platform/win32/system/Wide.h"

namespace zolv::text {

using win32::Wide;

namespace {

// The code-page functions count in int.
int CountOf(size_t length) {
  if (length > INT_MAX)
    throw win32::SystemFailure("WideCharToMultiByte", ERROR_ARITHMETIC_OVERFLOW);
  return static_cast<int>(length);
}

}  // namespace

String UpperCase(StringView text) {
  String result(text);
  if (!result.empty())
    ::CharUpperBuffW(Wide(result), static_cast<DWORD>(result.size()));
  return result;
}

String LowerCase(StringView text) {
  String result(text);
  if (!result.empty())
    ::CharLowerBuffW(Wide(result), static_cast<DWORD>(result.size()));
  return result;
}

String DecodeAnsi(std::string_view bytes) {
  if (bytes.empty())
    return String();
  const int count = CountOf(bytes.size());
  const int length = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), count, nullptr, 0);
  String text(static_cast<size_t>(length), u'\0');
  if (length > 0)
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), count, Wide(text), length);
  return text;
}

std::string EncodeAnsi(StringView text) {
  if (text.empty())
    return std::string();
  const int count = CountOf(text.size());
  // The system refuses a default character when the ANSI code page is UTF-8.
  const char* defaultChar = ::GetACP() == CP_UTF8 ? nullptr : "?";
  const int size =
      ::WideCharToMultiByte(CP_ACP, 0, Wide(text), count, nullptr, 0, defaultChar, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  if (size > 0)
    ::WideCharToMultiByte(CP_ACP, 0, Wide(text), count, bytes.data(), size, defaultChar, nullptr);
  return bytes;
}

}  // namespace zolv::text
