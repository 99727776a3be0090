// FileEncoding: how a text file's bytes become text and back. A byte-order mark at the start
// names the encoding (UTF-8, UTF-16 little- or big-endian); without one the bytes are in the
// system's ANSI code page. Writing uses the same encoding and puts the same mark back.
#pragma once

#include <string>
#include <string_view>

#include "platform/Text.h"

namespace zolv {

enum class FileEncoding { Ansi, Utf8, Utf16Le, Utf16Be };

struct DecodedText {
  FileEncoding encoding = FileEncoding::Ansi;
  String text;  // without the byte-order mark
};

// Invalid bytes never make the text empty: each bad UTF-8 sequence reads as U+FFFD, so the
// rest of the file survives being written back.
DecodedText DecodeFileText(std::string_view bytes);

std::string EncodeFileText(FileEncoding encoding, StringView text);

}  // namespace zolv
