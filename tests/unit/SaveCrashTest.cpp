// Saves killed at random points: a child process saves the choice over and over and is killed
// with SIGKILL after a random delay. Whenever it dies, the settings file must be one of the
// complete texts, and the temporary files that killed saves leave behind must not stop the
// next save.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <string>
#include <thread>

#include "UComun.h"
#include "UFPrincipal.h"
#include "platform/host/HostFiles.h"

namespace zolv {
namespace {

namespace fs = std::filesystem;

// With the Windows suite's rounds, over 500 saves killed in all.
constexpr int kRounds = 400;
constexpr StringView kChoices[] = {u"chrome.exe", u"firefox.exe"};

// Sections beside the choice make each save long enough for kills to land inside it.
std::string OtherSections() {
  std::string text;
  for (int i = 0; i < 20; ++i)
    text += "[Section" + std::to_string(i) + "]\r\nPath=C:\\Program Files\\App\\app.exe\r\n\r\n";
  return text;
}

std::string CompleteText(StringView choice) {
  return OtherSections() + "[Misc]\r\nDefaultBrowser=" + std::string(choice.begin(), choice.end()) +
         "\r\n\r\n";
}

std::string Contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

int TemporaryFiles(const fs::path& folder) {
  int count = 0;
  for (const auto& entry : fs::directory_iterator(folder))
    count += entry.path().extension() == ".tmp";
  return count;
}

class SaveCrashTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A killed process loses nothing the kernel already holds, so flushing to disk is not what
    // is tested here; a memory file system keeps the rounds short.
    const fs::path base = fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path();
    std::string folder = (base / "zolv-crash-XXXXXX").string();
    ASSERT_NE(::mkdtemp(folder.data()), nullptr);
    root_ = folder;
    ::setenv("XDG_DATA_HOME", folder.c_str(), 1);
    files::host::SetModuleFileName(u"C:\\Program Files\\ZOLV\\ZOLVWeb.exe");
    PrepareDataFolder();
    settings_ = root_ / "ZOLV" / "ZOLVWeb.ini";
    std::ofstream(settings_, std::ios::binary) << CompleteText(kChoices[0]);
  }

  void TearDown() override {
    files::host::Reset();
    fs::remove_all(root_);
  }

  // Forks a child that alternates the choices until it is killed, and waits until it has
  // saved once, so that the kill lands in its loop of saves. An error ends the child early
  // with a status of its own.
  static pid_t StartWriter() {
    int ready[2];
    if (::pipe(ready) != 0)
      return -1;
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(ready[0]);
      for (unsigned n = 0;; ++n) {
        try {
          if (SetIni(u"Misc", u"DefaultBrowser", kChoices[n % 2]) != kChoices[n % 2])
            ::_exit(3);
        } catch (...) {
          ::_exit(2);
        }
        if (n == 0 && (::write(ready[1], "r", 1) != 1 || ::close(ready[1]) != 0))
          ::_exit(4);
      }
    }
    ::close(ready[1]);
    pollfd wait{ready[0], POLLIN, 0};
    ::poll(&wait, 1, 10000);
    ::close(ready[0]);
    return child;
  }

  fs::path root_;
  fs::path settings_;
};

TEST_F(SaveCrashTest, KilledSavesLeaveTheOldOrTheNewCompleteFile) {
  const std::string complete[] = {CompleteText(kChoices[0]), CompleteText(kChoices[1])};
  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> delayUs(0, 2000);
  int roundsWithTemporaryLeft = 0;
  for (int round = 0; round < kRounds; ++round) {
    const int temporaryBefore = TemporaryFiles(settings_.parent_path());
    const pid_t writer = StartWriter();
    ASSERT_GT(writer, 0);
    std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
    ASSERT_EQ(::kill(writer, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(writer, &status, 0), writer);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed on its own, status " << status;
    const std::string text = Contents(settings_);
    ASSERT_TRUE(text == complete[0] || text == complete[1])
        << "round " << round << ": " << text.size() << " bytes";
    roundsWithTemporaryLeft += TemporaryFiles(settings_.parent_path()) > temporaryBefore;
  }
  // Proof that kills landed inside saves, between the temporary file's creation and its move.
  EXPECT_GT(roundsWithTemporaryLeft, 0);
  std::cout << "[          ] " << roundsWithTemporaryLeft << " of " << kRounds
            << " kills left a temporary file behind\n";

  // Saves go on past every leftover, also one that has the very name the next save would use.
  std::ofstream(settings_.string() + "." + std::to_string(::getpid()) + "-0.tmp") << "stale";
  EXPECT_EQ(SetIni(u"Misc", u"DefaultBrowser", u"opera.exe"), u"opera.exe");
  EXPECT_EQ(Contents(settings_), CompleteText(u"opera.exe"));
}

}  // namespace
}  // namespace zolv
