// Fuzzes the settings document with any bytes, in every encoding. The first input byte picks a
// byte-order mark to put in front of the rest and, optionally, the choice the launcher saves.
// Checked: every setting found in the text reads as the documented rules say; saving and
// loading again changes no setting; a saved document saves to the same bytes again; saving
// the choice changes that setting only.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "FileEncoding.h"
#include "IniFile.h"

namespace zolv {
namespace {

constexpr std::string_view kMarks[] = {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};
constexpr StringView kChoices[] = {u"",           u"iexplore.exe", u"chrome.exe", u"firefox.exe",
                                   u"safari.exe", u"opera.exe"};
// The text ends at its first NUL, so no value can hold this.
const String kMissing(1, u'\0');
constexpr std::size_t kMaxChecked = 256;

void Require(bool condition) {
  if (!condition)
    std::abort();
}

struct Setting {
  String section;
  String key;
  String value;
};

StringView Trimmed(StringView text) {
  while (!text.empty() && text.front() <= u' ')
    text.remove_prefix(1);
  while (!text.empty() && text.back() <= u' ')
    text.remove_suffix(1);
  return text;
}

// The settings the text holds, read line by line as the file format describes it: for each
// section name, its last section; in it, each key's last entry. Names compare in upper case.
std::vector<Setting> SettingsIn(StringView text) {
  text = text.substr(0, text.find(u'\0'));
  struct Section {
    String name;
    std::vector<Setting> entries;
  };
  std::vector<Section> sections;
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find_first_of(u"\r\n", begin);
    if (end == StringView::npos)
      end = text.size();
    const StringView line = Trimmed(text.substr(begin, end - begin));
    begin = end + 1;
    if (line.empty() || line.front() == u';')
      continue;
    if (line.size() >= 2 && line.front() == u'[' && line.back() == u']') {
      sections.push_back({String(Trimmed(line.substr(1, line.size() - 2))), {}});
      continue;
    }
    const std::size_t equals = line.find(u'=');
    if (sections.empty() || equals == StringView::npos)
      continue;
    sections.back().entries.push_back({sections.back().name,
                                       String(Trimmed(line.substr(0, equals))),
                                       String(Trimmed(line.substr(equals + 1)))});
  }
  std::vector<Setting> settings;
  std::vector<String> seenSections;
  for (auto section = sections.rbegin(); section != sections.rend(); ++section) {
    const String upperSection = text::UpperCase(section->name);
    if (std::find(seenSections.begin(), seenSections.end(), upperSection) != seenSections.end())
      continue;
    seenSections.push_back(upperSection);
    std::vector<String> seenKeys;
    for (auto entry = section->entries.rbegin(); entry != section->entries.rend(); ++entry) {
      const String upperKey = text::UpperCase(entry->key);
      if (std::find(seenKeys.begin(), seenKeys.end(), upperKey) != seenKeys.end())
        continue;
      seenKeys.push_back(upperKey);
      settings.push_back(*entry);
      if (settings.size() == kMaxChecked)
        return settings;
    }
  }
  return settings;
}

bool IsChoice(const Setting& setting) {
  return text::UpperCase(setting.section) == u"MISC" &&
         text::UpperCase(setting.key) == u"DEFAULTBROWSER";
}

// Saves and loads the document; the saved bytes must save unchanged.
IniFile SavedAndLoaded(const IniFile& ini) {
  const std::string saved = ini.ToBytes();
  IniFile loaded = IniFile::FromBytes(saved);
  Require(loaded.Encoding() == ini.Encoding());
  Require(loaded.ToBytes() == saved);
  return loaded;
}

void Check(const std::string& bytes, const StringView* choice) {
  IniFile ini = IniFile::FromBytes(bytes);
  const std::vector<Setting> settings = SettingsIn(DecodeFileText(bytes).text);
  for (const Setting& setting : settings)
    Require(ini.ReadString(setting.section, setting.key, kMissing) == setting.value);

  const IniFile reloaded = SavedAndLoaded(ini);
  for (const Setting& setting : settings)
    Require(reloaded.ReadString(setting.section, setting.key, kMissing) == setting.value);

  if (!choice)
    return;
  ini.WriteString(u"Misc", u"DefaultBrowser", *choice);
  const IniFile chosen = SavedAndLoaded(ini);
  Require(chosen.ReadString(u"misc", u"defaultbrowser", kMissing) == *choice);
  for (const Setting& setting : settings) {
    if (!IsChoice(setting))
      Require(chosen.ReadString(setting.section, setting.key, kMissing) == setting.value);
  }
}

}  // namespace
}  // namespace zolv

// Input: one control byte, then the file. Bits 0-1 of the control byte pick the mark (none,
// UTF-8, UTF-16LE, UTF-16BE); bits 2-4, when 1 to 6, the choice to save.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0)
    return 0;
  const unsigned control = data[0];
  std::string bytes(zolv::kMarks[control & 3]);
  bytes.append(reinterpret_cast<const char*>(data + 1), size - 1);
  const unsigned choice = (control >> 2) & 7;
  zolv::Check(bytes, choice >= 1 && choice <= 6 ? &zolv::kChoices[choice - 1] : nullptr);
  return 0;
}
