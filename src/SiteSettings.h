// SiteSettings: the installation's values — the web system's host and the client identifier.
// Built-in defaults (SiteDefaults.h), overridden key by key by the read-only file site.ini in
// the program's own folder (section [Site], keys Host and ClientId).
#pragma once

#include <cstdint>

#include "platform/Text.h"

namespace zolv {

struct Site {
  String host;
  std::int32_t clientId = 0;
};

// Reads and checks the installation's values. A missing or malformed one raises an Exception
// whose Spanish message names the key and site.ini.
Site ReadSite();

}  // namespace zolv
