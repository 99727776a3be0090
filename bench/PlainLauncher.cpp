// PlainLauncher: the start-up floor that pays for everything the launcher's start-up needs,
// done the plainest way: straight Win32 calls in one function, no toolkit, no exceptions, no
// containers. It makes the data folder, reads the settings file whole and writes it back for
// each installed browser that matches the remembered one (as the launcher's choice does),
// reads the browser list from the registry, measures the design scale on "0", and shows the
// launcher's window titled "Plain Launcher": icon, two bevelled panels, the five browser
// buttons with their fonts and pictures (the remembered one bold, the installed ones stacked
// in registry order, the others hidden), the access button, the height fitted, centred. It
// does nothing on a click; closing the window ends it.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <cwchar>

#include "assets/ResourceIds.h"

namespace {

// The launcher's design (assets/Design.h), at 96 dots per inch and a 16-pixel "0".
constexpr int kTextHeight = 16;
constexpr int kClientWidth = 303;
constexpr int kClientHeight = 272;
constexpr int kMainFontHeight = 13;
constexpr int kPanel2Height = 58;
constexpr RECT kBrowserButton{17, 15, 266, 34};  // left, top, width, height; 40 apart
constexpr int kBrowserSpacing = 40;
constexpr int kFontHeight = 15;
constexpr RECT kAccessButton{17, 8, 266, 41};
constexpr int kPictureSize = 24;
constexpr int kStackTop = 10;
constexpr int kStackOffset = 40;
constexpr int kStackBottomMargin = 10;
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_BORDER | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
constexpr DWORD kChildStyle = WS_CHILD | WS_CLIPSIBLINGS;

struct Browser {
  const wchar_t* keyword;
  const wchar_t* caption;
  const char* executable;
  int picture;
};

constexpr Browser kBrowsers[] = {
    {L"explore", L"Usar Internet Explorer", "iexplore.exe", ZOLV_PICTURE_IE},
    {L"chrome", L"Usar Google Chrome", "chrome.exe", ZOLV_PICTURE_CHROME},
    {L"firefox", L"Usar Mozilla Firefox", "firefox.exe", ZOLV_PICTURE_FIREFOX},
    {L"safari", L"Usar Safari", "safari.exe", ZOLV_PICTURE_SAFARI},
    {L"opera", L"Usar Opera", "opera.exe", ZOLV_PICTURE_OPERA},
};
constexpr int kBrowserCount = 5;
constexpr int kMostShown = 40;  // places in the stack; a registry entry may match several rows

void DrawBevel(HWND panel, HDC dc) {
  RECT client;
  GetClientRect(panel, &client);
  DrawEdge(dc, &client, BDR_RAISEDINNER, BF_RECT);
}

LRESULT CALLBACK PanelProcedure(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    DrawBevel(panel, BeginPaint(panel, &paint));
    EndPaint(panel, &paint);
    return 0;
  }
  if (message == WM_PRINTCLIENT) {
    DrawBevel(panel, reinterpret_cast<HDC>(wParam));
    return 0;
  }
  return DefWindowProcW(panel, message, wParam, lParam);
}

LRESULT CALLBACK FormProcedure(HWND form, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(form, message, wParam, lParam);
}

HFONT MakeFont(const wchar_t* name, int height, LONG weight, BYTE charset) {
  LOGFONTW font{};
  font.lfHeight = -height;
  font.lfWeight = weight;
  font.lfCharSet = charset;
  lstrcpynW(font.lfFaceName, name, LF_FACESIZE);
  return CreateFontIndirectW(&font);
}

HWND MakeChild(const wchar_t* windowClass, const wchar_t* text, DWORD style, DWORD exStyle,
               int left, int top, int width, int height, HWND parent, HFONT font) {
  HWND child = CreateWindowExW(exStyle, windowClass, text, kChildStyle | style, left, top, width,
                               height, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (child)
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  // The data folder, and the settings file in it read whole.
  wchar_t path[MAX_PATH + 32];
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)))
    return 1;
  lstrcatW(path, L"\\ZOLV");
  CreateDirectoryW(path, nullptr);
  lstrcatW(path, L"\\ZOLVWeb.ini");
  char settings[4096] = {};
  DWORD settingsSize = 0;
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    ReadFile(file, settings, sizeof settings - 1, &settingsSize, nullptr);
    CloseHandle(file);
  }
  wchar_t remembered[64] = {};
  if (const char* value = std::strstr(settings, "DefaultBrowser=")) {
    value += std::strlen("DefaultBrowser=");
    const int length = static_cast<int>(std::strcspn(value, "\r\n"));
    MultiByteToWideChar(CP_ACP, 0, value, length, remembered, 63);
  }

  // The browser list: each subkey's default value, in registry order, matched to the buttons.
  int order[kMostShown];
  int shown = 0;
  int listed = 0;
  int chosen = -1;
  HKEY root;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Clients\\StartMenuInternet", 0, KEY_READ,
                    &root) == ERROR_SUCCESS) {
    wchar_t subkey[256];
    for (DWORD index = 0;; ++index) {
      DWORD length = 256;
      if (RegEnumKeyExW(root, index, subkey, &length, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS)
        break;
      wchar_t name[256] = {};
      DWORD size = sizeof name - sizeof(wchar_t);
      if (RegGetValueW(root, subkey, nullptr, RRF_RT_REG_SZ, nullptr, name, &size) != ERROR_SUCCESS)
        continue;
      if (!name[0])
        continue;
      ++listed;
      CharLowerW(name);
      for (int row = 0; row < kBrowserCount && shown < kMostShown; ++row) {
        if (!std::wcsstr(name, kBrowsers[row].keyword))
          continue;
        if (std::wcsstr(remembered, kBrowsers[row].keyword))
          chosen = row;
        // Written back whole, as the launcher saves the choice; never a file read only in part.
        if (chosen == row && settingsSize < sizeof settings - 1) {
          file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
          if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, settings, settingsSize, &written, nullptr);
            CloseHandle(file);
          }
        }
        order[shown++] = row;
      }
    }
    RegCloseKey(root);
  }

  // The design scale: the main font's height at this resolution, and its "0" measured.
  HDC screen = GetDC(nullptr);
  const int mainFontHeight = MulDiv(kMainFontHeight, GetDeviceCaps(screen, LOGPIXELSY), 96);
  HFONT mainFont = MakeFont(L"Tahoma", mainFontHeight, FW_NORMAL, DEFAULT_CHARSET);
  HGDIOBJ previous = SelectObject(screen, mainFont);
  SIZE zero{};
  GetTextExtentPoint32W(screen, L"0", 1, &zero);
  SelectObject(screen, previous);
  ReleaseDC(nullptr, screen);
  const int measured = zero.cy > 0 ? zero.cy : kTextHeight;
  auto scale = [measured](int value) { return MulDiv(value, measured, kTextHeight); };

  // The window's height fitted to the buttons shown, and its place centred on the desktop.
  const int stackEnd = scale(kStackTop) + shown * scale(kStackOffset);
  RECT outer{0, 0, scale(kClientWidth), scale(kClientHeight)};
  AdjustWindowRectEx(&outer, kFormStyle, FALSE, kFormExStyle);
  const int outerWidth = outer.right - outer.left;
  int outerHeight = outer.bottom - outer.top;
  if (listed > 0)
    outerHeight = 2 * scale(kStackOffset) + stackEnd + scale(kStackBottomMargin);
  const int clientHeight = outerHeight - (outer.bottom - outer.top) + scale(kClientHeight);
  const int desktopLeft = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int desktopTop = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int left = desktopLeft + (GetSystemMetrics(SM_CXVIRTUALSCREEN) - outerWidth) / 2;
  const int top = desktopTop + (GetSystemMetrics(SM_CYVIRTUALSCREEN) - outerHeight) / 2;

  WNDCLASSEXW formClass{};
  formClass.cbSize = sizeof formClass;
  formClass.style = CS_HREDRAW | CS_VREDRAW;
  formClass.lpfnWndProc = FormProcedure;
  formClass.hInstance = instance;
  formClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(ZOLV_ICON_APP));
  formClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  formClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  formClass.lpszClassName = L"PlainLauncher";
  WNDCLASSEXW panelClass = formClass;
  panelClass.lpfnWndProc = PanelProcedure;
  panelClass.hIcon = nullptr;
  panelClass.lpszClassName = L"PlainPanel";
  if (!RegisterClassExW(&formClass) || !RegisterClassExW(&panelClass))
    return 1;
  HWND form =
      CreateWindowExW(kFormExStyle, L"PlainLauncher", L"Plain Launcher", kFormStyle,
                      desktopLeft > left ? desktopLeft : left, desktopTop > top ? desktopTop : top,
                      outerWidth, outerHeight, nullptr, nullptr, instance, nullptr);
  if (!form)
    return 1;
  SendMessageW(form, WM_SETFONT, reinterpret_cast<WPARAM>(mainFont), FALSE);
  const int width = scale(kClientWidth);
  const int bottomHeight = scale(kPanel2Height);
  HWND panel1 = MakeChild(L"PlainPanel", L"", WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, 0,
                          0, width, clientHeight - bottomHeight, form, mainFont);
  HWND panel2 = MakeChild(L"PlainPanel", L"", WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, 0,
                          clientHeight - bottomHeight, width, bottomHeight, form, mainFont);
  if (!panel1 || !panel2)
    return 1;

  // The browser buttons: the installed ones stacked in registry order, the others hidden.
  HFONT browserFont = MakeFont(L"Tahoma", scale(kFontHeight), FW_NORMAL, DEFAULT_CHARSET);
  HFONT chosenFont = MakeFont(L"Tahoma", scale(kFontHeight), FW_BOLD, DEFAULT_CHARSET);
  HWND firstShown = nullptr;
  for (int row = 0; row < kBrowserCount; ++row) {
    int buttonTop = scale(kBrowserButton.top + row * kBrowserSpacing);
    DWORD visible = 0;
    for (int place = 0; place < shown; ++place) {
      if (order[place] == row) {
        buttonTop = scale(kStackTop) + place * scale(kStackOffset);
        visible = WS_VISIBLE;
      }
    }
    HWND button =
        MakeChild(WC_BUTTONW, kBrowsers[row].caption, BS_PUSHBUTTON | WS_TABSTOP | visible, 0,
                  scale(kBrowserButton.left), buttonTop, scale(kBrowserButton.right),
                  scale(kBrowserButton.bottom), panel1, row == chosen ? chosenFont : browserFont);
    if (!button)
      return 1;
    // The picture at the caption's left, its background (the bottom-left pixel's colour, as
    // the launcher takes it) transparent. The image list lives as long as the process.
    HBITMAP bitmap =
        static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(kBrowsers[row].picture),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    HDC memory = CreateCompatibleDC(nullptr);
    SelectObject(memory, bitmap);
    const COLORREF background = GetPixel(memory, 0, kPictureSize - 1);
    DeleteDC(memory);
    BUTTON_IMAGELIST picture{};
    picture.himl = ImageList_Create(kPictureSize, kPictureSize, ILC_COLOR24 | ILC_MASK, 1, 0);
    ImageList_AddMasked(picture.himl, bitmap, background);
    DeleteObject(bitmap);
    picture.uAlign = BUTTON_IMAGELIST_ALIGN_LEFT;
    SendMessageW(button, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&picture));
    // The first tab stop, which the launcher focuses.
    if (visible && !firstShown)
      firstShown = button;
  }
  HFONT accessFont = MakeFont(L"Arial", scale(kFontHeight), FW_NORMAL, ANSI_CHARSET);
  HWND access =
      MakeChild(WC_BUTTONW, L"Acceder ZOLV Online", WS_VISIBLE | BS_PUSHBUTTON | WS_TABSTOP, 0,
                scale(kAccessButton.left), scale(kAccessButton.top), scale(kAccessButton.right),
                scale(kAccessButton.bottom), panel2, accessFont);
  if (!access)
    return 1;

  ShowWindow(form, show);
  SetFocus(firstShown ? firstShown : access);
  UpdateWindow(form);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(form, &message))
      continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
