// The MSI package's rollback of site.ini, which no msiexec run can be made to need: its custom
// actions called as Windows Installer calls them, on a session of the built package, with
// site.ini in a folder of the test's own. What CheckSite hands to WriteSiteRollback must put the
// file back as it was after WriteSite ran; an uninstall's rollback (PutBackSite) puts back the
// file its RemoveSite (SetSiteAside) set aside, and its commit (DeleteSetAsideSite) deletes it.
#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/win32/system/UniqueHandle.h"
#include "tests/support/FileBytes.h"

namespace zolv {
namespace {

using tests::ReadBytes;
using tests::WriteBytes;

using Action = UINT(__stdcall*)(MSIHANDLE);

std::wstring Property(MSIHANDLE session, const wchar_t* name) {
  wchar_t value[8192];
  DWORD length = 8192;
  EXPECT_EQ(::MsiGetPropertyW(session, name, value, &length), static_cast<UINT>(ERROR_SUCCESS));
  return std::wstring(value, length);
}

class MsiRollback : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = ::LoadLibraryW(ZOLV_TEST_ACTION);
    ASSERT_NE(module_, nullptr);
    for (const auto& [name, action] :
         {std::pair{"CheckSite", &checkSite_}, std::pair{"WriteSite", &writeSite_},
          std::pair{"RestoreSite", &restoreSite_}, std::pair{"SetSiteAside", &setSiteAside_},
          std::pair{"PutBackSite", &putBackSite_},
          std::pair{"DeleteSetAsideSite", &deleteSetAsideSite_}}) {
      *action =
          reinterpret_cast<Action>(reinterpret_cast<void (*)()>(::GetProcAddress(module_, name)));
      ASSERT_NE(*action, nullptr) << name;
    }
    ::MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
    ASSERT_EQ(::MsiOpenPackageW(ZOLV_TEST_MSI, &session_), static_cast<UINT>(ERROR_SUCCESS));
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    folder_ = std::wstring(temp) + L"zolv-rollback\\";
    ::CreateDirectoryW(folder_.c_str(), nullptr);
    ::DeleteFileW(SiteIni().c_str());
    ::MsiSetPropertyW(session_, L"INSTALLDIR", folder_.c_str());
  }
  void TearDown() override {
    ::DeleteFileW(SiteIni().c_str());
    ::RemoveDirectoryW(folder_.c_str());
    if (module_)
      ::FreeLibrary(module_);
  }

  std::wstring SiteIni() const { return folder_ + L"site.ini"; }

  // Runs a deferred action as the script does: its data from the property of its own name.
  UINT Deferred(Action action, const wchar_t* name) {
    ::MsiSetPropertyW(session_, L"CustomActionData", Property(session_, name).c_str());
    return action(session_);
  }

  HMODULE module_ = nullptr;
  Action checkSite_ = nullptr;
  Action writeSite_ = nullptr;
  Action restoreSite_ = nullptr;
  Action setSiteAside_ = nullptr;
  Action putBackSite_ = nullptr;
  Action deleteSetAsideSite_ = nullptr;
  PMSIHANDLE session_;
  std::wstring folder_;
};

TEST_F(MsiRollback, InstallRollbackPutsBackTheFileOrItsAbsence) {
  ::MsiSetPropertyW(session_, L"HOST", L"zolv.example.com");
  ::MsiSetPropertyW(session_, L"CLIENTID", L"7");
  ASSERT_EQ(checkSite_(session_), static_cast<UINT>(ERROR_SUCCESS));
  ASSERT_EQ(Deferred(writeSite_, L"WriteSite"), static_cast<UINT>(ERROR_SUCCESS));
  ASSERT_TRUE(ReadBytes(SiteIni()));
  EXPECT_EQ(Deferred(restoreSite_, L"WriteSiteRollback"), static_cast<UINT>(ERROR_SUCCESS));
  EXPECT_FALSE(ReadBytes(SiteIni())) << "a first install's rollback left site.ini";

  const std::string before = "[Site]\r\nHost=zolv.example.com\r\nClientId=42\r\n; nota\r\n";
  ASSERT_TRUE(WriteBytes(SiteIni(), before));
  ASSERT_EQ(checkSite_(session_), static_cast<UINT>(ERROR_SUCCESS));
  ASSERT_EQ(Deferred(writeSite_, L"WriteSite"), static_cast<UINT>(ERROR_SUCCESS));
  ASSERT_NE(ReadBytes(SiteIni()), before);
  EXPECT_EQ(Deferred(restoreSite_, L"WriteSiteRollback"), static_cast<UINT>(ERROR_SUCCESS));
  EXPECT_EQ(ReadBytes(SiteIni()), before) << "an upgrade's rollback kept the new values";
}

// The sequence gives the uninstall's actions the file's name alone.
TEST_F(MsiRollback, UninstallRollbackPutsBackTheRemovedFileAndItsCommitDeletesIt) {
  const std::string before = "\xEF\xBB\xBF[Site]\r\nHost=zolv.example.com\r\nClientId=42\r\n";
  ASSERT_TRUE(WriteBytes(SiteIni(), before));
  ::MsiSetPropertyW(session_, L"CustomActionData", SiteIni().c_str());
  ASSERT_EQ(setSiteAside_(session_), static_cast<UINT>(ERROR_SUCCESS));
  ASSERT_FALSE(ReadBytes(SiteIni()));
  EXPECT_EQ(putBackSite_(session_), static_cast<UINT>(ERROR_SUCCESS));
  EXPECT_EQ(ReadBytes(SiteIni()), before);

  ASSERT_EQ(setSiteAside_(session_), static_cast<UINT>(ERROR_SUCCESS));
  EXPECT_EQ(deleteSetAsideSite_(session_), static_cast<UINT>(ERROR_SUCCESS));
  EXPECT_FALSE(ReadBytes(SiteIni()));
  EXPECT_EQ(::GetFileAttributesW(folder_.c_str()), INVALID_FILE_ATTRIBUTES)
      << "the emptied folder is left";
}

}  // namespace
}  // namespace zolv
