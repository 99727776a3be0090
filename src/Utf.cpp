#include "Utf.h"

namespace zolv {

namespace {

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

constexpr char16_t kReplacement = 0xFFFD;

void AppendUtf16(String& out, char32_t code) {
  if (code < 0x10000) {
    out += static_cast<char16_t>(code);
  } else {
    out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
    out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
  }
}

// Number of continuation bytes that follow `lead`, or -1 when `lead` cannot start a sequence
// (a continuation byte, an overlong two-byte lead C0/C1, or F5..FF beyond U+10FFFF).
int ContinuationCount(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF)
    return 1;
  if (lead >= 0xE0 && lead <= 0xEF)
    return 2;
  if (lead >= 0xF0 && lead <= 0xF4)
    return 3;
  return -1;
}

// The allowed range of the byte after `lead`: narrower than 80..BF where the lead alone would
// allow an overlong form (E0, F0), a surrogate (ED) or a code point above U+10FFFF (F4).
bool IsSecondByteValid(unsigned char lead, unsigned char byte) {
  switch (lead) {
    case 0xE0:
      return byte >= 0xA0 && byte <= 0xBF;
    case 0xED:
      return byte >= 0x80 && byte <= 0x9F;
    case 0xF0:
      return byte >= 0x90 && byte <= 0xBF;
    case 0xF4:
      return byte >= 0x80 && byte <= 0x8F;
    default:
      return byte >= 0x80 && byte <= 0xBF;
  }
}

char16_t Unit(unsigned char first, unsigned char second) {
  return static_cast<char16_t>((first << 8) | second);
}

}  // namespace

std::string ToUtf8(StringView text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      const char32_t code = 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      AppendUtf8(out, code);
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendUtf8(out, 0xFFFD);
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

String FromUtf8(std::string_view bytes) {
  String out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i++]);
    if (lead < 0x80) {
      out += static_cast<char16_t>(lead);
      continue;
    }
    const int count = ContinuationCount(lead);
    if (count < 0) {
      out += kReplacement;
      continue;
    }
    char32_t code = lead & (0x3F >> count);
    int taken = 0;
    // Stop at the first byte that cannot continue the sequence; it is read again as a lead.
    while (taken < count && i < bytes.size()) {
      const auto byte = static_cast<unsigned char>(bytes[i]);
      const bool valid = taken == 0 ? IsSecondByteValid(lead, byte) : (byte & 0xC0) == 0x80;
      if (!valid)
        break;
      code = (code << 6) | (byte & 0x3F);
      ++taken;
      ++i;
    }
    if (taken == count)
      AppendUtf16(out, code);
    else
      out += kReplacement;
  }
  return out;
}

std::string ToUtf16Le(StringView text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (const char16_t unit : text) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
  }
  return out;
}

std::string ToUtf16Be(StringView text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (const char16_t unit : text) {
    out += static_cast<char>(unit >> 8);
    out += static_cast<char>(unit & 0xFF);
  }
  return out;
}

namespace {

// Byte pairs to units; `highFirst` for big-endian. An odd trailing byte is left out.
String FromUtf16(std::string_view bytes, bool highFirst) {
  String out;
  out.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto a = static_cast<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    out += highFirst ? Unit(a, b) : Unit(b, a);
  }
  return out;
}

}  // namespace

String FromUtf16Le(std::string_view bytes) {
  return FromUtf16(bytes, false);
}

String FromUtf16Be(std::string_view bytes) {
  return FromUtf16(bytes, true);
}

}  // namespace zolv
