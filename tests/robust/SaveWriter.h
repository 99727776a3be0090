// SaveWriter: a launcher-like second program for the robustness suites. The suite's own
// executable, started with --writer, saves choices through SetIni into a data folder as the
// launcher does, and reports what it saw; the suites start it, race it and kill it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/Text.h"
#include "platform/win32/system/UniqueHandle.h"
#include "tests/support/FileBytes.h"

namespace zolv::robust {

inline constexpr wchar_t kWriterFlag[] = L"--writer";

// What a writer asks for. `choices` are saved in turn; `rounds` 0 means until killed. After
// each save it reads the choice back, which may be another writer's. The ready event, when named,
// is set after the first save; the report, when named, is written at the end. A pause after
// each round keeps the saves apart, as a person's clicks are: saves back to back would leave the
// others' waits no moment to come in.
struct WriterPlan {
  String dataPath;  // ending in a backslash
  std::vector<String> choices;
  int rounds = 0;
  String readyEvent;
  String reportFile;
  int pauseMs = 0;
};

// What a writer saw, as its report file tells it.
struct WriterReport {
  int saves = 0;
  int reads = 0;
  int createErrors = 0;  // "Cannot create file "<settings file>". ..."
  int openErrors = 0;    // "Cannot open file "<settings file>". ..."
  int wrongValues = 0;   // a read that gave no browser executable's name
  // Saves and reads begun while another program's save held the file: the races that happened.
  int savesMeetingASave = 0;
  int readsMeetingASave = 0;
  std::vector<String> otherErrors;
  // The distinct system texts after the file name, each after "create: " or "open: ".
  std::vector<String> systemTexts;
};

// The settings file a writer (and the suite itself) uses in `dataPath`.
String SettingsFileIn(const String& dataPath);

// The temporary file a save of `settingsFile` writes first: its name's first character
// replaced by "~".
String TemporaryFileOf(const String& settingsFile);

// Runs the writer of the command line (the arguments after kWriterFlag); its exit code.
int RunWriter(int argc, wchar_t** argv);

// Starts the suite's executable as a writer; an empty handle when it cannot be started.
win32::UniqueHandleObject StartWriter(const WriterPlan& plan);

// The report file's contents; `found` tells whether there was one.
WriterReport ReadReport(const String& reportFile, bool& found);

// A fresh empty folder under the temporary folder, ending in a backslash, and its removal.
String MakeTempFolder(StringView purpose);
void RemoveFolder(const String& folder);

// UTF-8 of the text, and the decimal digits of a number.
std::string Narrow(StringView text);
String Decimal(unsigned long long number);
String Numbered(StringView prefix, unsigned long long number);

// "Cannot <verb> file "<file>". ", the start of the settings routines' file errors.
String FileErrorPrefix(StringView verb, const String& file);

}  // namespace zolv::robust
