// SiteAddress: the web system's page address for a client, and the checks that an
// installation's host and client identifier are fit to go into it.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/Text.h"

namespace zolv {

// "http://" + host + "/web/".
String baseURL(StringView host);

// baseURL + "index.php?id=" + the identifier in decimal, with every double quote in the whole
// address replaced by "%22".
String PageAddress(StringView baseUrl, std::int32_t id);

// A host name, an IPv4 address or a bracketed IPv6 address, optionally followed by ":" and a
// port from 1 to 65535.
bool IsValidHost(StringView host);

// A decimal 32-bit signed integer with an optional leading minus sign and nothing else.
std::optional<std::int32_t> ParseClientId(StringView text);

}  // namespace zolv
