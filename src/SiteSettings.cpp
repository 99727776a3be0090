#include "SiteSettings.h"

#include "Exception.h"
#include "IniFile.h"
#include "SiteAddress.h"
#include "SiteDefaults.h"
#include "platform/Files.h"

namespace zolv {

namespace {

String ProgramFolder() {
  const String program = files::ModuleFileName();
  return program.substr(0, program.find_last_of(u"\\:") + 1);
}

IniFile LoadSiteFile(const String& path) {
  std::string bytes;
  String error;
  if (!files::ReadWhole(path, bytes, error)) {
    throw Exception(u"Cannot open file \"" + path + u"\". " + error);
  }
  return IniFile::FromBytes(bytes);
}

}  // namespace

Site ReadSite() {
  String host = ZOLV_DEFAULT_HOST;
  String clientId = ZOLV_DEFAULT_CLIENT_ID;
  const String path = ProgramFolder() + u"site.ini";
  if (files::Exists(path)) {
    const IniFile site = LoadSiteFile(path);
    host = site.ReadString(u"Site", u"Host", host);
    clientId = site.ReadString(u"Site", u"ClientId", clientId);
  }

  if (host.empty()) {
    throw Exception(u"No se ha configurado el servidor de ZOLV Online (clave Host de site.ini).");
  }
  if (!IsValidHost(host)) {
    throw Exception(u"El servidor configurado no es válido (clave Host de site.ini).");
  }
  if (clientId.empty()) {
    throw Exception(u"No se ha configurado el número de cliente (clave ClientId de site.ini).");
  }
  const auto id = ParseClientId(clientId);
  if (!id) {
    throw Exception(u"El número de cliente configurado no es válido (clave ClientId de site.ini).");
  }
  return {host, *id};
}

}  // namespace zolv
