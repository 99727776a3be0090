// SystemLibrary and the late imports: system DLLs come from System32, never from the program's own
// folder, where anyone who can write there may have left a file of the same name.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/system/LateImports.h"
#include "platform/win32/system/SystemError.h"
#include "platform/win32/system/SystemLibrary.h"

namespace zolv::win32 {
namespace {

std::wstring ModulePath(HMODULE module) {
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH);
  return std::wstring(path, length);
}

std::wstring ProgramFolder() {
  const std::wstring program = ModulePath(nullptr);
  return program.substr(0, program.find_last_of(L'\\') + 1);
}

void DeleteMemoryDc(HDC dc) {
  ::DeleteDC(dc);
}
using UniqueMemoryDc = UniqueHandle<HDC, DeleteMemoryDc>;

bool StartsWithIgnoringCase(const std::wstring& text, const std::wstring& prefix) {
  return text.size() >= prefix.size() &&
         ::CompareStringOrdinal(text.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                                static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

TEST(SystemLibrary, LoadsFromSystem32AndFindsFunctionsByName) {
  UniqueLibrary library(LoadFromSystem32(L"uxtheme.dll"));
  ASSERT_TRUE(library);
  wchar_t system[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
  EXPECT_TRUE(
      StartsWithIgnoringCase(ModulePath(library.get()), std::wstring(system, length) + L"\\"));
  EXPECT_NE(ResolveFromSystem32(L"uxtheme.dll", "OpenThemeData"), nullptr);
  // A late function the system lacks is a broken system: the call fails loudly.
  EXPECT_THROW(ResolveFromSystem32(L"uxtheme.dll", "NoSuchFunction"), SystemFailure);
}

TEST(SystemLibrary, NeverLoadsAFileLeftBesideTheProgram) {
  // Any loadable image will do as the planted file: a copy of this program.
  const std::wstring planted = ProgramFolder() + L"zolv-planted.dll";
  ASSERT_TRUE(::CopyFileW(ModulePath(nullptr).c_str(), planted.c_str(), FALSE));

  UniqueLibrary library(LoadFromSystem32(L"zolv-planted.dll"));
  EXPECT_FALSE(library);
  EXPECT_THROW(ResolveFromSystem32(L"zolv-planted.dll", "OpenThemeData"), SystemFailure);

  // The default search order does find it: the refusal above is System32's, not the file's.
  UniqueLibrary searched(::LoadLibraryExW(L"zolv-planted.dll", nullptr, 0));
  EXPECT_TRUE(searched);
  searched.reset();
  ::DeleteFileW(planted.c_str());
}

TEST(ThemeLibrary, ReachesTheThemeFunctionsOfSystem32) {
  HWND desktop = ::GetDesktopWindow();
  HTHEME theme = uxtheme::OpenThemeData(desktop, L"Button");
  if (!theme) {
    GTEST_SKIP() << "visual styles are off";
  }
  UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  ASSERT_TRUE(dc);
  RECT bounds{0, 0, 80, 24};
  RECT content{};
  EXPECT_EQ(uxtheme::GetThemeBackgroundContentRect(theme, dc.get(), 1, 1, &bounds, &content), S_OK);
  EXPECT_GT(content.right, content.left);
  EXPECT_EQ(uxtheme::CloseThemeData(theme), S_OK);
}

}  // namespace
}  // namespace zolv::win32
