// ZOLVSiteAction.dll: the MSI package's custom actions for site.ini, with the launcher's own
// settings engine (SiteFile) and rules (SiteAddress), as the NSIS installer's plugin does.
//
//   CheckSite (immediate, before anything changes; only when installing, upgrading, or given HOST
//     or CLIENTID in a maintenance run): the values are site.ini's (or the built-in ones),
//     overridden by the public properties HOST and CLIENTID when given. A value that the
//     launcher would refuse fails the installation. Hands the file's new bytes, or its present
//     ones when the values are already there, to WriteSite.
//   WriteSite (deferred, after the files): writes those bytes unless the file holds them.
//   RestoreSite (its rollback, scheduled before it as WriteSiteRollback): puts site.ini back as
//     CheckSite found it, so that a failed or cancelled installation leaves the file as it was.
//   SetSiteAside, PutBackSite, DeleteSetAsideSite (deferred, on an uninstall that is not part of
//     an upgrade, as RemoveSite, its rollback and its commit): the file's name alone, given by
//     the sequence, is all they need: site.ini is renamed aside, put back if the uninstall fails,
//     deleted once it succeeds, with the folder when that is then empty. Its content is never read,
//     so that nothing in it, and no program holding it, can stop an uninstall: a file that cannot
//     be renamed is left in place, and the log says so.
#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include <string>

#include "IniFile.h"
#include "SiteAddress.h"
#include "SiteFile.h"
#include "platform/Files.h"

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

std::wstring Wide(const String& text) {
  return std::wstring(text.begin(), text.end());
}

void SetProperty(MSIHANDLE install, const wchar_t* name, const String& value) {
  ::MsiSetPropertyW(install, name, Wide(value).c_str());
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

// Written to the log only.
void Log(MSIHANDLE install, const std::wstring& text) {
  PMSIHANDLE record(::MsiCreateRecord(1));
  ::MsiRecordSetStringW(record, 0, text.c_str());
  ::MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
}

UINT RestoreSite(MSIHANDLE install) {
  const String data = Property(install, L"CustomActionData");
  // A file's name alone: there was no file, and there is to be none.
  if (data.find(u'\n') == String::npos) {
    ::DeleteFileW(Wide(data).c_str());
    return ERROR_SUCCESS;
  }
  String path;
  std::string bytes;
  String error;
  if (!DecodeData(data, path, bytes) || !files::ReplaceWhole(path, bytes, error))
    return ERROR_INSTALL_FAILURE;
  return ERROR_SUCCESS;
}

// Where an uninstall keeps site.ini until it has succeeded: beside it, so that the rename never
// crosses a volume.
std::wstring SetAside(const std::wstring& path) {
  return path + L".uninstalling";
}

UINT SetSiteAside(MSIHANDLE install) {
  const std::wstring path = Wide(Property(install, L"CustomActionData"));
  // A file left aside by an uninstall that was cut short is not this one's to put back.
  ::DeleteFileW(SetAside(path).c_str());
  if (::MoveFileExW(path.c_str(), SetAside(path).c_str(), 0))
    return ERROR_SUCCESS;
  if (const DWORD error = ::GetLastError(); error != ERROR_FILE_NOT_FOUND)
    Log(install, L"ZOLV Online: " + path + L" could not be removed (error " +
                     std::to_wstring(error) + L"); it is left in place.");
  return ERROR_SUCCESS;
}

UINT PutBackSite(MSIHANDLE install) {
  const std::wstring path = Wide(Property(install, L"CustomActionData"));
  if (::GetFileAttributesW(SetAside(path).c_str()) != INVALID_FILE_ATTRIBUTES)
    ::MoveFileExW(SetAside(path).c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
  return ERROR_SUCCESS;
}

// The set-aside file kept the folder from being removed with the rest: it goes, and the folder
// with it when nothing else is left in it.
UINT DeleteSetAsideSite(MSIHANDLE install) {
  const std::wstring path = Wide(Property(install, L"CustomActionData"));
  ::DeleteFileW(SetAside(path).c_str());
  ::RemoveDirectoryW(path.substr(0, path.find_last_of(L'\\')).c_str());
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

// Each action exported under its plain name, one line each, through the guard.
#define ZOLV_EXPORT_ACTION(name)                                            \
  extern "C" __declspec(dllexport) UINT __stdcall name(MSIHANDLE install) { \
    return zolv::installer::Guarded(install, zolv::installer::name);        \
  }

ZOLV_EXPORT_ACTION(CheckSite)
ZOLV_EXPORT_ACTION(WriteSite)
ZOLV_EXPORT_ACTION(RestoreSite)
ZOLV_EXPORT_ACTION(SetSiteAside)
ZOLV_EXPORT_ACTION(PutBackSite)
ZOLV_EXPORT_ACTION(DeleteSetAsideSite)
