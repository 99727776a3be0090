// Registry: read access to keys under HKEY_LOCAL_MACHINE (advapi32), in the registry view the
// platform gives this process. The host substitute is an in-memory tree that tests fill
// (platform/host/FakeRegistry.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Text.h"

namespace zolv::registry {

// Access rights, as RegOpenKeyExW takes them.
inline constexpr std::uint32_t kKeyRead = 0x20019;  // KEY_READ
inline constexpr std::uint32_t kReadControl = 0x20000;
inline constexpr std::uint32_t kQueryValue = 0x0001;
inline constexpr std::uint32_t kEnumerateSubKeys = 0x0008;

// Value types, as the registry stores them.
inline constexpr std::uint32_t kTypeNone = 0;
inline constexpr std::uint32_t kTypeString = 1;        // REG_SZ
inline constexpr std::uint32_t kTypeExpandString = 2;  // REG_EXPAND_SZ
inline constexpr std::uint32_t kTypeBinary = 3;
inline constexpr std::uint32_t kTypeDword = 4;
inline constexpr std::uint32_t kTypeMultiString = 7;

struct KeyInfo {
  std::uint32_t subKeyCount = 0;
  std::uint32_t maxSubKeyLength = 0;  // in UTF-16 units, without the terminating null
};

struct ValueInfo {
  std::uint32_t type = kTypeNone;
  std::uint32_t size = 0;  // in bytes
};

// An open key; closed when destroyed.
class Key {
 public:
  Key(Key&& other) noexcept;
  Key& operator=(Key&& other) noexcept;
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  ~Key();

  // Number of subkeys and the longest subkey name (RegQueryInfoKeyW).
  std::optional<KeyInfo> QueryInfo() const;

  // The name of the subkey at `index` (RegEnumKeyExW), given room for `maxLength` units.
  std::optional<String> EnumSubKey(std::uint32_t index, std::uint32_t maxLength) const;

  // Type and size of a value (RegQueryValueExW without a buffer); nothing when the value
  // does not exist or cannot be queried. The empty name is the key's default value.
  std::optional<ValueInfo> QueryValueInfo(const String& name) const;

  // Fetches a value into a buffer of `size` bytes; nothing when that fails, for example
  // because the value grew since its size was taken. On success `type` is its type and the
  // result holds the bytes the registry wrote.
  std::optional<std::string> QueryValueData(const String& name, std::uint32_t size,
                                            std::uint32_t& type) const;

 private:
  friend std::optional<Key> OpenLocalMachineKey(const String& path, std::uint32_t access);
  explicit Key(std::uintptr_t handle) : handle_(handle) {}
  std::uintptr_t handle_ = 0;
};

// Opens `path` under HKEY_LOCAL_MACHINE with the given access, without a view flag;
// nothing when the key is missing or the access is refused.
std::optional<Key> OpenLocalMachineKey(const String& path, std::uint32_t access);

}  // namespace zolv::registry
