// Utf: conversions between the program's UTF-16 text and UTF-8 / UTF-16 byte streams.
#pragma once

#include <string>
#include <string_view>

#include "platform/Text.h"

namespace zolv {

// UTF-8 bytes of `text`; a lone surrogate becomes U+FFFD.
std::string ToUtf8(StringView text);

// Text of UTF-8 `bytes`, leniently: each maximal invalid subpart (the longest start of a
// well-formed sequence, or else one byte) becomes one U+FFFD, and decoding goes on after it.
String FromUtf8(std::string_view bytes);

// UTF-16 code units as little- or big-endian byte pairs. Units pass unchanged, lone
// surrogates included, so any text round-trips.
std::string ToUtf16Le(StringView text);
std::string ToUtf16Be(StringView text);

// Text of UTF-16 byte pairs. An odd trailing byte, half of a unit, is dropped: kept as U+FFFD
// it would be written back on every save from then on.
String FromUtf16Le(std::string_view bytes);
String FromUtf16Be(std::string_view bytes);

}  // namespace zolv
