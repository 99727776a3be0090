// Files planted where users download and start the launcher: a chrome.exe in its working
// folder, DLLs under system names beside it. None of them may ever run inside or for it.
#include "LauncherTest.h"

#include "SystemDlls.h"

namespace zolv::e2e {
namespace {

void Copy(const std::wstring& from, const std::wstring& to) {
  ASSERT_TRUE(CopyFileW(from.c_str(), to.c_str(), FALSE)) << GetLastError();
}

// Puts the App Paths entries back however the test ends.
struct AppPathsRestored {
  ~AppPathsRestored() { EXPECT_EQ(InstallStubBrowsers(), "") << "App Paths not put back"; }
};

TEST_F(LauncherTest, AChromeExeInTheWorkingFolderIsNeverStarted) {
  const std::wstring downloads = FreshFolder(L"downloads");
  Copy(StubBrowserPath(), downloads + L"chrome.exe");
  // Windows searches the current folder for a bare name before App Paths; Wine looks at App
  // Paths first, so without the entry it searches the folders too.
  const AppPathsRestored restored;
  RemoveAppPath(L"chrome.exe");
  WriteBytes(SiteFile(), "[Site]\r\nHost=zolv.example.com\r\nClientId=42\r\n");
  ListBrowsers({L"Google Chrome"});
  WriteSettings(SettingsHolding("chrome.exe"));
  const MainWindow w = FindControls(Start(LauncherPath(), downloads).WaitForMainWindow());

  Click(w.access, 20000);
  EXPECT_EQ(WindowText(w.access), kOpeningCaption);
  ASSERT_TRUE(launcher().WaitForExit(20s));
  ASSERT_TRUE(launcher().WaitUntilAllEnded());
  EXPECT_TRUE(StubStarts().empty());
}

TEST_F(LauncherTest, NoDllBesideTheLauncherIsLoadedThroughAnErrorBoxAndTheHandOver) {
  const std::wstring folder = FreshFolder(L"planted");
  Copy(LauncherPath(), folder + L"ZOLVWeb.exe");
  for (const wchar_t* dll : tests::kSystemDlls)
    Copy(TestFolder() + L"MarkerDll.dll", folder + dll);
  WriteBytes(folder + L"site.ini", "[Site]\r\nHost=zolv.example.com\r\nClientId=42\r\n");
  // A number where a browser name belongs: an error box at start-up.
  ListBrowsers({L"Google Chrome", DWORD{7}});
  WriteSettings(SettingsHolding("chrome.exe"));
  Launcher& run = Start(folder + L"ZOLVWeb.exe", folder);

  Dismiss(run.WaitForErrorBox());
  const MainWindow w = FindControls(run.WaitForMainWindow());
  Click(w.access, 20000);
  ASSERT_TRUE(run.WaitForExit(20s));
  EXPECT_EQ(StubStarts().size(), 1u);
  for (const wchar_t* dll : tests::kSystemDlls) {
    const std::wstring marker = folder + dll + L".loaded";
    EXPECT_EQ(GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the launcher loaded the planted " << std::string(dll, dll + wcslen(dll));
  }
}

}  // namespace
}  // namespace zolv::e2e
