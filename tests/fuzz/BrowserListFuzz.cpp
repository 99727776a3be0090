// Fuzzes the browser list over the in-memory registry. The input decides the browser keys,
// their names, the type, size and bytes of each default value, other values and subkeys,
// which opens are refused, which enumerations fail and which values change between their size
// query and their fetch. Checked: the list holds exactly the names the documented rules give,
// the only errors are the two documented ones, raised at the key they belong to, and no key is
// left open.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "Exception.h"
#include "WebBrowsers.h"
#include "platform/host/FakeRegistry.h"

namespace zolv {
namespace {

namespace fake = registry::fake;
using registry::kEnumerateSubKeys;
using registry::kKeyRead;
using registry::kQueryValue;
using registry::kReadControl;

void Require(bool condition) {
  if (!condition)
    std::abort();
}

// The accesses the list asks for, in its order.
constexpr std::uint32_t kAccesses[] = {kKeyRead, kReadControl | kQueryValue | kEnumerateSubKeys,
                                       kQueryValue};
constexpr std::uint32_t kRefusals[] = {
    0, 0, 0, kKeyRead, kReadControl, kQueryValue, kEnumerateSubKeys};
constexpr std::uint32_t kTypes[] = {registry::kTypeString, registry::kTypeExpandString,
                                    registry::kTypeNone,   registry::kTypeBinary,
                                    registry::kTypeDword,  registry::kTypeMultiString};

struct Contents {
  std::uint32_t type = 0;
  std::string bytes;
};

struct BrowserKey {
  String name;
  std::uint32_t refused = 0;
  bool failEnumeration = false;
  std::optional<Contents> value;
  std::optional<Contents> changed;
};

// The access a key opens with, or nothing when all three are refused.
std::optional<std::uint32_t> OpenedAccess(std::uint32_t refused) {
  for (const std::uint32_t access : kAccesses) {
    if ((access & refused) == 0)
      return access;
  }
  return std::nullopt;
}

Contents ConsumeContents(FuzzedDataProvider& input) {
  Contents contents;
  contents.type =
      input.ConsumeBool() ? input.PickValueInArray(kTypes) : input.ConsumeIntegral<std::uint32_t>();
  contents.bytes = input.ConsumeRandomLengthString(96);
  return contents;
}

String ConsumeName(FuzzedDataProvider& input, std::size_t index) {
  const std::string digits = std::to_string(index);
  // Unique whatever follows, and never a path: the index and no backslash.
  String name = u"B" + String(digits.begin(), digits.end()) + u"-";
  for (const char byte : input.ConsumeRandomLengthString(24)) {
    const auto unit = static_cast<char16_t>(static_cast<unsigned char>(byte) * 0x0101);
    name += unit == u'\\' ? u'_' : unit;
  }
  return name;
}

// The display name the documented rules give the key, or the error they raise there.
struct Expected {
  std::vector<String> names;
  std::optional<String> error;
};

// Size query, then the fetch of what the value holds by then into that many bytes.
void ReadExpected(const BrowserKey& key, Expected& expected) {
  if (!OpenedAccess(key.refused) || !key.value || key.value->bytes.empty())
    return;
  const Contents& fetched = key.changed ? *key.changed : *key.value;
  if (fetched.bytes.size() > key.value->bytes.size()) {
    expected.error = u"Failed to get data for ''";
    return;
  }
  if (fetched.type != registry::kTypeString && fetched.type != registry::kTypeExpandString) {
    expected.error = u"Invalid data type for ''";
    return;
  }
  String text;
  for (std::size_t at = 0; at + 1 < fetched.bytes.size(); at += 2) {
    const auto unit = static_cast<char16_t>(static_cast<unsigned char>(fetched.bytes[at]) |
                                            static_cast<unsigned char>(fetched.bytes[at + 1]) << 8);
    if (unit == 0)
      break;
    text += unit;
  }
  if (!text.empty())
    expected.names.push_back(text);
}

Expected ExpectedList(bool rootExists, std::uint32_t rootRefused,
                      const std::vector<BrowserKey>& keys) {
  Expected expected;
  const auto rootAccess = OpenedAccess(rootRefused);
  if (!rootExists || !rootAccess || (*rootAccess & kEnumerateSubKeys) == 0)
    return expected;
  for (const BrowserKey& key : keys) {
    if (key.failEnumeration)
      continue;
    ReadExpected(key, expected);
    if (expected.error)
      break;
  }
  return expected;
}

void Run(FuzzedDataProvider& input) {
  fake::Reset();
  const String root(cBrowsersRootKey);
  const bool rootExists = input.ConsumeIntegralInRange(0, 7) != 0;
  const std::uint32_t rootRefused = input.PickValueInArray(kRefusals);
  if (rootExists)
    Require(fake::AddKey(root));
  std::vector<BrowserKey> keys(input.ConsumeIntegralInRange<std::size_t>(0, 24));
  for (std::size_t index = 0; index < keys.size(); ++index) {
    BrowserKey& key = keys[index];
    key.name = ConsumeName(input, index);
    key.refused = input.PickValueInArray(kRefusals);
    key.failEnumeration = input.ConsumeIntegralInRange(0, 7) == 0;
    if (input.ConsumeIntegralInRange(0, 7) != 0)
      key.value = ConsumeContents(input);
    if (key.value && input.ConsumeIntegralInRange(0, 3) == 0)
      key.changed = ConsumeContents(input);
    if (!rootExists)
      continue;
    const String path = root + u"\\" + key.name;
    Require(fake::AddKey(path));
    if (key.value)
      Require(fake::SetValue(path, u"", key.value->type, key.value->bytes));
    if (key.changed)
      Require(fake::ChangeValueAfterSizeQuery(path, u"", key.changed->type, key.changed->bytes));
    // A named value and a subkey that the list must not take for the display name.
    if (input.ConsumeBool())
      Require(fake::SetDword(path, u"Version", 1));
    if (input.ConsumeBool())
      Require(fake::SetString(path + u"\\shell\\open\\command", u"", u"browser.exe"));
    if (key.refused)
      Require(fake::RefuseAccess(path, key.refused));
    if (key.failEnumeration)
      Require(fake::FailEnumeration(root, static_cast<std::uint32_t>(index)));
  }
  if (rootExists && rootRefused)
    Require(fake::RefuseAccess(root, rootRefused));

  const Expected expected = ExpectedList(rootExists, rootRefused, keys);
  TWebBrowsers list(true);
  std::optional<String> error;
  try {
    list.ReadFromSystem();
  } catch (const Exception& raised) {
    error = raised.Message();
  }
  Require(error == expected.error);
  Require(list.Count() == static_cast<int>(expected.names.size()));
  for (int index = 0; index < list.Count(); ++index)
    Require(list.Items(index).Name() == expected.names[static_cast<std::size_t>(index)]);
  Require(fake::OpenKeyCount() == 0);
}

}  // namespace
}  // namespace zolv

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  zolv::Run(input);
  return 0;
}
