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
  bool entered = false;
};

}  // namespace

bool EnterSingleThreadedApartment() {
  static const Apartment apartment;
  return apartment.entered;
}

}  // namespace zolv::win32
