// UFPrincipal: the launcher's main window TForm1 (start-up, browser chooser, access action) and
// the per-user data folder DataPath.
#pragma once

#include "platform/Text.h"

namespace zolv {

// The per-user data folder, ending in a backslash; set once at start-up by PrepareDataFolder.
extern String DataPath;

// The current path of a special folder, or the empty text when the shell cannot tell.
String GetSpecialFolderPath(int folder);

// Sets DataPath to "ZOLV\" under the user's local application data and creates that folder
// (one level). Whether the folder could be created is not examined: a failure shows when the
// settings file is written.
void PrepareDataFolder();

}  // namespace zolv
