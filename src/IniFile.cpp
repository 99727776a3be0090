#include "IniFile.h"

#include <cassert>
#include <utility>

#include "Exception.h"
#include "platform/Files.h"

namespace zolv {

namespace {

bool IsBlank(char16_t unit) {
  return unit <= u' ';
}

}  // namespace

IniFile IniFile::FromBytes(std::string_view bytes) {
  IniFile ini;
  DecodedText decoded = DecodeFileText(bytes);
  ini.encoding_ = decoded.encoding;
  ini.text_ = std::move(decoded.text);
  if (const std::size_t nul = ini.text_.find(u'\0'); nul != String::npos)
    ini.text_.resize(nul);
  if (ini.text_.size() >= kNone)
    throw Exception(u"INI text too long");
  ini.Parse();
  return ini;
}

// One pass over the text. Splitting at every CR and every LF alone is enough: the empty line
// that splits CR LF in two is dropped with the other empty lines. The names are gathered as
// they are and upper-cased in one call at the end.
void IniFile::Parse() {
  const StringView text = text_;
  // Room for every line up front: growing the vectors would copy them over and over, and
  // capacity that stays unused is never touched.
  std::size_t breaks = 0;
  std::size_t brackets = 0;
  for (const char16_t unit : text) {
    breaks += unit == u'\r' || unit == u'\n';
    brackets += unit == u'[';
  }
  lines_.reserve(breaks + 1);
  sections_.reserve(brackets);
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = begin;
    while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
      ++end;
    const Span line = Trim(begin, end);
    begin = end + 1;
    if (line.length == 0 || text[line.offset] == u';')
      continue;
    const std::size_t last = line.offset + line.length - 1;
    if (line.length >= 2 && text[line.offset] == u'[' && text[last] == u']') {
      const Span name = Trim(line.offset + 1, last);
      sections_.push_back(
          Section{name, static_cast<Index>(upper_.size()), static_cast<Index>(lines_.size()), 0});
      upper_ += View(name);
      continue;
    }
    if (sections_.empty())
      continue;
    Line stored;
    const std::size_t equals = View(line).find(u'=');
    if (equals == StringView::npos) {
      stored.key = line;
    } else {
      stored.key = Trim(line.offset, line.offset + equals);
      stored.value = Trim(line.offset + equals + 1, last + 1);
      stored.upperKey = static_cast<Index>(upper_.size());
      stored.isEntry = true;
      upper_ += View(stored.key);
    }
    lines_.push_back(stored);
    ++sections_.back().count;
  }
  upper_ = text::UpperCase(upper_);
}

IniFile::Span IniFile::Trim(std::size_t begin, std::size_t end) const {
  while (begin < end && IsBlank(text_[begin]))
    ++begin;
  while (end > begin && IsBlank(text_[end - 1]))
    --end;
  return Span{static_cast<Index>(begin), static_cast<Index>(end - begin)};
}

std::string IniFile::ToBytes() const {
  std::size_t length = 0;
  for (const Section& section : sections_)
    length += section.name.length + 6;
  for (const Line& line : lines_)
    length += line.key.length + 1 + line.value.length + 2;
  String out;
  out.reserve(length);
  for (const Section& section : sections_) {
    out += u'[';
    out += View(section.name);
    out += u"]\r\n";
    for (Index i = section.first; i < section.first + section.count; ++i) {
      out += View(lines_[i].key);
      if (lines_[i].isEntry) {
        out += u'=';
        out += View(lines_[i].value);
      }
      out += u"\r\n";
    }
    out += u"\r\n";
  }
  return EncodeFileText(encoding_, out);
}

String IniFile::ReadString(StringView section, StringView key, StringView defaultValue) const {
  const Index sectionIndex = FindSection(text::UpperCase(section));
  if (sectionIndex == kNone)
    return String(defaultValue);
  const Index lineIndex = FindEntry(sections_[sectionIndex], text::UpperCase(key));
  if (lineIndex == kNone)
    return String(defaultValue);
  return String(View(lines_[lineIndex].value));
}

void IniFile::WriteString(StringView section, StringView key, StringView value) {
  Index sectionIndex = FindSection(text::UpperCase(section));
  if (sectionIndex == kNone) {
    sectionIndex = static_cast<Index>(sections_.size());
    sections_.push_back(
        Section{Append(section), AppendUpper(section), static_cast<Index>(lines_.size()), 0});
  }
  const Line entry{Append(key), Append(value), AppendUpper(key), true};
  Section& target = sections_[sectionIndex];
  const Index lineIndex = FindEntry(target, StringView(upper_).substr(entry.upperKey, key.size()));
  if (lineIndex != kNone) {
    lines_[lineIndex] = entry;
    return;
  }
  lines_.insert(lines_.begin() + target.first + target.count, entry);
  ++target.count;
  for (std::size_t i = sectionIndex + 1; i < sections_.size(); ++i)
    ++sections_[i].first;
}

// The replaced text stays behind unused; a document lives for one call only.
IniFile::Span IniFile::Append(StringView text) {
  if (text_.size() + text.size() >= kNone)
    throw Exception(u"INI text too long");
  const Span span{static_cast<Index>(text_.size()), static_cast<Index>(text.size())};
  text_ += text;
  return span;
}

IniFile::Index IniFile::AppendUpper(StringView name) {
  const auto offset = static_cast<Index>(upper_.size());
  upper_ += text::UpperCase(name);
  assert(upper_.size() == offset + name.size());
  return offset;
}

bool IniFile::Matches(Span name, Index upper, StringView upperName) const {
  return name.length == upperName.size() &&
         StringView(upper_).substr(upper, name.length) == upperName;
}

IniFile::Index IniFile::FindSection(StringView upperName) const {
  for (auto i = static_cast<Index>(sections_.size()); i-- > 0;) {
    if (Matches(sections_[i].name, sections_[i].upperName, upperName))
      return i;
  }
  return kNone;
}

IniFile::Index IniFile::FindEntry(const Section& section, StringView upperKey) const {
  for (Index i = section.first + section.count; i-- > section.first;) {
    const Line& line = lines_[i];
    if (line.isEntry && Matches(line.key, line.upperKey, upperKey))
      return i;
  }
  return kNone;
}

IniFile LoadIniFile(const String& path) {
  if (!files::Exists(path))
    return IniFile();
  std::string bytes;
  String error;
  if (!files::ReadWhole(path, bytes, error))
    throw Exception(u"Cannot open file \"" + path + u"\". " + error);
  return IniFile::FromBytes(bytes);
}

}  // namespace zolv
