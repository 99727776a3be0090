// Files: whole-file reads and replacements, folders, and the running program's own file name.
// Paths are Windows paths; the host substitute maps backslashes to slashes.
#pragma once

#include <string>

#include "platform/Text.h"

namespace zolv::files {

// Reads the whole file into `bytes`. Others may read the file meanwhile, not write it. A file
// that another program holds for a moment (another launcher's save, a scanner) is waited out,
// half a second in all, as a save waits; one held longer is refused. A file too large for the
// process's memory (4 GiB or more in a 32-bit one) is refused.
// On failure returns false and sets `error` to the system's text for the failure.
bool ReadWhole(const String& path, std::string& bytes, String& error);

// Replaces the file's contents with `bytes` in one step: the bytes go to a temporary file in
// the same folder, named as the file with its first character replaced by "~" (its path is
// never longer), are flushed to disk, and the temporary file then takes the file's place. It
// takes over what belonged to the old file: its DACL (and its owner and group where the process
// may set them), its creation time, its not-indexed attribute, its encryption and compression.
// What creating the file anew would refuse is refused: while another process has the file
// open, and when it is read-only, hidden or a system file (access denied). A handle open for a
// moment (a scanner's, a reader's) is waited out, for half a second in all; readers that come
// meanwhile wait the save out the same way. A symbolic link in the file's
// place stays, and the file it leads to is replaced. On any failure the old file stays whole,
// no temporary file is left, and `error` holds the system's text.
bool ReplaceWhole(const String& path, std::string_view bytes, String& error);

bool Exists(const String& path);

// Creates one folder level (the parent must exist). Returns whether it was created.
bool CreateFolder(const String& path);

// The running executable's full file name.
String ModuleFileName();

}  // namespace zolv::files
