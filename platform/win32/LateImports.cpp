#include "platform/win32/LateImports.h"

#include <shellapi.h>
#include <shlobj.h>

#include "platform/win32/SystemLibrary.h"

namespace zolv::win32 {

namespace {

struct CommonControls {
  SystemLibrary library{L"comctl32.dll"};
  decltype(::InitCommonControlsEx)* init =
      library.Find<decltype(::InitCommonControlsEx)>("InitCommonControlsEx");
  decltype(::ImageList_Create)* create =
      library.Find<decltype(::ImageList_Create)>("ImageList_Create");
  decltype(::ImageList_AddMasked)* addMasked =
      library.Find<decltype(::ImageList_AddMasked)>("ImageList_AddMasked");
  decltype(::ImageList_Draw)* draw = library.Find<decltype(::ImageList_Draw)>("ImageList_Draw");
  decltype(::ImageList_Destroy)* destroy =
      library.Find<decltype(::ImageList_Destroy)>("ImageList_Destroy");
};

struct Shell {
  SystemLibrary library{L"shell32.dll"};
  decltype(::SHGetFolderPathW)* folderPath =
      library.Find<decltype(::SHGetFolderPathW)>("SHGetFolderPathW");
  decltype(::ShellExecuteW)* execute = library.Find<decltype(::ShellExecuteW)>("ShellExecuteW");
};

const CommonControls& Comctl32() {
  static const CommonControls functions;
  return functions;
}

const Shell& Shell32() {
  static const Shell functions;
  return functions;
}

}  // namespace

namespace comctl32 {

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* classes) {
  auto init = Comctl32().init;
  return init ? init(classes) : FALSE;
}

HIMAGELIST ImageList_Create(int width, int height, UINT flags, int initial, int grow) {
  auto create = Comctl32().create;
  return create ? create(width, height, flags, initial, grow) : nullptr;
}

int ImageList_AddMasked(HIMAGELIST list, HBITMAP bitmap, COLORREF mask) {
  auto addMasked = Comctl32().addMasked;
  return addMasked ? addMasked(list, bitmap, mask) : -1;
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style) {
  auto draw = Comctl32().draw;
  return draw ? draw(list, index, dc, x, y, style) : FALSE;
}

BOOL ImageList_Destroy(HIMAGELIST list) {
  auto destroy = Comctl32().destroy;
  return destroy ? destroy(list) : FALSE;
}

}  // namespace comctl32

namespace shell32 {

HRESULT SHGetFolderPathW(HWND owner, int csidl, HANDLE token, DWORD flags, LPWSTR path) {
  auto folderPath = Shell32().folderPath;
  return folderPath ? folderPath(owner, csidl, token, flags, path) : E_NOTIMPL;
}

HINSTANCE ShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                        LPCWSTR directory, INT showCommand) {
  auto execute = Shell32().execute;
  // SE_ERR_DLLNOTFOUND, as the shell reports a missing DLL.
  return execute ? execute(owner, verb, file, parameters, directory, showCommand)
                 : reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_DLLNOTFOUND));
}

}  // namespace shell32

}  // namespace zolv::win32
