#include "SiteSettings.h"

#include "Exception.h"
#include "FilePaths.h"
#include "IniFile.h"
#include "SiteAddress.h"
#include "SiteDefaults.h"
#include "platform/Files.h"

namespace zolv {

Site ReadSite() {
  const IniFile site = LoadIniFile(String(ExtractFilePath(files::ModuleFileName())) + u"site.ini");
  const String host = site.ReadString(u"Site", u"Host", ZOLV_DEFAULT_HOST);
  const String clientId = site.ReadString(u"Site", u"ClientId", ZOLV_DEFAULT_CLIENT_ID);

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
