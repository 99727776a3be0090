// The file adapter against the real Win32 file system: exact bytes, and replacements that stay
// whole when they fail or race with readers.
#include <gtest/gtest.h>
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>
#include <winioctl.h>

#include <atomic>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

#include "platform/Files.h"
#include "platform/win32/adapters/PassingHold.h"
#include "platform/win32/system/SystemError.h"
#include "platform/win32/system/UniqueHandle.h"
#include "platform/win32/system/Wide.h"
#include "tests/support/FileBytes.h"

namespace zolv {
namespace {

using win32::SystemErrorText;
using win32::UniqueFile;
using win32::Wide;

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH + 1];
    ASSERT_NE(::GetTempPathW(MAX_PATH + 1, temp), 0u);
    const std::string unique = std::to_string(::GetCurrentProcessId()) + "-" +
                               std::to_string(::GetTickCount64()) + "-" +
                               ::testing::UnitTest::GetInstance()->current_test_info()->name();
    folder_ = win32::FromWide(temp) + u"zolv-files-" + String(unique.begin(), unique.end());
    ASSERT_TRUE(::CreateDirectoryW(Wide(folder_), nullptr));
    folder_ += u'\\';
    file_ = folder_ + u"ZOLVWeb.ini";
  }

  void TearDown() override {
    for (const String& name : FolderContents()) {
      const String path = folder_ + name;
      ::SetFileAttributesW(Wide(path), FILE_ATTRIBUTE_NORMAL);
      if (!::DeleteFileW(Wide(path)))
        ::RemoveDirectoryW(Wide(path));
    }
    ::RemoveDirectoryW(Wide(folder_));
  }

  std::vector<String> FolderContents() const {
    std::vector<String> names;
    WIN32_FIND_DATAW found;
    const String pattern = folder_ + u"*";
    HANDLE search = ::FindFirstFileW(Wide(pattern), &found);
    if (search == INVALID_HANDLE_VALUE)
      return names;
    do {
      const String name = win32::FromWide(found.cFileName);
      if (name != u"." && name != u"..")
        names.push_back(name);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
  }

  // Written and read with plain Win32 calls, so the adapter is checked against the system.
  static void WriteRaw(const String& path, std::string_view bytes) {
    ASSERT_TRUE(tests::WriteBytes(path, bytes));
  }

  static std::string ReadRaw(const String& path) {
    return tests::ReadBytes(path).value_or("<cannot open>");
  }

  static UniqueFile Open(const String& path, DWORD access, DWORD share) {
    return UniqueFile(::CreateFileW(Wide(path), access, share, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  }

  String folder_;
  String file_;
};

// What creating a file anew refuses to overwrite.
constexpr DWORD kNotRecreatable =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

std::string SampleBytes(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return bytes;
}

TEST(SystemErrorTextTest, IsTheSystemsMessageWithoutItsLineBreak) {
  wchar_t raw[512];
  const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, ERROR_PATH_NOT_FOUND, 0, raw, 512, nullptr);
  ASSERT_GT(length, 2u);
  String expected(reinterpret_cast<const char16_t*>(raw), length);
  ASSERT_EQ(expected.substr(expected.size() - 2), u"\r\n");
  expected.resize(expected.size() - 2);

  const String text = SystemErrorText(ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(text, expected);
  EXPECT_EQ(text.back(), u'.');
  EXPECT_EQ(SystemErrorText(0x7FFF0001), u"System error 2147418113.");
}

TEST_F(FilesTest, ReadsEveryByteOfSmallEmptyAndLargeFiles) {
  for (const std::string& bytes : {std::string("[Misc]\r\nDefaultBrowser=\xE9\0x\r\n\r\n", 27),
                                   std::string(), SampleBytes(3 * (1 << 20) + 17)}) {
    WriteRaw(file_, bytes);
    std::string read = "stale";
    String error;
    ASSERT_TRUE(files::ReadWhole(file_, read, error)) << win32::Wide(error);
    EXPECT_EQ(read, bytes);
  }
}

TEST_F(FilesTest, ReadOfMissingFileOrFolderGivesTheSystemsText) {
  std::string bytes;
  String error;
  EXPECT_FALSE(files::ReadWhole(file_, bytes, error));
  EXPECT_EQ(error, SystemErrorText(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(files::ReadWhole(folder_ + u"missing\\ZOLVWeb.ini", bytes, error));
  EXPECT_EQ(error, SystemErrorText(ERROR_PATH_NOT_FOUND));
}

// Held for longer than a read waits: the read fails as it always has.
TEST_F(FilesTest, ReadSharesWithReadersOnlyAndFailsWhileTheFileIsHeld) {
  WriteRaw(file_, "old");
  std::string bytes;
  String error;
  {
    UniqueFile reader = Open(file_, GENERIC_READ, FILE_SHARE_READ);
    ASSERT_TRUE(reader);
    EXPECT_TRUE(files::ReadWhole(file_, bytes, error));
    EXPECT_EQ(bytes, "old");
  }
  {
    // What a replacement in progress holds.
    UniqueFile held = Open(file_, GENERIC_READ | GENERIC_WRITE | DELETE, 0);
    ASSERT_TRUE(held);
    EXPECT_FALSE(files::ReadWhole(file_, bytes, error));
    EXPECT_EQ(error, SystemErrorText(ERROR_SHARING_VIOLATION));
  }
  {
    UniqueFile writer = Open(file_, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(writer);
    EXPECT_FALSE(files::ReadWhole(file_, bytes, error));
    EXPECT_EQ(error, SystemErrorText(ERROR_SHARING_VIOLATION));
  }
}

TEST_F(FilesTest, ReplaceCreatesThenReplacesTheWholeFileLeavingNothingElse) {
  String error;
  const std::string first = SampleBytes(5000);
  ASSERT_TRUE(files::ReplaceWhole(file_, first, error)) << Wide(error);
  EXPECT_EQ(ReadRaw(file_), first);

  ASSERT_TRUE(files::ReplaceWhole(file_, "[Misc]\r\n", error)) << Wide(error);
  EXPECT_EQ(ReadRaw(file_), "[Misc]\r\n");

  ASSERT_TRUE(files::ReplaceWhole(file_, "", error)) << Wide(error);
  EXPECT_EQ(ReadRaw(file_), "");
  EXPECT_EQ(FolderContents(), std::vector<String>{u"ZOLVWeb.ini"});
}

// Held for longer than a save waits: the save fails as it always has.
TEST_F(FilesTest, ReplaceFailsWhileAnyoneHasTheFileOpenAndLosesNothing) {
  WriteRaw(file_, "old contents");
  for (const DWORD share : {DWORD{FILE_SHARE_READ}, DWORD{FILE_SHARE_READ | FILE_SHARE_DELETE},
                            DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE}}) {
    SCOPED_TRACE(share);
    UniqueFile reader = Open(file_, GENERIC_READ, share);
    ASSERT_TRUE(reader);
    String error;
    EXPECT_FALSE(files::ReplaceWhole(file_, "new", error));
    EXPECT_EQ(error, SystemErrorText(ERROR_SHARING_VIOLATION));
    reader.reset();
    EXPECT_EQ(ReadRaw(file_), "old contents");
    EXPECT_EQ(FolderContents(), std::vector<String>{u"ZOLVWeb.ini"});
  }
  String error;
  EXPECT_TRUE(files::ReplaceWhole(file_, "new", error)) << Wide(error);
  EXPECT_EQ(ReadRaw(file_), "new");
}

// Reads and saves open the file through OpenWaitingOutHolds. Here each hold ends inside the
// wait, so the open is known to have met it, whatever the scheduler does: a read meeting a save's
// hold, and a save meeting a scanner's handle.
TEST_F(FilesTest, OpeningWaitsOutAHoldThatEnds) {
  WriteRaw(file_, "old");
  constexpr DWORD kSave = GENERIC_READ | GENERIC_WRITE | DELETE;
  struct Meeting {
    DWORD holderAccess, holderShare, access, share;
  };
  for (const Meeting& meeting :
       {Meeting{kSave, 0, GENERIC_READ, FILE_SHARE_READ},
        Meeting{GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, kSave, 0}}) {
    SCOPED_TRACE(meeting.holderShare);
    UniqueFile holder = Open(file_, meeting.holderAccess, meeting.holderShare);
    ASSERT_TRUE(holder);
    int waits = 0;
    const UniqueFile opened = win32::OpenWaitingOutHolds(file_, meeting.access, meeting.share, [&] {
      ++waits;
      holder.reset();
      return true;
    });
    EXPECT_TRUE(opened);
    EXPECT_EQ(waits, 1);
  }

  // Held past the patience: refused with the sharing violation.
  const UniqueFile holder = Open(file_, kSave, 0);
  ASSERT_TRUE(holder);
  int waits = 0;
  EXPECT_FALSE(win32::OpenWaitingOutHolds(file_, GENERIC_READ, FILE_SHARE_READ,
                                          [&] { return ++waits < 3; }));
  EXPECT_EQ(::GetLastError(), DWORD{ERROR_SHARING_VIOLATION});
  EXPECT_EQ(waits, 3);
  // Other refusals are final at once.
  waits = 0;
  EXPECT_FALSE(win32::OpenWaitingOutHolds(folder_ + u"missing.ini", GENERIC_READ, FILE_SHARE_READ,
                                          [&] { return ++waits < 3; }));
  EXPECT_EQ(::GetLastError(), DWORD{ERROR_FILE_NOT_FOUND});
  EXPECT_EQ(waits, 0);
}

std::wstring DaclOf(const String& path) {
  PSECURITY_DESCRIPTOR security = nullptr;
  if (::GetNamedSecurityInfoW(Wide(path), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, nullptr, nullptr, &security) != ERROR_SUCCESS)
    return L"<cannot read>";
  wchar_t* text = nullptr;
  std::wstring dacl = L"<cannot convert>";
  if (::ConvertSecurityDescriptorToStringSecurityDescriptorW(
          security, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr)) {
    dacl = text;
    ::LocalFree(text);
  }
  ::LocalFree(security);
  return dacl;
}

// An administrator lets everyone read and write the file; a save keeps that. Wine maps a
// file's DACL onto its Unix permission bits, so this much shows here. What only Windows shows
// is asked of it alike and checked there by hand: the owner and group, the creation time, the
// not-indexed attribute, encryption and compression. Named streams are not carried over.
TEST_F(FilesTest, ReplaceKeepsTheFilesPermissions) {
  WriteRaw(file_, "old");
  const std::wstring fresh = DaclOf(file_);
  PSECURITY_DESCRIPTOR everyone = nullptr;
  ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(
      L"D:P(A;;0x1301ff;;;WD)", SDDL_REVISION_1, &everyone, nullptr));
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  ASSERT_TRUE(::GetSecurityDescriptorDacl(everyone, &present, &dacl, &defaulted));
  String name = file_;
  const DWORD set = ::SetNamedSecurityInfoW(
      Wide(name), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
      nullptr, nullptr, dacl, nullptr);
  ::LocalFree(everyone);
  ASSERT_EQ(set, DWORD{ERROR_SUCCESS});
  const std::wstring given = DaclOf(file_);
  ASSERT_NE(given, fresh);

  String error;
  ASSERT_TRUE(files::ReplaceWhole(file_, "new", error)) << Wide(error);
  EXPECT_EQ(ReadRaw(file_), "new");
  EXPECT_EQ(DaclOf(file_), given);
  EXPECT_EQ(FolderContents(), std::vector<String>{u"ZOLVWeb.ini"});
}

TEST_F(FilesTest, ReplaceInMissingFolderGivesTheSystemsTextAndCreatesNothing) {
  String error;
  EXPECT_FALSE(files::ReplaceWhole(folder_ + u"ZOLV\\ZOLVWeb.ini", "x", error));
  EXPECT_EQ(error, SystemErrorText(ERROR_PATH_NOT_FOUND));
  EXPECT_TRUE(FolderContents().empty());
}

// A crash leaves the temporary file behind, and a user or a tool may have made it read-only or
// hidden, or put a folder of that name there: none of them stops a save.
TEST_F(FilesTest, StaleTemporaryFilesNeverBlockASave) {
  const String temporary = folder_ + u"~OLVWeb.ini";
  for (const DWORD attributes : {DWORD{FILE_ATTRIBUTE_NORMAL}, DWORD{FILE_ATTRIBUTE_READONLY},
                                 DWORD{FILE_ATTRIBUTE_HIDDEN}, DWORD{FILE_ATTRIBUTE_SYSTEM}}) {
    SCOPED_TRACE(attributes);
    WriteRaw(file_, "old");
    WriteRaw(temporary, SampleBytes(10000));
    ASSERT_TRUE(::SetFileAttributesW(Wide(temporary), attributes));
    String error;
    ASSERT_TRUE(files::ReplaceWhole(file_, "new", error)) << Wide(error);
    EXPECT_EQ(::GetFileAttributesW(Wide(file_)) & kNotRecreatable, 0u);
    EXPECT_EQ(ReadRaw(file_), "new");
    EXPECT_EQ(FolderContents(), std::vector<String>{u"ZOLVWeb.ini"});
  }
  {
    // Held by a scanner: the save takes the next name rather than wait.
    WriteRaw(temporary, "stale");
    UniqueFile scanner = Open(temporary, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(scanner);
    String error;
    ASSERT_TRUE(files::ReplaceWhole(file_, "new", error)) << Wide(error);
    EXPECT_EQ(ReadRaw(file_), "new");
    EXPECT_EQ(ReadRaw(temporary), "stale");
  }
  ASSERT_TRUE(::DeleteFileW(Wide(temporary)));
  ASSERT_TRUE(::CreateDirectoryW(Wide(temporary), nullptr));
  const String inside = temporary + u"\\inside";
  WriteRaw(inside, "kept");
  String error;
  ASSERT_TRUE(files::ReplaceWhole(file_, "newer", error)) << Wide(error);
  EXPECT_EQ(ReadRaw(file_), "newer");
  EXPECT_EQ(ReadRaw(inside), "kept");
  ::DeleteFileW(Wide(inside));
}

// Creating the file anew refuses an existing read-only, hidden or system file, so the
// replacement does too, with the same error, and leaves the file exactly as it was.
TEST_F(FilesTest, ReplaceRefusesReadOnlyHiddenAndSystemFiles) {
  const std::string chosen = "[Misc]\r\nDefaultBrowser=chrome.exe\r\n\r\n";
  for (const DWORD attributes : {DWORD{FILE_ATTRIBUTE_READONLY}, DWORD{FILE_ATTRIBUTE_HIDDEN},
                                 DWORD{FILE_ATTRIBUTE_SYSTEM}}) {
    SCOPED_TRACE(attributes);
    WriteRaw(file_, chosen);
    ASSERT_TRUE(::SetFileAttributesW(Wide(file_), attributes));
    String error;
    EXPECT_FALSE(files::ReplaceWhole(file_, "new", error));
    EXPECT_EQ(error, SystemErrorText(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ReadRaw(file_), chosen);
    EXPECT_EQ(::GetFileAttributesW(Wide(file_)) & kNotRecreatable, attributes);
    EXPECT_EQ(FolderContents(), std::vector<String>{u"ZOLVWeb.ini"});
    ASSERT_TRUE(::SetFileAttributesW(Wide(file_), FILE_ATTRIBUTE_NORMAL));
  }
}

// A hard link to the settings file is a second name of the old file: it keeps the old bytes,
// whole, and the settings file gets the new ones. (Wine's symbolic links cannot be made.)
TEST_F(FilesTest, ReplaceLeavesAHardLinkWithTheOldBytes) {
  WriteRaw(file_, "old");
  const String other = folder_ + u"other.ini";
  ASSERT_TRUE(::CreateHardLinkW(Wide(other), Wide(file_), nullptr));
  String error;
  ASSERT_TRUE(files::ReplaceWhole(file_, "new", error)) << Wide(error);
  EXPECT_EQ(ReadRaw(file_), "new");
  EXPECT_EQ(ReadRaw(other), "old");
}

// Windows refuses paths of MAX_PATH units or more, Wine does not, so what the replacement
// creates is watched instead: no name longer than the file's own, so that the temporary file
// is accepted wherever the file's own creation is.
TEST_F(FilesTest, ReplaceCreatesNoNameLongerThanTheFilesOwn) {
  WriteRaw(file_, "old");
  UniqueFile folder(::CreateFileW(
      Wide(folder_), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
  ASSERT_TRUE(folder);
  win32::UniqueHandleObject changed(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  alignas(DWORD) char records[16384];
  OVERLAPPED overlapped{};
  overlapped.hEvent = changed.get();
  const auto watch = [&] {
    return ::ReadDirectoryChangesW(folder.get(), records, sizeof records, FALSE,
                                   FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME,
                                   nullptr, &overlapped, nullptr) != FALSE;
  };
  ASSERT_TRUE(watch());
  String error;
  ASSERT_TRUE(files::ReplaceWhole(file_, "new", error)) << Wide(error);

  // The names seen until the file's own comes back into the folder, the rename's last step.
  std::vector<String> names;
  bool replaced = false;
  while (!replaced) {
    // Bounded: the system reports the rename soon after it happened, or never.
    ASSERT_EQ(::WaitForSingleObject(changed.get(), 10000), WAIT_OBJECT_0) << "no rename seen";
    DWORD size = 0;
    ASSERT_TRUE(::GetOverlappedResult(folder.get(), &overlapped, &size, FALSE));
    for (DWORD offset = 0; size > 0;) {
      const auto* record = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(records + offset);
      const String name =
          win32::FromWide(record->FileName, record->FileNameLength / sizeof(wchar_t));
      names.push_back(name);
      replaced |= name == u"ZOLVWeb.ini" && (record->Action == FILE_ACTION_ADDED ||
                                             record->Action == FILE_ACTION_RENAMED_NEW_NAME);
      if (record->NextEntryOffset == 0)
        break;
      offset += record->NextEntryOffset;
    }
    ::ResetEvent(changed.get());
    if (!replaced) {
      ASSERT_TRUE(watch());
    }
  }
  for (const String& name : names)
    EXPECT_LE(name.size(), String(u"ZOLVWeb.ini").size()) << Wide(name);
  EXPECT_EQ(ReadRaw(file_), "new");
}

// A file of 4 GiB or more does not fit in a 32-bit process: reading it is refused rather than
// cut short. The file is sparse, so it costs no disk space.
TEST_F(FilesTest, ReadRefusesAFileTooLargeForTheProcess) {
  if (sizeof(std::size_t) > 4)
    GTEST_SKIP() << "only a 32-bit process has the limit";
  {
    UniqueFile file(::CreateFileW(Wide(file_), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    DWORD returned = 0;
    // Not every file system has sparse files; Wine's are sparse without being asked.
    ::DeviceIoControl(file.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    LARGE_INTEGER end{};
    end.QuadPart = 0x100000000LL;
    ASSERT_TRUE(::SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(::SetEndOfFile(file.get()));
  }
  std::string bytes = "stale";
  String error;
  EXPECT_FALSE(files::ReadWhole(file_, bytes, error));
  EXPECT_EQ(error, SystemErrorText(ERROR_FILE_TOO_LARGE));
  EXPECT_TRUE(bytes.empty());
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(::GetFileAttributesExW(Wide(file_), GetFileExInfoStandard, &data));
  EXPECT_EQ(data.nFileSizeHigh, 1u);
  EXPECT_EQ(data.nFileSizeLow, 0u);
}

// Reads and saves racing over one file, as launchers started together race: every read returns
// the old bytes or the new, whole, and every save lands; neither side is ever refused. The reader
// reads as soon as it finds a save holding the file (the saves are large, so each holds it for a
// while), and the saves go on until it has done so often: the race is known to have taken place,
// however the two threads are scheduled.
TEST_F(FilesTest, ReadsAndSavesRacingWaitEachOtherOut) {
  constexpr int kReadsMeetingASave = 40;
  constexpr int kMostSaves = 3000;  // ends a run that has gone wrong
  const std::string small(3000, 'a');
  const std::string large = SampleBytes(1 << 20);
  String error;
  ASSERT_TRUE(files::ReplaceWhole(file_, small, error));

  std::atomic<bool> done{false};
  std::atomic<int> reads{0}, readsMeetingASave{0}, partialReads{0}, refusedReads{0};
  String refusal;
  std::thread reader([&] {
    std::string bytes;
    String readError;
    while (!done) {
      // Found held, the read comes while a save runs.
      const bool saving = tests::SaveHolds(file_);
      if (!files::ReadWhole(file_, bytes, readError)) {
        if (++refusedReads == 1)
          refusal = readError;
      } else if (bytes != small && bytes != large) {
        ++partialReads;
      }
      ++reads;
      readsMeetingASave += saving;
      ::Sleep(1);
    }
  });

  int saves = 0, failedSaves = 0;
  String saveError;
  while (readsMeetingASave < kReadsMeetingASave && saves < kMostSaves) {
    if (!files::ReplaceWhole(file_, saves % 2 ? small : large, error) && ++failedSaves == 1)
      saveError = error;
    ++saves;
    // Saves come apart, as clicks and start-ups do; back to back, they would leave a waiting
    // reader no moment to come in.
    ::Sleep(20);
  }
  done = true;
  reader.join();

  EXPECT_GE(readsMeetingASave, kReadsMeetingASave) << "the reader never met a save";
  EXPECT_EQ(refusedReads, 0) << Wide(refusal);
  EXPECT_EQ(partialReads, 0);
  EXPECT_EQ(failedSaves, 0) << Wide(saveError);
  RecordProperty("saves", saves);
  RecordProperty("reads", reads.load());
  EXPECT_EQ(ReadRaw(file_), saves % 2 ? large : small);
  EXPECT_EQ(FolderContents(), std::vector<String>{u"ZOLVWeb.ini"});
}

TEST_F(FilesTest, ExistsOnlyForFiles) {
  WriteRaw(file_, "");
  EXPECT_TRUE(files::Exists(file_));
  EXPECT_FALSE(files::Exists(folder_ + u"other.ini"));
  EXPECT_FALSE(files::Exists(folder_));
}

TEST_F(FilesTest, CreateFolderMakesOneLevelOnly) {
  EXPECT_TRUE(files::CreateFolder(folder_ + u"ZOLV\\"));
  EXPECT_EQ(::GetFileAttributesW(Wide(folder_ + u"ZOLV")) & FILE_ATTRIBUTE_DIRECTORY,
            DWORD{FILE_ATTRIBUTE_DIRECTORY});
  EXPECT_FALSE(files::CreateFolder(folder_ + u"ZOLV\\"));
  EXPECT_FALSE(files::CreateFolder(folder_ + u"a\\b"));
  EXPECT_EQ(::GetFileAttributesW(Wide(folder_ + u"a")), INVALID_FILE_ATTRIBUTES);
}

TEST(ModuleFileNameTest, IsTheFullNameOfTheRunningProgram) {
  const String name = files::ModuleFileName();
  const String ending = u"\\zolv_adapter_tests.exe";
  ASSERT_GT(name.size(), ending.size());
  EXPECT_EQ(name.substr(name.size() - ending.size()), ending);
  EXPECT_EQ(name.substr(1, 2), u":\\");
  EXPECT_TRUE(files::Exists(name));
}

}  // namespace
}  // namespace zolv
