#include "platform/win32/ComApartment.h"

#include <windows.h>

#include <objbase.h>

#include "platform/win32/SystemLibrary.h"

namespace zolv::win32 {

namespace {

struct Apartment {
  Apartment() {
    auto initialise = ole32.Find<decltype(::CoInitializeEx)>("CoInitializeEx");
    uninitialise = ole32.Find<decltype(::CoUninitialize)>("CoUninitialize");
    create = ole32.Find<decltype(::CoCreateInstance)>("CoCreateInstance");
    if (!initialise || !uninitialise)
      return;
    // S_FALSE: already a single-threaded apartment; it still takes one CoUninitialize.
    HRESULT result = initialise(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    entered = SUCCEEDED(result);
  }
  // Runs as the process ends, on the thread that first asked: the window's.
  ~Apartment() {
    if (entered)
      uninitialise();
  }
  Apartment(const Apartment&) = delete;
  Apartment& operator=(const Apartment&) = delete;

  SystemLibrary ole32{L"ole32.dll"};
  decltype(::CoUninitialize)* uninitialise = nullptr;
  decltype(::CoCreateInstance)* create = nullptr;
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
  const Apartment& apartment = TheApartment();
  if (!apartment.entered || !apartment.create)
    return CO_E_NOTINITIALIZED;
  return apartment.create(server, nullptr, CLSCTX_INPROC_SERVER, id, object);
}

}  // namespace zolv::win32
