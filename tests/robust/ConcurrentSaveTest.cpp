// Two launchers saving different choices into the same settings file at once, through the real
// file adapter, while a third program keeps reading the file. The file must always be one of
// the complete texts; the only errors the launchers may see are the sharing refusals: "Cannot
// create file" when saving and "Cannot open file" when reading. A refused save is made again in
// a turn of its own (TurnGate), so every save lands however the three are scheduled.
#include <gtest/gtest.h>
#include <windows.h>

#include <iostream>
#include <string>

#include "SaveWriter.h"
#include "platform/win32/Wide.h"

namespace zolv::robust {
namespace {

using win32::UniqueHandleObject;

constexpr int kRounds = 200;

std::string CompleteText(const String& choice) {
  return "[Misc]\r\nDefaultBrowser=" + Narrow(choice) + "\r\n\r\n";
}

void Print(const char* who, const WriterReport& report) {
  std::cout << "[          ] " << who << ": " << report.saves << " saves, " << report.reads
            << " reads, " << report.createErrors << " \"Cannot create file\", " << report.openErrors
            << " \"Cannot open file\"\n";
  for (const String& text : report.systemTexts)
    std::cout << "[          ]   system text: " << Narrow(text) << "\n";
}

TEST(ConcurrentSaveTest, TwoLaunchersSeeOnlySharingRefusalsAndTheFileStaysWhole) {
  const String folder = MakeTempFolder(u"concurrent");
  const String settings = SettingsFileIn(folder);
  const String choices[] = {u"chrome.exe", u"firefox.exe"};
  ASSERT_TRUE(WriteFileBytes(settings, CompleteText(choices[0])));
  const String gateName = Numbered(u"Local\\zolv-concurrent-save-", ::GetCurrentProcessId());
  const TurnGate gate(gateName);
  ASSERT_TRUE(gate);

  UniqueHandleObject writers[2];
  for (int i = 0; i < 2; ++i) {
    writers[i] = StartWriter({folder,
                              {choices[i]},
                              kRounds,
                              u"",
                              folder + u"writer" + Decimal(i) + u".report",
                              gateName});
    ASSERT_TRUE(writers[i]);
  }
  // Reads as a third program would, until both writers are done.
  const HANDLE handles[] = {writers[0].get(), writers[1].get()};
  const ULONGLONG deadline = ::GetTickCount64() + 240000;
  int reads = 0, refused = 0, broken = 0;
  while (::WaitForMultipleObjects(2, handles, TRUE, 0) == WAIT_TIMEOUT &&
         ::GetTickCount64() < deadline) {
    ASSERT_TRUE(gate.Pass()) << "a writer kept its turn";
    std::string text;
    if (!ReadFileBytes(settings, text)) {
      ++refused;
    } else {
      ++reads;
      broken += text != CompleteText(choices[0]) && text != CompleteText(choices[1]);
    }
    ::Sleep(1);
  }
  ASSERT_EQ(::WaitForMultipleObjects(2, handles, TRUE, 10000), WAIT_OBJECT_0)
      << "the writers did not finish in time";
  std::cout << "[          ] reader: " << reads << " reads, " << refused << " refused\n";
  EXPECT_EQ(broken, 0) << "reads that found the file neither old nor new";

  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE("writer " + std::to_string(i));
    DWORD code = 1;
    ASSERT_TRUE(::GetExitCodeProcess(writers[i].get(), &code));
    EXPECT_EQ(code, 0u);
    bool found = false;
    const WriterReport report = ReadReport(folder + u"writer" + Decimal(i) + u".report", found);
    ASSERT_TRUE(found);
    Print(i == 0 ? "writer chrome" : "writer firefox", report);
    // Each round saves once, in a turn if need be, and reads once, which may be refused.
    EXPECT_EQ(report.saves, kRounds);
    EXPECT_EQ(report.failedTurns, 0);
    EXPECT_LE(report.reads, kRounds);
    EXPECT_EQ(report.wrongValues, 0);
    for (const String& message : report.otherErrors)
      ADD_FAILURE() << "unexpected error: " << Narrow(message);
  }
  std::string text;
  ASSERT_TRUE(ReadFileBytes(settings, text));
  EXPECT_TRUE(text == CompleteText(choices[0]) || text == CompleteText(choices[1])) << text;
  RemoveFolder(folder);
}

}  // namespace
}  // namespace zolv::robust
