// WebBrowsers: the list of installed web browsers and their display names, read from the
// machine's registry list under cBrowsersRootKey.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "platform/Text.h"

namespace zolv {

// Under HKEY_LOCAL_MACHINE: one subkey per browser, its default value the display name.
inline constexpr char16_t cBrowsersRootKey[] = u"SOFTWARE\\Clients\\StartMenuInternet";

class TWebBrowser {
 public:
  explicit TWebBrowser(String AName) : FName(std::move(AName)) {}

  const String& Name() const { return FName; }

 private:
  String FName;
};

// The entries are held by unique_ptr whatever AOwnItems says: ReadFromSystem creates them and
// nothing else could free them, so a list that let go of them would leak. IsOwnItems reports
// the flag given at construction.
class TWebBrowsers {
 public:
  explicit TWebBrowsers(bool AOwnItems) : FOwnItems(AOwnItems) {}

  int Count() const { return static_cast<int>(FItems.size()); }

  // Raises "List index out of bounds (%d)" for an index outside 0 to Count - 1.
  const TWebBrowser& Items(int Index) const;

  bool IsOwnItems() const { return FOwnItems; }

  void Clear() { FItems.clear(); }

  // Replaces the contents with the browsers the registry lists now, in enumeration order.
  // Keys that cannot be opened and empty names are left out. A default value of a non-text
  // type, or one that cannot be fetched, raises; the entries read before it stay.
  void ReadFromSystem();

 private:
  bool FOwnItems;
  std::vector<std::unique_ptr<TWebBrowser>> FItems;
};

}  // namespace zolv
