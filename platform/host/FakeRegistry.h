// FakeRegistry: control of the host's in-memory registry, for tests. The tree stands for
// HKEY_LOCAL_MACHINE; paths are relative to it, backslash-separated, matched without regard
// to the case of A-Z. Subkeys enumerate in the order they were added.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Registry.h"

namespace zolv::registry::fake {

// Empties the tree and forgets every planned fault. Keys still open stay open but refer to
// nothing, as handles to deleted keys do.
void Reset();

// Creates the key and its missing parents. False for an invalid path: an empty name between
// backslashes, a name longer than 255 units, or more than 512 levels.
bool AddKey(const String& path);

// Removes the key and everything below it; handles open on them fail from then on. False when
// the key does not exist or is the root.
bool RemoveKey(const String& path);

// Sets a value (the empty name is the default value), creating the key when needed.
bool SetValue(const String& path, const String& name, std::uint32_t type, std::string bytes);

// `text` as UTF-16LE bytes followed by a terminating null, as programs store strings.
std::string StringBytes(StringView text);

bool SetString(const String& path, const String& name, StringView text,
               std::uint32_t type = kTypeString);
bool SetDword(const String& path, const String& name, std::uint32_t number);

bool RemoveValue(const String& path, const String& name);

// Opening the key fails whenever the access asked for includes any of `rights`.
bool RefuseAccess(const String& path, std::uint32_t rights);

// Right after the next size query of the value, the value becomes `type` and `bytes`, as if
// another program wrote it in between. Larger bytes make the following fetch fail.
bool ChangeValueAfterSizeQuery(const String& path, const String& name, std::uint32_t type,
                               std::string bytes);

// Taking the name of the key's subkey at `index` fails.
bool FailEnumeration(const String& path, std::uint32_t index);

// How many keys are open now.
std::size_t OpenKeyCount();

}  // namespace zolv::registry::fake
