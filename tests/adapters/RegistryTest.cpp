// TWebBrowsers and the registry adapter on the real registry. The tests write the browser
// list of this machine's HKEY_LOCAL_MACHINE; what it held before is set aside and put back.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Exception.h"
#include "WebBrowsers.h"
#include "platform/Registry.h"
#include "platform/win32/system/UniqueHandle.h"
#include "tests/support/DisposableMachine.h"

namespace zolv {
namespace {

using Names = std::vector<String>;

const wchar_t* Wide(const String& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

String BrowserKey(StringView name) {
  return String(cBrowsersRootKey) + u"\\" + String(name);
}

// A key with its values and subkeys, as read from the registry.
struct SavedKey {
  struct Value {
    std::wstring name;
    DWORD type = REG_NONE;
    std::string bytes;
  };
  std::wstring name;
  std::vector<Value> values;
  std::vector<SavedKey> children;
};

SavedKey Save(HKEY key, std::wstring name) {
  SavedKey saved{std::move(name), {}, {}};
  for (DWORD index = 0;; ++index) {
    wchar_t valueName[16384];
    DWORD nameLength = 16384;
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (::RegEnumValueW(key, index, valueName, &nameLength, nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS)
      break;
    std::string bytes(size, '\0');
    nameLength = 16384;
    ::RegEnumValueW(key, index, valueName, &nameLength, nullptr, &type,
                    reinterpret_cast<BYTE*>(bytes.data()), &size);
    bytes.resize(size);
    saved.values.push_back({std::wstring(valueName, nameLength), type, std::move(bytes)});
  }
  for (DWORD index = 0;; ++index) {
    wchar_t childName[256];
    DWORD length = 256;
    if (::RegEnumKeyExW(key, index, childName, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      break;
    win32::UniqueRegKey child;
    if (::RegOpenKeyExW(key, childName, 0, KEY_READ, child.put()) == ERROR_SUCCESS)
      saved.children.push_back(Save(child.get(), std::wstring(childName, length)));
  }
  return saved;
}

void Restore(HKEY parent, const SavedKey& saved) {
  win32::UniqueRegKey key;
  ASSERT_EQ(::RegCreateKeyExW(parent, saved.name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              key.put(), nullptr),
            ERROR_SUCCESS);
  for (const auto& value : saved.values)
    ::RegSetValueExW(key.get(), value.name.c_str(), 0, value.type,
                     reinterpret_cast<const BYTE*>(value.bytes.data()),
                     static_cast<DWORD>(value.bytes.size()));
  for (const auto& child : saved.children)
    Restore(key.get(), child);
}

void SetValue(StringView browser, DWORD type, const std::string& bytes) {
  win32::UniqueRegKey key;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, Wide(BrowserKey(browser)), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(
      ::RegSetValueExW(key.get(), nullptr, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size())),
      ERROR_SUCCESS);
}

std::string Bytes(StringView text, bool terminated = true) {
  std::string bytes(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  if (terminated)
    bytes.append(2, '\0');
  return bytes;
}

void SetString(StringView browser, StringView text, DWORD type = REG_SZ) {
  SetValue(browser, type, Bytes(text));
}

void AddKey(StringView browser) {
  win32::UniqueRegKey key;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, Wide(BrowserKey(browser)), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
            ERROR_SUCCESS);
}

Names NamesOf(const TWebBrowsers& list) {
  Names names;
  for (int index = 0; index < list.Count(); ++index)
    names.push_back(list.Items(index).Name());
  return names;
}

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!tests::MayRewriteMachineSettings())
      GTEST_SKIP() << tests::kMachineSettingsSkip;
    win32::UniqueRegKey root;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(cBrowsersRootKey), 0, KEY_READ, root.put()) ==
        ERROR_SUCCESS)
      saved_ = Save(root.get(), std::wstring(Wide(cBrowsersRootKey)));
    RemoveRoot();
  }

  void TearDown() override {
    if (!tests::MayRewriteMachineSettings())
      return;
    RemoveRoot();
    if (saved_)
      Restore(HKEY_LOCAL_MACHINE, *saved_);
  }

  static void RemoveRoot() {
    const LSTATUS status = ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide(cBrowsersRootKey));
    ASSERT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) << status;
  }

  TWebBrowsers list{true};
  std::optional<SavedKey> saved_;
};

TEST_F(RegistryTest, MissingRootGivesEmptyList) {
  SetString(u"A Chrome", u"Google Chrome");
  list.ReadFromSystem();
  RemoveRoot();
  list.ReadFromSystem();
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(RegistryTest, ReadsTextDefaultsInOrderSkippingEmptyOnes) {
  SetString(u"A Chrome", u"Google Chrome");
  SetString(u"B Empty", u"");
  SetValue(u"C NoBytes", REG_SZ, "");
  AddKey(u"D NoDefault");
  SetString(u"E Expand", u"%ProgramFiles%\\Web", REG_EXPAND_SZ);
  SetValue(u"F Odd", REG_SZ, Bytes(u"Opera", false) + "x");
  SetString(u"G Twin", u"Google Chrome");
  list.ReadFromSystem();
  EXPECT_EQ(NamesOf(list),
            (Names{u"Google Chrome", u"%ProgramFiles%\\Web", u"Opera", u"Google Chrome"}));
  list.ReadFromSystem();
  EXPECT_EQ(list.Count(), 4);
}

TEST_F(RegistryTest, NumberDefaultRaisesAfterEarlierEntries) {
  SetString(u"A Chrome", u"Google Chrome");
  SetValue(u"B Number", REG_DWORD, std::string("\x01\x00\x00\x00", 4));
  SetString(u"C Firefox", u"Mozilla Firefox");
  try {
    list.ReadFromSystem();
    ADD_FAILURE() << "no error";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), u"Invalid data type for ''");
  }
  EXPECT_EQ(NamesOf(list), Names{u"Google Chrome"});
}

// What the in-memory registry of the unit tests copies: a fetch or an enumeration without
// room for the whole value or name fails.
TEST_F(RegistryTest, AdapterFailsWithoutRoom) {
  SetString(u"A Chrome", u"Google Chrome");
  const auto root = registry::OpenLocalMachineKey(cBrowsersRootKey, registry::kKeyRead);
  ASSERT_TRUE(root);
  const auto info = root->QueryInfo();
  ASSERT_TRUE(info);
  EXPECT_EQ(info->subKeyCount, 1u);
  EXPECT_EQ(info->maxSubKeyLength, 8u);
  EXPECT_EQ(root->EnumSubKey(0, 8), u"A Chrome");
  EXPECT_FALSE(root->EnumSubKey(0, 7));
  EXPECT_FALSE(root->EnumSubKey(1, 8));

  const auto key = registry::OpenLocalMachineKey(BrowserKey(u"a chrome"), registry::kQueryValue);
  ASSERT_TRUE(key);
  const auto value = key->QueryValueInfo(String());
  ASSERT_TRUE(value);
  EXPECT_EQ(value->type, registry::kTypeString);
  EXPECT_EQ(value->size, 28u);
  std::uint32_t type = registry::kTypeNone;
  EXPECT_FALSE(key->QueryValueData(String(), 26, type));
  EXPECT_EQ(key->QueryValueData(String(), 28, type), Bytes(u"Google Chrome"));
  EXPECT_EQ(type, registry::kTypeString);
}

}  // namespace
}  // namespace zolv
