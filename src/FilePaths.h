// FilePaths: splitting Windows file names into folder and name, at the last "\" or ":".
#pragma once

#include "platform/Text.h"

namespace zolv {

// The folder part, with its final "\" (or ":"); empty for a bare name.
StringView ExtractFilePath(StringView fileName);

// The name without its folder.
StringView ExtractFileName(StringView fileName);

}  // namespace zolv
