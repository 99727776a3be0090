// SiteFile: the installation's values as site.ini holds them (section [Site], keys Host and
// ClientId), read the way the launcher reads them and written the way the installers write
// them. The installers call this same code, so that they accept exactly what the launcher
// accepts: the last of two equal keys, values with their quotes, any byte-order mark.
#pragma once

#include "IniFile.h"
#include "platform/Text.h"

namespace zolv {

// The values as written, not yet checked.
struct SiteText {
  String host;
  String clientId;
};

// The file's values, the built-in ones (SiteDefaults.h) where a key is missing.
SiteText ReadSiteText(const IniFile& site);

// Sets each key that does not already hold its value; returns whether anything changed, so
// that an upgrade with the installed values leaves the file as it is.
bool WriteSiteText(IniFile& site, const SiteText& values);

}  // namespace zolv
