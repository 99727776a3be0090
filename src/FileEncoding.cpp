#include "FileEncoding.h"

#include "Utf.h"

namespace zolv {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

}  // namespace

DecodedText DecodeFileText(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Mark))
    return {FileEncoding::Utf8, FromUtf8(bytes.substr(kUtf8Mark.size()))};
  if (bytes.starts_with(kUtf16LeMark))
    return {FileEncoding::Utf16Le, FromUtf16Le(bytes.substr(kUtf16LeMark.size()))};
  if (bytes.starts_with(kUtf16BeMark))
    return {FileEncoding::Utf16Be, FromUtf16Be(bytes.substr(kUtf16BeMark.size()))};
  return {FileEncoding::Ansi, text::DecodeAnsi(bytes)};
}

std::string EncodeFileText(FileEncoding encoding, StringView text) {
  switch (encoding) {
    case FileEncoding::Utf8:
      return std::string(kUtf8Mark) + ToUtf8(text);
    case FileEncoding::Utf16Le:
      return std::string(kUtf16LeMark) + ToUtf16Le(text);
    case FileEncoding::Utf16Be:
      return std::string(kUtf16BeMark) + ToUtf16Be(text);
    case FileEncoding::Ansi:
      break;
  }
  return text::EncodeAnsi(text);
}

}  // namespace zolv
