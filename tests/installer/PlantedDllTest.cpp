// The setup program started from a folder where DLLs under system names lie beside it, as in
// Downloads. NSIS's stub restricts the DLL search to System32 as it starts and loads the
// system DLLs it uses later from there; none beside it may load.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/SystemDlls.h"

namespace zolv {
namespace {

constexpr DWORD kInvalidValues = 3;

bool UnderWine() {
  return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::wstring FreshFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring folder = std::wstring(temp) + L"zolv-planted\\";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  for (const wchar_t* dll : tests::kSystemDlls)
    ::DeleteFileW((folder + dll + L".loaded").c_str());
  return folder;
}

DWORD RunAndWait(std::wstring commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
    return ~DWORD{0};
  ::CloseHandle(info.hThread);
  DWORD code = ~DWORD{0};
  if (::WaitForSingleObject(info.hProcess, 60000) == WAIT_OBJECT_0)
    ::GetExitCodeProcess(info.hProcess, &code);
  else
    ::TerminateProcess(info.hProcess, 1);
  ::CloseHandle(info.hProcess);
  return code;
}

TEST(PlantedDllTest, NoDllBesideTheSetupIsLoaded) {
  const std::wstring folder = FreshFolder();
  const std::wstring setup = folder + L"ZOLVOnline-Setup.exe";
  ASSERT_TRUE(::CopyFileW(ZOLV_TEST_SETUP, setup.c_str(), FALSE));
  for (const wchar_t* dll : tests::kSystemDlls) {
    // Wine has no KnownDLLs: the stub's own imports (shell32, comctl32) pull shcore.dll in from
    // its folder before the stub runs, and the setup cannot start. On Windows shcore.dll is a
    // KnownDLL, taken from System32 only.
    if (UnderWine() && std::wstring(dll) == L"shcore.dll") {
      ::DeleteFileW((folder + dll).c_str());
      continue;
    }
    ASSERT_TRUE(::CopyFileW(ZOLV_TEST_MARKER, (folder + dll).c_str(), FALSE));
  }

  // A value that is not valid: the stub starts, loads the plugin that checks the values and
  // ends with nothing changed.
  EXPECT_EQ(RunAndWait(L"\"" + setup + L"\" /S /HOST=zolv..example.com /CLIENTID=42"),
            kInvalidValues);
  for (const wchar_t* dll : tests::kSystemDlls) {
    const std::wstring marker = folder + dll + L".loaded";
    EXPECT_EQ(::GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the setup loaded the planted " << std::string(dll, dll + wcslen(dll));
  }
}

}  // namespace
}  // namespace zolv
