// Registry (host): an in-memory HKEY_LOCAL_MACHINE that tests fill through FakeRegistry.h.
// Handles are numbers in a table of open keys; a handle whose key was removed fails every
// operation, as one on a deleted key does.
#include "platform/Registry.h"

#include <algorithm>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "platform/host/FakeRegistry.h"

namespace zolv::registry {

namespace {

constexpr std::size_t kMaxKeyNameLength = 255;
constexpr std::size_t kMaxDepth = 512;

struct Contents {
  std::uint32_t type = kTypeNone;
  std::string bytes;
};

struct Value {
  String name;
  Contents contents;
  std::optional<Contents> afterSizeQuery;
};

struct Node {
  String name;
  std::vector<std::shared_ptr<Node>> children;
  std::vector<Value> values;
  std::uint32_t refusedRights = 0;
  std::set<std::uint32_t> failingIndices;
};

struct OpenKey {
  std::weak_ptr<Node> node;
  std::uint32_t access = 0;
};

struct State {
  std::shared_ptr<Node> root = std::make_shared<Node>();
  std::map<std::uintptr_t, OpenKey> open;
  std::uintptr_t lastHandle = 0;
};

State& TheState() {
  static State state;
  return state;
}

char16_t Fold(char16_t unit) {
  return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - u'a' + u'A') : unit;
}

bool SameName(StringView a, StringView b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char16_t x, char16_t y) { return Fold(x) == Fold(y); });
}

// The names along `path`; nothing when the path is not a valid key path. The empty path is
// the root itself.
std::optional<std::vector<String>> SplitPath(const String& path) {
  std::vector<String> names;
  if (path.empty())
    return names;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = std::min(path.find(u'\\', start), path.size());
    if (end == start || end - start > kMaxKeyNameLength || names.size() == kMaxDepth)
      return std::nullopt;
    names.push_back(path.substr(start, end - start));
    if (end == path.size())
      return names;
    start = end + 1;
  }
}

std::shared_ptr<Node> Child(const Node& node, StringView name) {
  for (const auto& child : node.children) {
    if (SameName(child->name, name))
      return child;
  }
  return nullptr;
}

// The key reached from the root through the first `depth` names.
std::shared_ptr<Node> Walk(const std::vector<String>& names, std::size_t depth) {
  auto node = TheState().root;
  for (std::size_t level = 0; node && level < depth; ++level)
    node = Child(*node, names[level]);
  return node;
}

std::shared_ptr<Node> Find(const String& path) {
  const auto names = SplitPath(path);
  return names ? Walk(*names, names->size()) : nullptr;
}

std::shared_ptr<Node> FindOrCreate(const String& path) {
  const auto names = SplitPath(path);
  if (!names)
    return nullptr;
  auto node = TheState().root;
  for (const String& name : *names) {
    auto child = Child(*node, name);
    if (!child) {
      child = std::make_shared<Node>();
      child->name = name;
      node->children.push_back(child);
    }
    node = std::move(child);
  }
  return node;
}

Value* FindValue(Node& node, StringView name) {
  for (Value& value : node.values) {
    if (SameName(value.name, name))
      return &value;
  }
  return nullptr;
}

// The key behind an open handle, when it still exists and the handle was opened with `right`.
std::shared_ptr<Node> Opened(std::uintptr_t handle, std::uint32_t right) {
  const auto& open = TheState().open;
  const auto found = open.find(handle);
  if (found == open.end() || (found->second.access & right) != right)
    return nullptr;
  return found->second.node.lock();
}

}  // namespace

Key::Key(Key&& other) noexcept : handle_(std::exchange(other.handle_, 0)) {}

Key& Key::operator=(Key&& other) noexcept {
  if (this != &other) {
    TheState().open.erase(handle_);
    handle_ = std::exchange(other.handle_, 0);
  }
  return *this;
}

Key::~Key() {
  TheState().open.erase(handle_);
}

std::optional<KeyInfo> Key::QueryInfo() const {
  const auto node = Opened(handle_, kQueryValue);
  if (!node)
    return std::nullopt;
  KeyInfo info;
  info.subKeyCount = static_cast<std::uint32_t>(node->children.size());
  for (const auto& child : node->children)
    info.maxSubKeyLength =
        std::max(info.maxSubKeyLength, static_cast<std::uint32_t>(child->name.size()));
  return info;
}

std::optional<String> Key::EnumSubKey(std::uint32_t index, std::uint32_t maxLength) const {
  const auto node = Opened(handle_, kEnumerateSubKeys);
  if (!node || index >= node->children.size() || node->failingIndices.contains(index))
    return std::nullopt;
  const String& name = node->children[index]->name;
  if (name.size() > maxLength)
    return std::nullopt;
  return name;
}

std::optional<ValueInfo> Key::QueryValueInfo(const String& name) const {
  const auto node = Opened(handle_, kQueryValue);
  Value* value = node ? FindValue(*node, name) : nullptr;
  if (!value)
    return std::nullopt;
  const ValueInfo info{value->contents.type,
                       static_cast<std::uint32_t>(value->contents.bytes.size())};
  if (value->afterSizeQuery)
    value->contents = *std::exchange(value->afterSizeQuery, std::nullopt);
  return info;
}

std::optional<std::string> Key::QueryValueData(const String& name, std::uint32_t size,
                                               std::uint32_t& type) const {
  const auto node = Opened(handle_, kQueryValue);
  const Value* value = node ? FindValue(*node, name) : nullptr;
  if (!value || value->contents.bytes.size() > size)
    return std::nullopt;
  type = value->contents.type;
  return value->contents.bytes;
}

std::optional<Key> OpenLocalMachineKey(const String& path, std::uint32_t access) {
  const auto node = Find(path);
  if (!node || (node->refusedRights & access) != 0)
    return std::nullopt;
  State& state = TheState();
  const std::uintptr_t handle = ++state.lastHandle;
  state.open[handle] = OpenKey{node, access};
  return Key(handle);
}

namespace fake {

void Reset() {
  TheState().root = std::make_shared<Node>();
}

bool AddKey(const String& path) {
  return FindOrCreate(path) != nullptr;
}

bool RemoveKey(const String& path) {
  const auto names = SplitPath(path);
  if (!names || names->empty())
    return false;
  const auto parent = Walk(*names, names->size() - 1);
  if (!parent)
    return false;
  auto& children = parent->children;
  const auto found = std::find_if(children.begin(), children.end(), [&](const auto& child) {
    return SameName(child->name, names->back());
  });
  if (found == children.end())
    return false;
  children.erase(found);
  return true;
}

bool SetValue(const String& path, const String& name, std::uint32_t type, std::string bytes) {
  const auto node = FindOrCreate(path);
  if (!node || bytes.size() > std::numeric_limits<std::uint32_t>::max())
    return false;
  if (Value* value = FindValue(*node, name)) {
    value->contents = Contents{type, std::move(bytes)};
  } else {
    node->values.push_back(Value{name, Contents{type, std::move(bytes)}, std::nullopt});
  }
  return true;
}

std::string StringBytes(StringView text) {
  std::string bytes;
  for (const char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  bytes.append(2, '\0');
  return bytes;
}

bool SetString(const String& path, const String& name, StringView text, std::uint32_t type) {
  return SetValue(path, name, type, StringBytes(text));
}

bool SetDword(const String& path, const String& name, std::uint32_t number) {
  std::string bytes;
  for (int shift = 0; shift < 32; shift += 8)
    bytes += static_cast<char>((number >> shift) & 0xFF);
  return SetValue(path, name, kTypeDword, std::move(bytes));
}

bool RemoveValue(const String& path, const String& name) {
  const auto node = Find(path);
  if (!node)
    return false;
  auto& values = node->values;
  const auto found = std::find_if(values.begin(), values.end(),
                                  [&](const Value& value) { return SameName(value.name, name); });
  if (found == values.end())
    return false;
  values.erase(found);
  return true;
}

bool RefuseAccess(const String& path, std::uint32_t rights) {
  const auto node = Find(path);
  if (!node)
    return false;
  node->refusedRights = rights;
  return true;
}

bool ChangeValueAfterSizeQuery(const String& path, const String& name, std::uint32_t type,
                               std::string bytes) {
  const auto node = Find(path);
  Value* value = node ? FindValue(*node, name) : nullptr;
  if (!value || bytes.size() > std::numeric_limits<std::uint32_t>::max())
    return false;
  value->afterSizeQuery = Contents{type, std::move(bytes)};
  return true;
}

bool FailEnumeration(const String& path, std::uint32_t index) {
  const auto node = Find(path);
  if (!node)
    return false;
  node->failingIndices.insert(index);
  return true;
}

std::size_t OpenKeyCount() {
  return TheState().open.size();
}

}  // namespace fake
}  // namespace zolv::registry
