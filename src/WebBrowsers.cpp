#include "WebBrowsers.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>

#include "Exception.h"
#include "Utf.h"
#include "platform/Registry.h"
#include "platform/Text.h"

namespace zolv {

namespace {

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
  String text = FromUtf16Le(bytes);
  text.resize(std::min(text.find(u'\0'), text.size()));
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
    throw Exception(u"List index out of bounds (" + text::Decimal(Index) + u")");
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
