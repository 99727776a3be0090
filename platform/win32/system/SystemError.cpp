#include "platform/win32/system/SystemError.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "platform/Text.h"
#include "platform/win32/system/Wide.h"

namespace zolv::win32 {

String SystemErrorText(DWORD code) {
  wchar_t buffer[1024];
  const DWORD length =
      ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                       buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
  if (length == 0) {
    // No message for this code: the number is all there is to say.
    return u"System error " + text::Decimal(code) + u".";
  }
  String text = FromWide(buffer, length);
  while (!text.empty() && text.back() <= u' ')
    text.pop_back();
  return text;
}

SystemFailure::SystemFailure(const char* call, DWORD code) : what_(call) {
  const String text = SystemErrorText(code);
  const int length = ::WideCharToMultiByte(CP_UTF8, 0, Wide(text), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
  what_ += ": ";
  const std::size_t start = what_.size();
  what_.resize(start + static_cast<std::size_t>(std::max(length, 0)));
  ::WideCharToMultiByte(CP_UTF8, 0, Wide(text), static_cast<int>(text.size()), &what_[start],
                        length, nullptr, nullptr);
}

}  // namespace zolv::win32
