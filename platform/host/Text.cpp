// Text on the host. Windows-1252 stands in for the ANSI code page; the five bytes it leaves
// undefined map to the C1 controls of the same number, as MultiByteToWideChar does, so every
// byte round-trips. Case mapping is glibc's simple mapping in the C.UTF-8 locale, applied to
// one UTF-16 unit at a time as CharUpperBuffW does.
#include "platform/Text.h"

#include <locale.h>
#include <wctype.h>

#include <array>

namespace zolv::text {

namespace {

// Code points of the bytes 0x80..0x9F; the others equal their byte.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDFFF;
}

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

char EncodeUnit(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
    return static_cast<char>(unit);
  for (std::size_t i = 0; i < kWindows1252High.size(); ++i) {
    if (kWindows1252High[i] == unit)
      return static_cast<char>(0x80 + i);
  }
  return '?';
}

// Made once and kept for the life of the process. Without it only ASCII letters map.
locale_t CaseLocale() {
  static const locale_t locale = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
  return locale;
}

template <typename AsciiMap, typename WideMap>
String MapUnits(StringView text, AsciiMap ascii, WideMap wide) {
  const locale_t locale = CaseLocale();
  String out(text);
  for (char16_t& unit : out) {
    if (unit < 0x80) {
      unit = ascii(unit);
    } else if (!IsSurrogate(unit) && locale != locale_t{}) {
      const wint_t mapped = wide(unit, locale);
      if (mapped <= 0xFFFF && !IsSurrogate(static_cast<char16_t>(mapped)))
        unit = static_cast<char16_t>(mapped);
    }
  }
  return out;
}

}  // namespace

String UpperCase(StringView text) {
  return MapUnits(
      text, [](char16_t unit) { return unit >= u'a' && unit <= u'z' ? char16_t(unit - 32) : unit; },
      [](wint_t unit, locale_t locale) { return ::towupper_l(unit, locale); });
}

String LowerCase(StringView text) {
  return MapUnits(
      text, [](char16_t unit) { return unit >= u'A' && unit <= u'Z' ? char16_t(unit + 32) : unit; },
      [](wint_t unit, locale_t locale) { return ::towlower_l(unit, locale); });
}

String DecodeAnsi(std::string_view bytes) {
  String out(bytes.size(), u'\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto code = static_cast<unsigned char>(bytes[i]);
    out[i] = code >= 0x80 && code < 0xA0 ? kWindows1252High[code - 0x80] : char16_t(code);
  }
  return out;
}

// A character with no byte becomes "?"; a surrogate pair is one character.
std::string EncodeAnsi(StringView text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      out += '?';
      ++i;
    } else {
      out += EncodeUnit(text[i]);
    }
  }
  return out;
}

}  // namespace zolv::text
