// Utf: conversions between the program's UTF-16 text and UTF-8 / UTF-16 byte streams.
#pragma once

#include <string>
#include <string_view>

#include "platform/Text.h"

namespace zolv {

// UTF-8 bytes of `text`; a lone surrogate becomes U+FFFD.
std::string ToUtf8(StringView text);

}  // namespace zolv
