#include "FilePaths.h"

namespace zolv {

namespace {

std::size_t NameStart(StringView fileName) {
  const std::size_t separator = fileName.find_last_of(u"\\:");
  return separator == StringView::npos ? 0 : separator + 1;
}

}  // namespace

StringView ExtractFilePath(StringView fileName) {
  return fileName.substr(0, NameStart(fileName));
}

StringView ExtractFileName(StringView fileName) {
  return fileName.substr(NameStart(fileName));
}

}  // namespace zolv
