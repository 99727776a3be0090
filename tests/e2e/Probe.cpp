#include "Probe.h"

#include <psapi.h>

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "Machine.h"
#include "ProbeRequest.h"
#include "platform/win32/system/UniqueHandle.h"

namespace zolv::e2e {

namespace {

// Memory allocated inside another process, freed with it.
class RemoteMemory {
 public:
  RemoteMemory(HANDLE process, std::size_t size)
      : process_(process),
        address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {
    if (address_ == nullptr)
      throw std::runtime_error("cannot allocate memory in the launcher");
  }
  ~RemoteMemory() { VirtualFreeEx(process_, address_, 0, MEM_RELEASE); }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;

  void* get() const { return address_; }

  void Write(const void* data, std::size_t size) const {
    if (!WriteProcessMemory(process_, address_, data, size, nullptr))
      throw std::runtime_error("cannot write the launcher's memory");
  }
  void Read(void* data, std::size_t size) const {
    if (!ReadProcessMemory(process_, address_, data, size, nullptr))
      throw std::runtime_error("cannot read the launcher's memory");
  }

 private:
  HANDLE process_;
  void* address_;
};

// Runs `start(parameter)` on a new thread of the process and returns its exit code.
DWORD RunRemote(HANDLE process, LPTHREAD_START_ROUTINE start, void* parameter) {
  const win32::UniqueHandleObject thread(
      CreateRemoteThread(process, nullptr, 0, start, parameter, 0, nullptr));
  if (!thread)
    throw std::runtime_error("cannot start a thread in the launcher");
  if (WaitForSingleObject(thread.get(), 10000) != WAIT_OBJECT_0)
    throw std::runtime_error("the probe thread did not finish in time");
  DWORD code = 0;
  GetExitCodeThread(thread.get(), &code);
  return code;
}

HMODULE FindRemoteModule(HANDLE process, const wchar_t* name) {
  std::array<HMODULE, 1024> modules{};
  DWORD needed = 0;
  if (!EnumProcessModules(process, modules.data(), sizeof modules, &needed))
    throw std::runtime_error("cannot list the launcher's modules");
  for (std::size_t i = 0; i < needed / sizeof(HMODULE) && i < modules.size(); ++i) {
    std::array<wchar_t, MAX_PATH> base{};
    GetModuleBaseNameW(process, modules[i], base.data(), static_cast<DWORD>(base.size()));
    if (lstrcmpiW(base.data(), name) == 0)
      return modules[i];
  }
  return nullptr;
}

// The probe's base address inside the launcher, loading it there the first time.
HMODULE RemoteProbe(HANDLE process) {
  if (HMODULE loaded = FindRemoteModule(process, kProbeModule))
    return loaded;
  const std::wstring path = TestFolder() + kProbeModule;
  const std::size_t size = (path.size() + 1) * sizeof(wchar_t);
  const RemoteMemory remotePath(process, size);
  remotePath.Write(path.c_str(), size);
  // kernel32 sits at the same address in every process, so this one's LoadLibraryW is theirs.
  const auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
  RunRemote(process, loadLibrary, remotePath.get());
  HMODULE loaded = FindRemoteModule(process, kProbeModule);
  if (loaded == nullptr)
    throw std::runtime_error("the probe did not load into the launcher");
  return loaded;
}

// Where the probe's function lies from the start of its module.
std::uintptr_t ProbeFunctionOffset() {
  static const std::uintptr_t offset = [] {
    HMODULE local = LoadLibraryW((TestFolder() + kProbeModule).c_str());
    if (local == nullptr)
      throw std::runtime_error("cannot load the probe");
    const auto function = reinterpret_cast<std::uintptr_t>(GetProcAddress(local, kProbeFunction));
    if (function == 0)
      throw std::runtime_error("the probe has no font function");
    return function - reinterpret_cast<std::uintptr_t>(local);
  }();
  return offset;
}

}  // namespace

std::optional<LOGFONTW> RemoteControlFont(HANDLE process, HWND control) {
  const auto function = reinterpret_cast<LPTHREAD_START_ROUTINE>(
      reinterpret_cast<std::uintptr_t>(RemoteProbe(process)) + ProbeFunctionOffset());
  ProbeRequest request{};
  request.control = control;
  const RemoteMemory remoteRequest(process, sizeof request);
  remoteRequest.Write(&request, sizeof request);
  if (RunRemote(process, function, remoteRequest.get()) != 1)
    throw std::runtime_error("the probe could not read the control's font");
  remoteRequest.Read(&request, sizeof request);
  if (!request.hasFont)
    return std::nullopt;
  return request.font;
}

}  // namespace zolv::e2e
