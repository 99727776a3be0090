// The robustness suites' entry: GoogleTest, or the launcher-like writer that the suites start
// as a second program (SaveWriter.h).
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cwchar>
#include <memory>

#include "SaveWriter.h"

namespace {

struct LocalFreeDeleter {
  void operator()(wchar_t** block) const { ::LocalFree(block); }
};

}  // namespace

int main(int argc, char** argv) {
  int count = 0;
  const std::unique_ptr<wchar_t*, LocalFreeDeleter> arguments(
      ::CommandLineToArgvW(::GetCommandLineW(), &count));
  if (arguments && count >= 2 && std::wcscmp(arguments.get()[1], zolv::robust::kWriterFlag) == 0)
    return zolv::robust::RunWriter(count - 2, arguments.get() + 2);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
