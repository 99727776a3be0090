// HostPaths: the host's bridge between the core's Windows-shaped paths (UTF-16, backslashes)
// and POSIX paths (UTF-8 bytes, slashes).
#pragma once

#include <optional>
#include <string>

#include "platform/Text.h"

namespace zolv::paths {

// Nothing when the path has no UTF-8 form (it holds a lone surrogate).
std::optional<std::string> NativePath(StringView path);

// Nothing when the bytes are not UTF-8.
std::optional<String> WindowsPath(const std::string& nativePath);

}  // namespace zolv::paths
