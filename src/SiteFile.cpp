#include "SiteFile.h"

#include "SiteDefaults.h"

namespace zolv {

namespace {

constexpr StringView kSection = u"Site";
constexpr StringView kHost = u"Host";
constexpr StringView kClientId = u"ClientId";
// No value holds a line break, so this default stands for a missing key.
constexpr StringView kMissing = u"\n";

bool WriteKey(IniFile& site, StringView key, StringView value) {
  if (site.ReadString(kSection, key, kMissing) == value)
    return false;
  site.WriteString(kSection, key, value);
  return true;
}

}  // namespace

SiteText ReadSiteText(const IniFile& site) {
  return {site.ReadString(kSection, kHost, ZOLV_DEFAULT_HOST),
          site.ReadString(kSection, kClientId, ZOLV_DEFAULT_CLIENT_ID)};
}

bool WriteSiteText(IniFile& site, const SiteText& values) {
  const bool hostChanged = WriteKey(site, kHost, values.host);
  const bool clientIdChanged = WriteKey(site, kClientId, values.clientId);
  return hostChanged || clientIdChanged;
}

}  // namespace zolv
