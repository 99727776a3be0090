// ZOLVSiteAction.dll: the MSI package's custom actions for site.ini, with the launcher's own
// settings engine (SiteFile) and rules (SiteAddress), as the NSIS installer's plugin does; and
// one that puts the Start menu shortcut where a per-machine package puts it on Windows.
//
//   CommonStartMenu (immediate, before costing): ProgramMenuFolder becomes the Start menu of
//     all users. Windows does this itself for ALLUSERS=1; Wine keeps the installing user's.
//   CheckSite (immediate, before anything changes): the values are site.ini's (or the built-in
//     ones), overridden by the public properties HOST and CLIENTID when given. A value that
//     the launcher would refuse fails the installation. Hands the file's new bytes, or its
//     present ones when the values are already there, to WriteSite. On uninstall it hands the
//     file's name to RemoveSite.
//   WriteSite (deferred, after the files): writes those bytes unless the file holds them.
//   RemoveSite (deferred, on an uninstall that is not part of an upgrade): deletes site.ini.
//   RestoreSite (the rollback of both, scheduled before each as WriteSiteRollback and
//     RemoveSiteRollback): puts site.ini back as CheckSite found it, so that a failed or
//     cancelled installation or uninstall leaves the file as it was.
#include <windows.h>

#include <msi.h>
#include <msiquery.h>
#include <shlobj.h>

#include <string>

#include "IniFile.h"
#include "SiteAddress.h"
#include "SiteFile.h"
#include "platform/Files.h"
#include "platform/win32/LateImports.h"

namespace zolv::installer {
namespace {

String Property(MSIHANDLE install, const wchar_t* name) {
  wchar_t none[1] = L"";
  DWORD length = 0;
  if (::MsiGetPropertyW(install, name, none, &length) != ERROR_MORE_DATA)
    return {};
  std::wstring value(length + 1, L'\0');
  ++length;
  if (::MsiGetPropertyW(install, name, value.data(), &length) != ERROR_SUCCESS)
    return {};
  value.resize(length);
  return String(value.begin(), value.end());
}

void SetProperty(MSIHANDLE install, const wchar_t* name, const String& value) {
  const std::wstring wide(value.begin(), value.end());
  ::MsiSetPropertyW(install, name, wide.c_str());
}

// Shown in a message box with a user interface, written to the log in any case.
void ReportError(MSIHANDLE install, const wchar_t* text) {
  // PMSIHANDLE: msi.h's owner of a handle.
  PMSIHANDLE record(::MsiCreateRecord(1));
  ::MsiRecordSetStringW(record, 0, text);
  ::MsiProcessMessage(install, INSTALLMESSAGE_ERROR, record);
}

// CustomActionData: the file's name, a line break, then its bytes in hexadecimal.
constexpr char16_t kHexDigits[] = u"0123456789abcdef";

String EncodeData(const String& path, const std::string& bytes) {
  String data = path + u'\n';
  for (const unsigned char byte : bytes) {
    data += kHexDigits[byte >> 4];
    data += kHexDigits[byte & 15];
  }
  return data;
}

int HexValue(char16_t digit) {
  const StringView digits(kHexDigits);
  const std::size_t at = digits.find(digit);
  return at == StringView::npos ? -1 : static_cast<int>(at);
}

bool DecodeData(const String& data, String& path, std::string& bytes) {
  const std::size_t newline = data.find(u'\n');
  if (newline == String::npos || (data.size() - newline - 1) % 2 != 0)
    return false;
  path = data.substr(0, newline);
  for (std::size_t i = newline + 1; i < data.size(); i += 2) {
    const int high = HexValue(data[i]);
    const int low = HexValue(data[i + 1]);
    if (high < 0 || low < 0)
      return false;
    bytes += static_cast<char>(high * 16 + low);
  }
  return true;
}

UINT CommonStartMenu(MSIHANDLE install) {
  wchar_t folder[MAX_PATH];
  if (win32::shell32::SHGetFolderPathW(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT,
                                       folder) != S_OK)
    return ERROR_INSTALL_FAILURE;
  ::MsiSetPropertyW(install, L"ProgramMenuFolder", (std::wstring(folder) + L"\\").c_str());
  return ERROR_SUCCESS;
}

UINT CheckSite(MSIHANDLE install) {
  const String path = Property(install, L"INSTALLDIR") + u"site.ini";
  std::string present;
  String error;
  const bool exists = files::Exists(path);
  if (exists && !files::ReadWhole(path, present, error)) {
    ReportError(install, L"No se pudo leer el archivo site.ini de ZOLV Online.");
    return ERROR_INSTALL_FAILURE;
  }
  // What the rollback puts back: the present bytes, or no file (its name alone).
  const String restore = exists ? EncodeData(path, present) : path;
  if (Property(install, L"REMOVE") == u"ALL") {
    SetProperty(install, L"RemoveSite", path);
    SetProperty(install, L"RemoveSiteRollback", restore);
    return ERROR_SUCCESS;
  }
  IniFile site = IniFile::FromBytes(present);
  SiteText values = ReadSiteText(site);
  if (const String host = Property(install, L"HOST"); !host.empty())
    values.host = host;
  if (const String clientId = Property(install, L"CLIENTID"); !clientId.empty())
    values.clientId = clientId;
  if (!IsValidHost(values.host)) {
    ReportError(install, L"El servidor de ZOLV Online (HOST) no es válido.");
    return ERROR_INSTALL_FAILURE;
  }
  if (!ParseClientId(values.clientId)) {
    ReportError(install, L"El número de cliente de ZOLV Online (CLIENTID) no es válido.");
    return ERROR_INSTALL_FAILURE;
  }
  const std::string bytes = WriteSiteText(site, values) ? site.ToBytes() : present;
  SetProperty(install, L"WriteSite", EncodeData(path, bytes));
  SetProperty(install, L"WriteSiteRollback", restore);
  return ERROR_SUCCESS;
}

UINT WriteSite(MSIHANDLE install) {
  String path;
  std::string bytes;
  if (!DecodeData(Property(install, L"CustomActionData"), path, bytes))
    return ERROR_INSTALL_FAILURE;
  std::string present;
  String error;
  if (files::Exists(path) && files::ReadWhole(path, present, error) && present == bytes)
    return ERROR_SUCCESS;
  if (!files::ReplaceWhole(path, bytes, error)) {
    ReportError(install, L"No se pudo escribir el archivo site.ini de ZOLV Online.");
    return ERROR_INSTALL_FAILURE;
  }
  return ERROR_SUCCESS;
}

UINT RemoveSite(MSIHANDLE install) {
  const String path = Property(install, L"CustomActionData");
  const std::wstring wide(path.begin(), path.end());
  if (!wide.empty())
    ::DeleteFileW(wide.c_str());
  return ERROR_SUCCESS;
}

UINT RestoreSite(MSIHANDLE install) {
  const String data = Property(install, L"CustomActionData");
  // A file's name alone: there was no file, and there is to be none.
  if (data.find(u'\n') == String::npos)
    return RemoveSite(install);
  String path;
  std::string bytes;
  String error;
  if (!DecodeData(data, path, bytes) || !files::ReplaceWhole(path, bytes, error))
    return ERROR_INSTALL_FAILURE;
  return ERROR_SUCCESS;
}

// No exception may cross into Windows Installer: a failure inside fails the action.
template <typename Action>
UINT Guarded(MSIHANDLE install, Action action) noexcept {
  try {
    return action(install);
  } catch (...) {
    return ERROR_INSTALL_FAILURE;
  }
}

}  // namespace
}  // namespace zolv::installer

extern "C" __declspec(dllexport) UINT __stdcall CommonStartMenu(MSIHANDLE install) {
  return zolv::installer::Guarded(install, zolv::installer::CommonStartMenu);
}

extern "C" __declspec(dllexport) UINT __stdcall CheckSite(MSIHANDLE install) {
  return zolv::installer::Guarded(install, zolv::installer::CheckSite);
}

extern "C" __declspec(dllexport) UINT __stdcall WriteSite(MSIHANDLE install) {
  return zolv::installer::Guarded(install, zolv::installer::WriteSite);
}

extern "C" __declspec(dllexport) UINT __stdcall RemoveSite(MSIHANDLE install) {
  return zolv::installer::Guarded(install, zolv::installer::RemoveSite);
}

extern "C" __declspec(dllexport) UINT __stdcall RestoreSite(MSIHANDLE install) {
  return zolv::installer::Guarded(install, zolv::installer::RestoreSite);
}
