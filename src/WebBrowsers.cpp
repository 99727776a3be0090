#include "WebBrowsers.h"

#include <cstddef>
#include <optional>
#include <string>

#include "Exception.h"
#include "platform/Registry.h"

namespace zolv {

namespace {

String Decimal(int number) {
  const std::string digits = std::to_string(number);
  return String(digits.begin(), digits.end());
}

// Read-only, asking for less each time: a key whose rights refuse the full read may still
// allow its values (and names) to be read.
std::optional<registry::Key> OpenReadOnly(const String& path) {
  using namespace registry;
  for (const std::uint32_t access :
       {kKeyRead, kReadControl | kQueryValue | kEnumerateSubKeys, kQueryValue}) {
    if (auto key = OpenLocalMachineKey(path, access))
      return key;
  }
  return std::nullopt;
}

// An index whose name cannot be taken (the key changed after it was counted, or it was opened
// without the right to enumerate) is skipped.
std::vector<String> SubKeyNames(const registry::Key& key) {
  std::vector<String> names;
  const auto info = key.QueryInfo();
  if (!info)
    return names;
  for (std::uint32_t index = 0; index < info->subKeyCount; ++index) {
    if (auto name = key.EnumSubKey(index, info->maxSubKeyLength))
      names.push_back(std::move(*name));
  }
  return names;
}

// A value's bytes as text: whole UTF-16 units (little-endian) up to the first null.
String TextFromBytes(const std::string& bytes) {
  String text;
  for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
    const auto unit = static_cast<char16_t>(static_cast<unsigned char>(bytes[at]) |
                                            static_cast<unsigned char>(bytes[at + 1]) << 8);
    if (unit == 0)
      break;
    text += unit;
  }
  return text;
}

String ReadString(const registry::Key& key, const String& name) {
  const auto info = key.QueryValueInfo(name);
  if (!info || info->size == 0)
    return String();
  std::uint32_t type = registry::kTypeNone;
  const auto data = key.QueryValueData(name, info->size, type);
  if (!data)
    throw Exception(u"Failed to get data for '" + name + u"'");
  if (type != registry::kTypeString && type != registry::kTypeExpandString)
    throw Exception(u"Invalid data type for '" + name + u"'");
  // Only the bytes the fetch wrote count: a value that shrank since its size was taken reads
  // as it now stands.
  return TextFromBytes(*data);
}

}  // namespace

const TWebBrowser& TWebBrowsers::Items(int Index) const {
  if (Index < 0 || Index >= Count())
    throw Exception(u"List index out of bounds (" + Decimal(Index) + u")");
  return *FItems[static_cast<std::size_t>(Index)];
}

void TWebBrowsers::ReadFromSystem() {
  Clear();
  std::vector<String> names;
  if (const auto root = OpenReadOnly(cBrowsersRootKey))
    names = SubKeyNames(*root);
  for (const String& name : names) {
    String browserName;
    if (const auto key = OpenReadOnly(String(cBrowsersRootKey) + u"\\" + name))
      browserName = ReadString(*key, String());
    if (!browserName.empty())
      FItems.push_back(std::make_unique<TWebBrowser>(std::move(browserName)));
  }
}

}  // namespace zolv
