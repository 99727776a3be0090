// What a screen reader learns of the window, asked as one asks: Active Accessibility from
// another process. Bold is not reported, so the chosen browser's button is described as such;
// the working notice is announced though the focus left its button.
#include <objbase.h>

#include <oleacc.h>

#include "LauncherTest.h"

namespace zolv::e2e {
namespace {

constexpr wchar_t kChosen[] = L"Navegador elegido";
constexpr DWORD kLiveRegionChanged = 0x8019;  // EVENT_OBJECT_LIVEREGIONCHANGED

// This thread in a single-threaded apartment, as a screen reader's.
struct Apartment {
  Apartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  ~Apartment() { CoUninitialize(); }
};

struct ButtonReading {
  std::wstring name;
  std::wstring description;
};

std::wstring Take(BSTR text) {
  std::wstring taken = text ? text : L"";
  SysFreeString(text);
  return taken;
}

ButtonReading Read(HWND button) {
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(button, static_cast<DWORD>(OBJID_CLIENT),
                                        __uuidof(IAccessible), reinterpret_cast<void**>(&object))))
    throw std::runtime_error("the button has no accessible object");
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  BSTR description = nullptr;
  object->get_accName(self, &name);
  object->get_accDescription(self, &description);
  object->Release();
  return {Take(name), Take(description)};
}

HWND announced = nullptr;

void CALLBACK RecordAnnouncement(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD,
                                 DWORD) {
  if (object == OBJID_CLIENT && child == CHILDID_SELF)
    announced = window;
}

// Out-of-context events arrive as this thread's messages.
void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    DispatchMessageW(&message);
}

TEST_F(LauncherTest, AScreenReaderHearsWhichBrowserIsChosen) {
  const Apartment apartment;
  ListBrowsers({L"Google Chrome", L"Mozilla Firefox"});
  WriteSettings(SettingsHolding("chrome.exe"));
  const MainWindow w = StartAndFindWindow();

  const ButtonReading chrome = Read(w.browsers[kChrome]);
  EXPECT_EQ(chrome.name, L"Usar Google Chrome");
  EXPECT_EQ(chrome.description, kChosen);
  EXPECT_EQ(Read(w.browsers[kFirefox]).description, L"");

  Click(w.browsers[kFirefox]);
  EXPECT_EQ(Read(w.browsers[kFirefox]).description, kChosen);
  EXPECT_EQ(Read(w.browsers[kChrome]).description, L"");
}

TEST_F(LauncherTest, TheWorkingNoticeIsAnnouncedAsTheFocusLeavesTheAccessButton) {
  const Apartment apartment;
  WriteBytes(SiteFile(), "[Site]\r\nHost=zolv.example.com\r\nClientId=42\r\n");
  ListBrowsers({L"Google Chrome"});
  WriteSettings(SettingsHolding("chrome.exe"));
  const MainWindow w = StartAndFindWindow();
  Read(w.access);  // a screen reader has looked at the window
  announced = nullptr;
  const HWINEVENTHOOK hook =
      SetWinEventHook(kLiveRegionChanged, kLiveRegionChanged, nullptr, RecordAnnouncement,
                      GetProcessId(launcher().Process()), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);

  Click(w.access, 20000);
  const bool heard = WaitUntil([] {
    PumpMessages();
    return announced != nullptr;
  });
  UnhookWinEvent(hook);
  ASSERT_TRUE(heard);
  EXPECT_EQ(announced, w.access);
  EXPECT_EQ(Read(w.access).name, kOpeningCaption);
  EXPECT_NE(Launcher::Focus(w.form), w.access);
}

}  // namespace
}  // namespace zolv::e2e
