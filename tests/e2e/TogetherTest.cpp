// Launchers started together, as a shortcut double-clicked twice starts them: each reads the
// settings file at start-up while the others save it.
#include <deque>

#include "LauncherTest.h"
#include "tests/support/BusyLoops.h"

namespace zolv::e2e {
namespace {

// No choice is stored yet, so every start saves the empty one, and the reads of the later
// starts meet the saves of the earlier ones. Held until all are made, the launchers start at
// the same moment; two busy threads stretch every start-up and save, so the reads and saves
// meet in every round. Each launcher shows its window and no error box, the file stays whole,
// and a choice made afterwards is saved.
TEST_F(LauncherTest, LaunchersStartedTogetherEachShowTheirWindowAndNoError) {
  constexpr int kRounds = 8;
  constexpr int kLaunchers = 4;
  ListBrowsers({L"Google Chrome", L"Mozilla Firefox"});
  const tests::BusyLoops load(2);
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    RemoveSettings();
    std::deque<Launcher> launchers;
    for (int i = 0; i < kLaunchers; ++i)
      launchers.emplace_back(LauncherPath(), TestFolder(), Launcher::Begin::kHeld);
    for (Launcher& launcher : launchers)
      launcher.Resume();

    std::vector<MainWindow> windows;
    for (Launcher& launcher : launchers) {
      // A start-up error shows its box before the window, which waits for the box's OK.
      HWND box = nullptr;
      ASSERT_TRUE(WaitUntil([&] {
        box = launcher.FindTopLevel(L"#32770", kErrorBoxCaption);
        return box || launcher.FindTopLevel(L"", kMainCaption);
      }));
      ASSERT_EQ(box, nullptr) << MessageText(box);
      windows.push_back(FindControls(launcher.WaitForMainWindow()));
    }
    EXPECT_EQ(ReadBytes(SettingsFile()), SettingsHolding(""));

    const HWND chrome = windows.back().browsers[kChrome];
    Click(chrome);
    ASSERT_TRUE(WaitUntil([&] {
      const std::optional<LOGFONTW> font = launchers.back().Font(chrome);
      return font && IsBold(*font);
    }));
    EXPECT_EQ(ReadBytes(SettingsFile()), SettingsHolding("chrome.exe"));
  }
}

}  // namespace
}  // namespace zolv::e2e
