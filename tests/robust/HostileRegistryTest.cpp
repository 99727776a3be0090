// The browser list against what other programs may leave in the real registry: ten thousand
// browser keys, a 64 KiB display name, every value type, keys removed and values rewritten
// while the list is read. No crash; the only errors are "Invalid data type for ''" where a
// key's default value is not text, and "Failed to get data for ''" where it changed under the
// reader. The machine's browser list is set aside for the test and put back afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <iostream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "Exception.h"
#include "SaveWriter.h"
#include "WebBrowsers.h"
#include "platform/win32/system/UniqueHandle.h"
#include "platform/win32/system/Wide.h"
#include "tests/support/DisposableMachine.h"

namespace zolv::robust {
namespace {

using win32::UniqueRegKey;
using win32::Wide;
using Names = std::vector<String>;

const String kRoot = cBrowsersRootKey;
const String kAside = kRoot + u".zolv-aside";

std::string Bytes(StringView text) {
  std::string bytes(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  return bytes.append(2, '\0');
}

bool SetDefault(const String& browser, DWORD type, const std::string& bytes) {
  UniqueRegKey key;
  return ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, Wide(kRoot + u"\\" + browser), 0, nullptr, 0,
                           KEY_ALL_ACCESS, nullptr, key.put(), nullptr) == ERROR_SUCCESS &&
         ::RegSetValueExW(key.get(), nullptr, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

Names NamesOf(const TWebBrowsers& list) {
  Names names;
  for (int index = 0; index < list.Count(); ++index)
    names.push_back(list.Items(index).Name());
  return names;
}

// The message of the error ReadFromSystem raises, or empty.
String ReadError(TWebBrowsers& list) {
  try {
    list.ReadFromSystem();
  } catch (const Exception& error) {
    return error.Message();
  }
  return String();
}

// Copies a key's tree under HKEY_LOCAL_MACHINE to another path; false when there is none.
bool CopyTree(const String& from, const String& to) {
  UniqueRegKey source, target;
  return ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(from), 0, KEY_READ, source.put()) ==
             ERROR_SUCCESS &&
         ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, Wide(to), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                           target.put(), nullptr) == ERROR_SUCCESS &&
         ::RegCopyTreeW(source.get(), nullptr, target.get()) == ERROR_SUCCESS;
}

class HostileRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!tests::MayRewriteMachineSettings())
      GTEST_SKIP() << tests::kMachineSettingsSkip;
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide(kAside));
    hadRoot_ = CopyTree(kRoot, kAside);
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide(kRoot));
  }

  void TearDown() override {
    if (!tests::MayRewriteMachineSettings())
      return;
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide(kRoot));
    if (hadRoot_) {
      EXPECT_TRUE(CopyTree(kAside, kRoot));
    }
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide(kAside));
  }

  TWebBrowsers list{true};
  bool hadRoot_ = false;
};

TEST_F(HostileRegistryTest, TenThousandBrowserKeys) {
  constexpr int kKeys = 10000;
  Names expected;
  for (int i = 0; i < kKeys; ++i) {
    const String name = Numbered(u"Browser ", 100000 + static_cast<unsigned>(i));
    ASSERT_TRUE(SetDefault(name, REG_SZ, Bytes(u"Name of " + name)));
    expected.push_back(u"Name of " + name);
  }
  const auto start = std::chrono::steady_clock::now();
  list.ReadFromSystem();
  const auto elapsed = std::chrono::steady_clock::now() - start;
  std::cout << "[          ] " << kKeys << " keys read in "
            << std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() << " ms\n";
  Names names = NamesOf(list);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, expected);
}

TEST_F(HostileRegistryTest, DisplayNameOf64KiB) {
  String huge(32768, u'x');
  huge.front() = u'G';
  huge.back() = u'!';
  ASSERT_TRUE(SetDefault(u"Huge", REG_SZ, Bytes(huge)));
  EXPECT_EQ(ReadError(list), u"");
  EXPECT_EQ(NamesOf(list), Names{huge});
}

// Each type alone after one good key: text types read as text (not expanded, cut at the first
// null, an odd last byte dropped); any other type with data raises, without data is skipped.
TEST_F(HostileRegistryTest, EveryValueType) {
  const std::string four("\x01\x02\x03\x04", 4);
  const DWORD types[] = {REG_NONE,
                         REG_BINARY,
                         REG_DWORD,
                         REG_DWORD_BIG_ENDIAN,
                         REG_LINK,
                         REG_MULTI_SZ,
                         REG_RESOURCE_LIST,
                         REG_FULL_RESOURCE_DESCRIPTOR,
                         REG_RESOURCE_REQUIREMENTS_LIST,
                         REG_QWORD,
                         0x7FFFFFFF,
                         0xFFFFFFFF};
  for (const DWORD type : types) {
    SCOPED_TRACE("type " + std::to_string(type));
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide(kRoot));
    ASSERT_TRUE(SetDefault(u"A Good", REG_SZ, Bytes(u"Google Chrome")));
    ASSERT_TRUE(SetDefault(u"B Typed", type, four));
    ASSERT_TRUE(SetDefault(u"C After", REG_SZ, Bytes(u"Mozilla Firefox")));
    EXPECT_EQ(ReadError(list), u"Invalid data type for ''");
    EXPECT_EQ(NamesOf(list), Names{u"Google Chrome"});

    ASSERT_TRUE(SetDefault(u"B Typed", type, ""));
    EXPECT_EQ(ReadError(list), u"");
    EXPECT_EQ(NamesOf(list), (Names{u"Google Chrome", u"Mozilla Firefox"}));
  }
  ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide(kRoot));
  ASSERT_TRUE(SetDefault(u"A Expand", REG_EXPAND_SZ, Bytes(u"%ProgramFiles%\\Opera")));
  ASSERT_TRUE(SetDefault(u"B Cut", REG_SZ, Bytes(String(u"Safari\0hidden", 13))));
  ASSERT_TRUE(SetDefault(u"C Odd", REG_SZ, Bytes(u"Opera").substr(0, 10) + "x"));
  EXPECT_EQ(ReadError(list), u"");
  EXPECT_EQ(NamesOf(list), (Names{u"%ProgramFiles%\\Opera", u"Safari", u"Opera"}));
}

// Another thread removes and re-creates the keys and rewrites their names, longer and shorter,
// while the list is read over and over. Reads go on until this many have had the keys changed
// under them, the race the test is about; the deadline only ends a run that has gone wrong.
TEST_F(HostileRegistryTest, KeysRemovedAndRewrittenWhileRead) {
  constexpr int kKeys = 200;
  constexpr int kChangedReads = 200;
  auto nameOf = [](int key, int length) {
    return Numbered(u"Browser ", static_cast<unsigned>(key)) + String(length, u'.');
  };
  for (int i = 0; i < kKeys; ++i)
    ASSERT_TRUE(SetDefault(Numbered(u"K", static_cast<unsigned>(i)), REG_SZ, Bytes(nameOf(i, 0))));

  std::atomic<bool> stop{false};
  std::atomic<unsigned> changes{0};
  std::thread changer([&] {
    for (unsigned n = 0; !stop; ++n) {
      const int key = static_cast<int>(n * 7919 % kKeys);
      const String path = kRoot + u"\\K" + Decimal(static_cast<unsigned>(key));
      if (n % 3 == 0)
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide(path));
      else
        SetDefault(Numbered(u"K", static_cast<unsigned>(key)), REG_SZ,
                   Bytes(nameOf(key, static_cast<int>(n % 40))));
      ++changes;
    }
  });
  std::map<String, int> errors;
  int reads = 0, changedReads = 0;
  bool foreignName = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  while (changedReads < kChangedReads && std::chrono::steady_clock::now() < deadline) {
    const unsigned before = changes;
    const String error = ReadError(list);
    changedReads += changes != before;
    ++reads;
    if (!error.empty())
      ++errors[error];
    for (const String& name : NamesOf(list))
      foreignName |= !name.starts_with(u"Browser ");
  }
  stop = true;
  changer.join();

  EXPECT_EQ(changedReads, kChangedReads) << "too few reads had the keys changed under them";
  std::cout << "[          ] " << reads << " reads, " << changedReads << " with changes";
  for (const auto& [message, count] : errors)
    std::cout << ", " << count << " \"" << Narrow(message) << "\"";
  std::cout << "\n";
  EXPECT_FALSE(foreignName);
  for (const auto& [message, count] : errors)
    EXPECT_EQ(message, u"Failed to get data for ''") << count << " times";
}

}  // namespace
}  // namespace zolv::robust
