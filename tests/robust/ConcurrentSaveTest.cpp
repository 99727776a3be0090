// Two launchers saving different choices into the same settings file at once, through the real
// file adapter, while a third program keeps reading the file, on a machine kept busy. Each waits
// out the others' saves: no save and no read is refused, every read finds one of the complete
// texts, and the races are seen to have happened.
#include <gtest/gtest.h>
#include <windows.h>

#include <iostream>
#include <string>

#include "SaveWriter.h"
#include "platform/Files.h"
#include "platform/win32/system/Wide.h"
#include "tests/support/BusyLoops.h"

namespace zolv::robust {
namespace {

using win32::UniqueHandleObject;

constexpr int kRounds = 200;

std::string CompleteText(const String& choice) {
  return "[Misc]\r\nDefaultBrowser=" + Narrow(choice) + "\r\n\r\n";
}

void Print(const char* who, const WriterReport& report) {
  std::cout << "[          ] " << who << ": " << report.saves << " saves ("
            << report.savesMeetingASave << " met another's), " << report.reads << " reads ("
            << report.readsMeetingASave << " met a save)\n";
}

TEST(ConcurrentSaveTest, TwoLaunchersAndAReaderWaitEachOtherOutAndTheFileStaysWhole) {
  const String folder = MakeTempFolder(u"concurrent");
  const String settings = SettingsFileIn(folder);
  const String choices[] = {u"chrome.exe", u"firefox.exe"};
  ASSERT_TRUE(tests::WriteBytes(settings, CompleteText(choices[0])));
  const tests::BusyLoops load(2);

  UniqueHandleObject writers[2];
  for (int i = 0; i < 2; ++i) {
    writers[i] = StartWriter(
        {folder, {choices[i]}, kRounds, u"", folder + u"writer" + Decimal(i) + u".report", 20});
    ASSERT_TRUE(writers[i]);
  }
  // Reads as a third program would, until both writers are done.
  const HANDLE handles[] = {writers[0].get(), writers[1].get()};
  const ULONGLONG deadline = ::GetTickCount64() + 240000;
  int reads = 0, readsMeetingASave = 0, broken = 0;
  std::vector<String> refusals;
  while (::WaitForMultipleObjects(2, handles, TRUE, 0) == WAIT_TIMEOUT &&
         ::GetTickCount64() < deadline) {
    const bool saving = tests::SaveHolds(settings);
    std::string text;
    String error;
    if (!files::ReadWhole(settings, text, error)) {
      refusals.push_back(error);
    } else {
      ++reads;
      readsMeetingASave += saving;
      broken += text != CompleteText(choices[0]) && text != CompleteText(choices[1]);
    }
    ::Sleep(1);
  }
  ASSERT_EQ(::WaitForMultipleObjects(2, handles, TRUE, 10000), WAIT_OBJECT_0)
      << "the writers did not finish in time";
  std::cout << "[          ] reader: " << reads << " reads (" << readsMeetingASave
            << " met a save)\n";
  EXPECT_EQ(broken, 0) << "reads that found the file neither old nor new";
  for (const String& refusal : refusals)
    ADD_FAILURE() << "read refused: " << Narrow(refusal);

  int savesMeetingASave = 0;
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE("writer " + std::to_string(i));
    DWORD code = 1;
    ASSERT_TRUE(::GetExitCodeProcess(writers[i].get(), &code));
    EXPECT_EQ(code, 0u);
    bool found = false;
    const WriterReport report = ReadReport(folder + u"writer" + Decimal(i) + u".report", found);
    ASSERT_TRUE(found);
    Print(i == 0 ? "writer chrome" : "writer firefox", report);
    EXPECT_EQ(report.saves, kRounds);
    EXPECT_EQ(report.reads, kRounds);
    EXPECT_EQ(report.wrongValues, 0);
    for (const String& text : report.systemTexts)
      ADD_FAILURE() << "refused: " << Narrow(text);
    for (const String& message : report.otherErrors)
      ADD_FAILURE() << "unexpected error: " << Narrow(message);
    savesMeetingASave += report.savesMeetingASave;
    readsMeetingASave += report.readsMeetingASave;
  }
  EXPECT_GT(savesMeetingASave, 0) << "no save met another's: the race did not happen";
  EXPECT_GT(readsMeetingASave, 0) << "no read met a save: the race did not happen";
  const std::string text = tests::ReadBytes(settings).value_or("<cannot open>");
  EXPECT_TRUE(text == CompleteText(choices[0]) || text == CompleteText(choices[1])) << text;
  RemoveFolder(folder);
}

}  // namespace
}  // namespace zolv::robust
