#include "platform/win32/LoadAhead.h"

namespace zolv::win32 {

LoadAhead::LoadAhead(const wchar_t* fileName)
    : fileName_(fileName), thread_(::CreateThread(nullptr, 0, Load, this, 0, nullptr)) {}

LoadAhead::~LoadAhead() {
  if (thread_)
    ::WaitForSingleObject(thread_.get(), INFINITE);
}

DWORD WINAPI LoadAhead::Load(void* self) {
  auto& ahead = *static_cast<LoadAhead*>(self);
  ahead.library_.reset(LoadFromSystem32(ahead.fileName_));
  return 0;
}

}  // namespace zolv::win32
