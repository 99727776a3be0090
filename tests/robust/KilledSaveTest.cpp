// Saves killed at random points on the real file system: a writer process saves the choice
// over and over and is ended with TerminateProcess after a random delay. Whenever it dies, the
// settings file must be one of the complete texts; the temporary file a killed save leaves
// behind must not stop the next save.
#include <gtest/gtest.h>
#include <windows.h>

#include <iostream>
#include <random>
#include <string>

#include "SaveWriter.h"
#include "UComun.h"
#include "UFPrincipal.h"
#include "platform/win32/system/Wide.h"

namespace zolv::robust {
namespace {

using win32::UniqueHandleObject;
using win32::Wide;

// Writers are killed until this many kills have landed inside a save, between its temporary
// file's creation and the rename, which is the race the test is about; the bound on rounds only
// ends a run that has gone wrong.
constexpr int kKillsInsideASave = 30;
constexpr int kMostRounds = 1000;
constexpr DWORD kKilled = 99;
const std::vector<String> kChoices = {u"chrome.exe", u"firefox.exe"};

// Sections beside the choice make each save long enough for kills to land inside it.
std::string CompleteText(const String& choice) {
  std::string text;
  for (int i = 0; i < 20; ++i)
    text += "[Section" + std::to_string(i) + "]\r\nPath=C:\\Program Files\\App\\app.exe\r\n\r\n";
  return text + "[Misc]\r\nDefaultBrowser=" + Narrow(choice) + "\r\n\r\n";
}

bool Exists(const String& path) {
  return ::GetFileAttributesW(Wide(path)) != INVALID_FILE_ATTRIBUTES;
}

// Busy-waits, since Sleep cannot wait less than a millisecond.
void WaitMicroseconds(int microseconds) {
  LARGE_INTEGER frequency, start, now;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&start);
  do {
    ::QueryPerformanceCounter(&now);
  } while ((now.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart < microseconds);
}

class KilledSaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = MakeTempFolder(u"killed");
    settings_ = SettingsFileIn(folder_);
    ASSERT_TRUE(tests::WriteBytes(settings_, CompleteText(kChoices[0])));
  }
  void TearDown() override { RemoveFolder(folder_); }

  String folder_;
  String settings_;
};

TEST_F(KilledSaveTest, KilledSavesLeaveTheOldOrTheNewCompleteFile) {
  const std::string complete[] = {CompleteText(kChoices[0]), CompleteText(kChoices[1])};
  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> delayUs(0, 5000);
  const String temporary = TemporaryFileOf(settings_);
  int killsLeavingTemporary = 0, round = 0;
  for (; killsLeavingTemporary < kKillsInsideASave && round < kMostRounds; ++round) {
    const String readyName = Numbered(u"Local\\zolv-killed-save-", ::GetCurrentProcessId());
    UniqueHandleObject ready(::CreateEventW(nullptr, TRUE, FALSE, Wide(readyName)));
    ASSERT_TRUE(ready);
    const UniqueHandleObject writer = StartWriter({folder_, kChoices, 0, readyName, u""});
    ASSERT_TRUE(writer) << "round " << round << ": cannot start a writer, error "
                        << ::GetLastError();
    // The kill lands in the loop of saves, after the writer has saved once.
    const HANDLE waits[] = {ready.get(), writer.get()};
    ASSERT_EQ(::WaitForMultipleObjects(2, waits, FALSE, 30000), WAIT_OBJECT_0)
        << "the writer ended or hung before its first save";
    WaitMicroseconds(delayUs(random));
    ASSERT_TRUE(::TerminateProcess(writer.get(), kKilled));
    ASSERT_EQ(::WaitForSingleObject(writer.get(), 30000), WAIT_OBJECT_0);
    DWORD code = 0;
    ASSERT_TRUE(::GetExitCodeProcess(writer.get(), &code));
    ASSERT_EQ(code, kKilled) << "the writer failed on its own";
    const std::string text = tests::ReadBytes(settings_).value_or("<cannot open>");
    ASSERT_TRUE(text == complete[0] || text == complete[1])
        << "round " << round << ": " << text.size() << " bytes";
    // The writer has saved since the last kill, which moved any earlier leftover away.
    killsLeavingTemporary += Exists(temporary);
  }
  std::cout << "[          ] " << killsLeavingTemporary << " of " << round
            << " kills left a temporary file behind\n";
  ASSERT_EQ(killsLeavingTemporary, kKillsInsideASave) << "too few kills landed inside a save";

  // A stale temporary file of a killed save is replaced by the next one.
  ASSERT_TRUE(tests::WriteBytes(temporary, "stale"));
  DataPath = folder_;
  EXPECT_EQ(SetIni(u"Misc", u"DefaultBrowser", u"opera.exe"), u"opera.exe");
  EXPECT_EQ(tests::ReadBytes(settings_), CompleteText(u"opera.exe"));
  EXPECT_FALSE(Exists(temporary));
}

}  // namespace
}  // namespace zolv::robust
