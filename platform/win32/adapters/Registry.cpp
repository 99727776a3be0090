// Registry (Win32): advapi32 on HKEY_LOCAL_MACHINE. No view flag is passed, so a 32-bit
// process reads the 32-bit view and a 64-bit one the 64-bit view.
#include "platform/Registry.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "platform/win32/system/UniqueHandle.h"
#include "platform/win32/system/Wide.h"

namespace zolv::registry {

using win32::Wide;

// The portable header's copies of the Windows constants.
static_assert(kKeyRead == KEY_READ);
static_assert(kReadControl == READ_CONTROL);
static_assert(kQueryValue == KEY_QUERY_VALUE);
static_assert(kEnumerateSubKeys == KEY_ENUMERATE_SUB_KEYS);
static_assert(kTypeNone == REG_NONE);
static_assert(kTypeString == REG_SZ);
static_assert(kTypeExpandString == REG_EXPAND_SZ);
static_assert(kTypeBinary == REG_BINARY);
static_assert(kTypeDword == REG_DWORD);
static_assert(kTypeMultiString == REG_MULTI_SZ);

namespace {

// Key names are at most 255 units long.
constexpr std::uint32_t kMaxKeyNameLength = 255;

HKEY ToHkey(std::uintptr_t handle) {
  return reinterpret_cast<HKEY>(handle);
}

}  // namespace

Key::Key(Key&& other) noexcept : handle_(std::exchange(other.handle_, 0)) {}

Key& Key::operator=(Key&& other) noexcept {
  if (this != &other) {
    const win32::UniqueRegKey closing(ToHkey(handle_));
    handle_ = std::exchange(other.handle_, 0);
  }
  return *this;
}

Key::~Key() {
  const win32::UniqueRegKey closing(ToHkey(handle_));
}

std::optional<KeyInfo> Key::QueryInfo() const {
  DWORD count = 0;
  DWORD maxLength = 0;
  if (::RegQueryInfoKeyW(ToHkey(handle_), nullptr, nullptr, nullptr, &count, &maxLength, nullptr,
                         nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return std::nullopt;
  return KeyInfo{count, maxLength};
}

std::optional<String> Key::EnumSubKey(std::uint32_t index, std::uint32_t maxLength) const {
  String name(std::min(maxLength, kMaxKeyNameLength) + 1, u'\0');
  DWORD length = static_cast<DWORD>(name.size());
  if (::RegEnumKeyExW(ToHkey(handle_), index, Wide(name), &length, nullptr, nullptr, nullptr,
                      nullptr) != ERROR_SUCCESS)
    return std::nullopt;
  name.resize(length);
  return name;
}

std::optional<ValueInfo> Key::QueryValueInfo(const String& name) const {
  DWORD type = REG_NONE;
  DWORD size = 0;
  if (::RegQueryValueExW(ToHkey(handle_), Wide(name), nullptr, &type, nullptr, &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  return ValueInfo{type, size};
}

std::optional<std::string> Key::QueryValueData(const String& name, std::uint32_t size,
                                               std::uint32_t& type) const {
  std::string bytes(size, '\0');
  DWORD valueType = REG_NONE;
  DWORD written = size;
  if (::RegQueryValueExW(ToHkey(handle_), Wide(name), nullptr, &valueType,
                         reinterpret_cast<BYTE*>(bytes.data()), &written) != ERROR_SUCCESS)
    return std::nullopt;
  bytes.resize(written);
  type = valueType;
  return bytes;
}

std::optional<Key> OpenLocalMachineKey(const String& path, std::uint32_t access) {
  win32::UniqueRegKey key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(path), 0, access, key.put()) != ERROR_SUCCESS)
    return std::nullopt;
  return Key(reinterpret_cast<std::uintptr_t>(key.release()));
}

}  // namespace zolv::registry
