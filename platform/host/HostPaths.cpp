#include "platform/host/HostPaths.h"

#include <algorithm>
#include <filesystem>

namespace zolv::paths {

// std::filesystem::path converts between UTF-16 and the UTF-8 of POSIX names, and throws
// when one side has no form in the other.
std::optional<std::string> NativePath(StringView path) {
  String slashed(path);
  std::replace(slashed.begin(), slashed.end(), u'\\', u'/');
  try {
    return std::filesystem::path(slashed).string();
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::optional<String> WindowsPath(const std::string& nativePath) {
  try {
    String path = std::filesystem::path(nativePath).u16string();
    std::replace(path.begin(), path.end(), u'/', u'\\');
    return path;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace zolv::paths
