#include "platform/win32/adapters/ComApartment.h"

#include <windows.h>

#include <objbase.h>

#include "platform/win32/system/LateImports.h"

namespace zolv::win32 {

namespace {

struct Apartment {
  Apartment() {
    // S_FALSE: already a single-threaded apartment; it still takes one CoUninitialize.
    entered = SUCCEEDED(
        ole32::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
  }
  // Runs as the process ends, on the thread that first asked: the window's.
  ~Apartment() {
    if (entered)
      ole32::CoUninitialize();
  }
  Apartment(const Apartment&) = delete;
  Apartment& operator=(const Apartment&) = delete;

  bool entered = false;
};

const Apartment& TheApartment() {
  static const Apartment apartment;
  return apartment;
}

}  // namespace

bool EnterSingleThreadedApartment() {
  return TheApartment().entered;
}

HRESULT CreateInProcess(REFCLSID server, REFIID id, void** object) {
  if (!TheApartment().entered)
    return CO_E_NOTINITIALIZED;
  return ole32::CoCreateInstance(server, nullptr, CLSCTX_INPROC_SERVER, id, object);
}

}  // namespace zolv::win32
