#include "platform/win32/SystemError.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "platform/win32/Wide.h"

namespace zolv::win32 {

String SystemErrorText(DWORD code) {
  wchar_t buffer[1024];
  const DWORD length =
      ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                       buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
  if (length == 0) {
    // No message for this code: the number is all there is to say.
    const std::string number = std::to_string(code);
    return u"System error " + String(number.begin(), number.end()) + u".";
  }
  String text = FromWide(buffer, length);
  while (!text.empty() && text.back() <= u' ')
    text.pop_back();
  return text;
}

namespace {

class Category : public std::error_category {
 public:
  const char* name() const noexcept override { return "win32"; }

  std::string message(int code) const override {
    const String text = SystemErrorText(static_cast<DWORD>(code));
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, Wide(text), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(std::max(size, 0)), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, Wide(text), static_cast<int>(text.size()), utf8.data(), size,
                          nullptr, nullptr);
    return utf8;
  }
};

}  // namespace

const std::error_category& SystemCategory() {
  static const Category category;
  return category;
}

}  // namespace zolv::win32
