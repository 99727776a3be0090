#include "SaveWriter.h"

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <sstream>

#include "Exception.h"
#include "UComun.h"
#include "UFPrincipal.h"
#include "platform/Files.h"
#include "platform/win32/system/Wide.h"
#include "tests/support/StartProcess.h"

namespace zolv::robust {

using win32::FromWide;
using win32::UniqueFile;
using win32::UniqueHandleObject;
using win32::Wide;

namespace {

String FromUtf8(std::string_view bytes) {
  if (bytes.empty())
    return String();
  const int length =
      ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  String text(static_cast<std::size_t>(length), u'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), Wide(text),
                        length);
  return text;
}

// The system text after "Cannot ... file "<path>". ", when `message` is that error.
bool IsFileError(const String& message, StringView verb, const String& path, String& systemText) {
  const String prefix = FileErrorPrefix(verb, path);
  if (!message.starts_with(prefix))
    return false;
  systemText = message.substr(prefix.size());
  return true;
}

class Writer {
 public:
  explicit Writer(WriterPlan plan) : plan_(std::move(plan)) {
    DataPath = plan_.dataPath;
    settings_ = SettingsFileIn(plan_.dataPath);
  }

  void Run() {
    for (int round = 0; plan_.rounds == 0 || round < plan_.rounds; ++round) {
      const String& choice = plan_.choices[static_cast<std::size_t>(round) % plan_.choices.size()];
      Save(choice);
      if (round == 0 && !plan_.readyEvent.empty()) {
        UniqueHandleObject ready(::OpenEventW(EVENT_MODIFY_STATE, FALSE, Wide(plan_.readyEvent)));
        ::SetEvent(ready.get());
      }
      const bool saving = tests::SaveHolds(settings_);
      const bool answered = Attempt([&] {
        const String read = GetIni(u"Misc", u"DefaultBrowser", u"");
        ++report_.reads;
        const StringView browsers[] = {u"iexplore.exe", u"chrome.exe", u"firefox.exe",
                                       u"safari.exe", u"opera.exe"};
        if (std::find(std::begin(browsers), std::end(browsers), read) == std::end(browsers))
          ++report_.wrongValues;
      });
      report_.readsMeetingASave += answered && saving;
      ::Sleep(static_cast<DWORD>(plan_.pauseMs));
    }
  }

  bool WriteReport() const {
    if (plan_.reportFile.empty())
      return true;
    std::ostringstream out;
    out << "saves " << report_.saves << "\nreads " << report_.reads << "\ncreate "
        << report_.createErrors << "\nopen " << report_.openErrors << "\nwrong "
        << report_.wrongValues << "\nmet-saves " << report_.savesMeetingASave << "\nmet-reads "
        << report_.readsMeetingASave << "\n";
    for (const String& message : report_.otherErrors)
      out << "other " << Narrow(message) << "\n";
    for (const String& text : report_.systemTexts)
      out << "system " << Narrow(text) << "\n";
    return tests::WriteBytes(plan_.reportFile, out.str());
  }

 private:
  void Save(const String& choice) {
    const bool saving = tests::SaveHolds(settings_);
    const bool saved = Attempt([&] {
      SetIni(u"Misc", u"DefaultBrowser", choice);
      ++report_.saves;
    });
    report_.savesMeetingASave += saved && saving;
  }

  // Whether the call ran without a settings error; the error is counted.
  template <typename Call>
  bool Attempt(Call call) {
    try {
      call();
      return true;
    } catch (const Exception& error) {
      String systemText;
      if (IsFileError(error.Message(), u"create", settings_, systemText)) {
        ++report_.createErrors;
        systemText.insert(0, u"create: ");
      } else if (IsFileError(error.Message(), u"open", settings_, systemText)) {
        ++report_.openErrors;
        systemText.insert(0, u"open: ");
      } else {
        report_.otherErrors.push_back(error.Message());
        return false;
      }
      auto& texts = report_.systemTexts;
      if (std::find(texts.begin(), texts.end(), systemText) == texts.end())
        texts.push_back(systemText);
      return false;
    }
  }

  WriterPlan plan_;
  String settings_;
  WriterReport report_;
};

// Quoted for CommandLineToArgvW: backslashes before a quote, the closing one included, are
// doubled, so a folder's final backslash does not escape it.
String Quoted(const String& argument) {
  String quoted(u"\"");
  std::size_t backslashes = 0;
  for (const char16_t unit : argument) {
    if (unit == u'"')
      quoted.append(backslashes + 1, u'\\');
    backslashes = unit == u'\\' ? backslashes + 1 : 0;
    quoted += unit;
  }
  quoted.append(backslashes, u'\\');
  return quoted += u'"';
}

String Joined(const std::vector<String>& parts) {
  String joined;
  for (const String& part : parts)
    joined += (joined.empty() ? u"" : u"|") + part;
  return joined;
}

std::vector<String> Split(const String& joined) {
  std::vector<String> parts;
  std::size_t start = 0;
  for (std::size_t bar; (bar = joined.find(u'|', start)) != String::npos; start = bar + 1)
    parts.push_back(joined.substr(start, bar - start));
  parts.push_back(joined.substr(start));
  return parts;
}

}  // namespace

std::string Narrow(StringView text) {
  if (text.empty())
    return std::string();
  const int length = ::WideCharToMultiByte(CP_UTF8, 0, Wide(text), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, Wide(text), static_cast<int>(text.size()), bytes.data(), length,
                        nullptr, nullptr);
  return bytes;
}

String Decimal(unsigned long long number) {
  const std::string digits = std::to_string(number);
  return String(digits.begin(), digits.end());
}

// Built by appending: GCC 12 at -O3 misreads a literal + temporary string as an overlapping copy.
String Numbered(StringView prefix, unsigned long long number) {
  String text(prefix);
  return text.append(Decimal(number));
}

String FileErrorPrefix(StringView verb, const String& file) {
  String prefix(u"Cannot ");
  prefix.append(verb).append(u" file \"").append(file).append(u"\". ");
  return prefix;
}

String SettingsFileIn(const String& dataPath) {
  String module = files::ModuleFileName();
  module = module.substr(module.find_last_of(u"\\/") + 1);
  return dataPath + module.substr(0, module.rfind(u'.')) + u".ini";
}

String TemporaryFileOf(const String& settingsFile) {
  String temporary = settingsFile;
  temporary[temporary.find_last_of(u"\\/") + 1] = u'~';
  return temporary;
}

// Arguments: data folder, choices joined by "|", rounds, ready event, report file, pause.
int RunWriter(int argc, wchar_t** argv) {
  if (argc != 6)
    return 2;
  WriterPlan plan;
  plan.dataPath = FromWide(argv[0]);
  plan.choices = Split(FromWide(argv[1]));
  plan.rounds = static_cast<int>(std::wcstol(argv[2], nullptr, 10));
  plan.readyEvent = FromWide(argv[3]);
  plan.reportFile = FromWide(argv[4]);
  plan.pauseMs = static_cast<int>(std::wcstol(argv[5], nullptr, 10));
  Writer writer(std::move(plan));
  writer.Run();
  return writer.WriteReport() ? 0 : 3;
}

UniqueHandleObject StartWriter(const WriterPlan& plan) {
  const String self = files::ModuleFileName();
  String command = Quoted(self) + u" " + FromWide(kWriterFlag) + u" " + Quoted(plan.dataPath) +
                   u" " + Quoted(Joined(plan.choices)) + u" " +
                   Quoted(Decimal(static_cast<unsigned>(plan.rounds))) + u" " +
                   Quoted(plan.readyEvent) + u" " + Quoted(plan.reportFile) + u" " +
                   Quoted(Decimal(static_cast<unsigned>(plan.pauseMs)));
  PROCESS_INFORMATION process{};
  if (!tests::StartProcess(Wide(self), Wide(command), 0, nullptr, process))
    return UniqueHandleObject();
  ::CloseHandle(process.hThread);
  return UniqueHandleObject(process.hProcess);
}

WriterReport ReadReport(const String& reportFile, bool& found) {
  WriterReport report;
  const std::optional<std::string> bytes = tests::ReadBytes(reportFile);
  found = bytes.has_value();
  std::istringstream in(bytes.value_or(""));
  std::string word;
  while (in >> word) {
    std::string rest;
    std::getline(in, rest);
    if (!rest.empty())
      rest.erase(0, 1);
    if (word == "saves")
      report.saves = std::stoi(rest);
    else if (word == "reads")
      report.reads = std::stoi(rest);
    else if (word == "create")
      report.createErrors = std::stoi(rest);
    else if (word == "open")
      report.openErrors = std::stoi(rest);
    else if (word == "wrong")
      report.wrongValues = std::stoi(rest);
    else if (word == "met-saves")
      report.savesMeetingASave = std::stoi(rest);
    else if (word == "met-reads")
      report.readsMeetingASave = std::stoi(rest);
    else if (word == "other")
      report.otherErrors.push_back(FromUtf8(rest));
    else if (word == "system")
      report.systemTexts.push_back(FromUtf8(rest));
  }
  return report;
}

String MakeTempFolder(StringView purpose) {
  wchar_t temp[MAX_PATH + 1];
  ::GetTempPathW(MAX_PATH + 1, temp);
  static unsigned made = 0;
  const String folder = FromWide(temp) + u"zolv-" + String(purpose) + u"-" +
                        Decimal(::GetCurrentProcessId()) + u"-" + Decimal(::GetTickCount64()) +
                        u"-" + Decimal(++made);
  ::CreateDirectoryW(Wide(folder), nullptr);
  return folder + u'\\';
}

void RemoveFolder(const String& folder) {
  WIN32_FIND_DATAW found;
  const String pattern = folder + u"*";
  HANDLE search = ::FindFirstFileW(Wide(pattern), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const String name = FromWide(found.cFileName);
      if (name == u"." || name == u"..")
        continue;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveFolder(folder + name + u'\\');
      else
        ::DeleteFileW(Wide(folder + name));
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
  }
  ::RemoveDirectoryW(Wide(folder));
}

}  // namespace zolv::robust
