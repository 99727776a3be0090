// The window on a screen set to 120 dots per inch: every designed size grows by the ratio of
// the main font's measured text height to the designed 16 pixels.
#include "LauncherTest.h"

namespace zolv::e2e {
namespace {

// The height of "0" in Tahoma at `pixels` high, measured as the launcher measures it.
int ZeroHeight(int pixels) {
  const win32::UniqueScreenDc screen(GetDC(nullptr));
  const win32::UniqueFont font(CreateFontW(
      -pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Tahoma"));
  const HGDIOBJ previous = SelectObject(screen.get(), font.get());
  SIZE size{};
  GetTextExtentPoint32W(screen.get(), L"0", 1, &size);
  SelectObject(screen.get(), previous);
  return size.cy;
}

// Wine reads the resolution once per process as it starts: a launcher started after the
// setting changed sees it, with no restart of the Wine server.
TEST_F(LauncherTest, At120PixelsPerInchEveryDesignedSizeScales) {
  ListBrowsers({L"Internet Explorer", L"Google Chrome", L"Mozilla Firefox"});
  WriteSettings(SettingsHolding("firefox.exe"));
  const ScopedPixelsPerInch resolution(120);
  // The main font grows from 13 to 16 pixels; its "0" is then higher than the designed 16.
  const int measured = ZeroHeight(MulDiv(13, 120, 96));
  ASSERT_GT(measured, 16);
  const auto scaled = [measured](int value) { return MulDiv(value, measured, 16); };
  const MainWindow w = StartAndFindWindow();

  const Box client = ClientBox(w.form);
  EXPECT_EQ(client.width, scaled(303));
  EXPECT_EQ(OuterBox(w.form).height, 2 * scaled(40) + scaled(10) + 3 * scaled(40) + scaled(10));
  EXPECT_EQ(BoxIn(w.panel2, w.form),
            (Box{0, client.height - scaled(58), client.width, scaled(58)}));
  for (Row row : {kIE, kChrome, kFirefox}) {
    EXPECT_EQ(BoxIn(w.browsers[row], w.panel1),
              (Box{scaled(17), scaled(10) + row * scaled(40), scaled(266), scaled(34)}))
        << row;
    const LOGFONTW font = FontOf(w.browsers[row]);
    EXPECT_EQ(font.lfHeight, -scaled(15)) << row;
    EXPECT_EQ(IsBold(font), row == kFirefox) << row;
  }
  EXPECT_EQ(BoxIn(w.access, w.panel2), (Box{scaled(17), scaled(8), scaled(266), scaled(41)}));
  EXPECT_EQ(FontOf(w.access).lfHeight, -scaled(15));

  SaveScreenshot(w.form, L"120ppi");
}

}  // namespace
}  // namespace zolv::e2e
