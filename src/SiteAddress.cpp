#include "SiteAddress.h"

#include <string>
#include <vector>

#include "platform/Text.h"

namespace zolv {

namespace {

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}
bool IsHexDigit(char16_t c) {
  return IsDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}
bool IsLetter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool AllDigits(StringView text) {
  if (text.empty())
    return false;
  for (char16_t c : text) {
    if (!IsDigit(c))
      return false;
  }
  return true;
}

// The decimal value of up to `maxDigits` digits, or nothing.
std::optional<std::uint32_t> ParseDecimal(StringView text, std::size_t maxDigits) {
  if (!AllDigits(text) || text.size() > maxDigits)
    return std::nullopt;
  std::uint32_t value = 0;
  for (char16_t c : text)
    value = value * 10 + static_cast<std::uint32_t>(c - u'0');
  return value;
}

// The parts of `text` between separators, empty ones included.
std::vector<StringView> Split(StringView text, char16_t separator) {
  std::vector<StringView> parts;
  std::size_t begin = 0;
  for (std::size_t end = text.find(separator); end != StringView::npos;
       end = text.find(separator, begin)) {
    parts.push_back(text.substr(begin, end - begin));
    begin = end + 1;
  }
  parts.push_back(text.substr(begin));
  return parts;
}

bool IsIpv4(StringView text) {
  const std::vector<StringView> parts = Split(text, u'.');
  if (parts.size() != 4)
    return false;
  for (StringView part : parts) {
    const auto value = ParseDecimal(part, 3);
    if (!value || *value > 255 || (part.size() > 1 && part.front() == u'0'))
      return false;
  }
  return true;
}

bool IsHostName(StringView text) {
  if (text.size() > 253)
    return false;
  bool allNumeric = true;
  for (StringView label : Split(text, u'.')) {
    if (label.empty() || label.size() > 63 || label.front() == u'-' || label.back() == u'-') {
      return false;
    }
    for (char16_t c : label) {
      if (!IsLetter(c) && !IsDigit(c) && c != u'-')
        return false;
    }
    allNumeric = allNumeric && AllDigits(label);
  }
  // Dotted numbers are an IPv4 address or nothing.
  return !allNumeric;
}

// The number of 16-bit groups in a colon-separated run of an IPv6 address (an IPv4 tail counts
// two), or nothing when the run is malformed.
std::optional<int> Ipv6Groups(StringView run, bool mayEndInIpv4) {
  if (run.empty())
    return 0;
  const std::vector<StringView> groups = Split(run, u':');
  int count = 0;
  for (std::size_t i = 0; i < groups.size(); ++i) {
    const StringView group = groups[i];
    if (mayEndInIpv4 && i + 1 == groups.size() && group.find(u'.') != StringView::npos) {
      if (!IsIpv4(group))
        return std::nullopt;
      count += 2;
      continue;
    }
    if (group.empty() || group.size() > 4)
      return std::nullopt;
    for (char16_t c : group) {
      if (!IsHexDigit(c))
        return std::nullopt;
    }
    ++count;
  }
  return count;
}

bool IsIpv6(StringView text) {
  const std::size_t gap = text.find(u"::");
  if (gap == StringView::npos)
    return Ipv6Groups(text, true) == 8;
  if (text.find(u"::", gap + 1) != StringView::npos)
    return false;
  const auto head = Ipv6Groups(text.substr(0, gap), false);
  const auto tail = Ipv6Groups(text.substr(gap + 2), true);
  return head && tail && *head + *tail <= 7;
}

}  // namespace

String baseURL(StringView host) {
  return u"http://" + String(host) + u"/web/";
}

String PageAddress(StringView baseUrl, std::int32_t id) {
  String address = String(baseUrl) + u"index.php?id=" + text::Decimal(id);
  String quoted;
  for (char16_t c : address) {
    if (c == u'"') {
      quoted += u"%22";
    } else {
      quoted += c;
    }
  }
  return quoted;
}

bool IsValidHost(StringView host) {
  StringView name = host;
  StringView port;
  if (!host.empty() && host.front() == u'[') {
    const std::size_t close = host.find(u']');
    if (close == StringView::npos)
      return false;
    name = host.substr(1, close - 1);
    const StringView after = host.substr(close + 1);
    if (!after.empty()) {
      if (after.front() != u':')
        return false;
      port = after.substr(1);
      if (port.empty())
        return false;
    }
    if (!IsIpv6(name))
      return false;
  } else {
    const std::size_t colon = host.find(u':');
    if (colon != StringView::npos) {
      name = host.substr(0, colon);
      port = host.substr(colon + 1);
      if (port.empty())
        return false;
    }
    if (!IsIpv4(name) && !IsHostName(name))
      return false;
  }
  if (port.empty())
    return true;
  const auto value = ParseDecimal(port, 5);
  return value && *value >= 1 && *value <= 65535 && port.front() != u'0';
}

std::optional<std::int32_t> ParseClientId(StringView text) {
  const bool negative = !text.empty() && text.front() == u'-';
  const StringView digits = negative ? text.substr(1) : text;
  if (!AllDigits(digits))
    return std::nullopt;
  long long value = 0;
  for (char16_t c : digits) {
    value = value * 10 + (c - u'0');
    if (value > 2147483648LL)
      return std::nullopt;
  }
  if (negative)
    value = -value;
  if (value > 2147483647LL)
    return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace zolv
