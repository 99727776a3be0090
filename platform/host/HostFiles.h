// HostFiles: test control of the host file adapter: the running program's file name, and
// faults that make the next read or the next replacement fail at a chosen step.
#pragma once

#include "platform/Text.h"

namespace zolv::files::host {

// What ModuleFileName answers from now on; the empty text brings back the real executable.
void SetModuleFileName(String name);

enum class ReadStep { Open, Read };
enum class ReplaceStep { CreateTemp, Write, Flush, Rename };

// The next ReadWhole / ReplaceWhole fails at that step as the system would: a failed write
// leaves part of the bytes in the temporary file, a failed rename a complete one.
void FailNextRead(ReadStep step);
void FailNextReplace(ReplaceStep step);

// The real module file name and no pending faults.
void Reset();

}  // namespace zolv::files::host
