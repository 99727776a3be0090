// IniFile: an INI document held in memory. It is loaded from a file's bytes, read and changed
// one key at a time, and turned back into bytes in the encoding it was read in. Section names
// and keys match without regard to letter case; values are kept verbatim.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "FileEncoding.h"
#include "platform/Text.h"

namespace zolv {

class IniFile {
 public:
  // An empty document, written in the ANSI code page without a byte-order mark.
  IniFile() = default;

  // Comment lines (";"), empty lines and lines before the first section are dropped; the text
  // ends at its first NUL.
  static IniFile FromBytes(std::string_view bytes);

  // Sections in first-seen order, each followed by an empty line; CR LF line ends.
  std::string ToBytes() const;

  FileEncoding Encoding() const { return encoding_; }

  // The value of the last entry of `key` in the last section named `section`.
  String ReadString(StringView section, StringView key, StringView defaultValue) const;

  // Replaces the last entry of `key` in the last section named `section`, else appends the
  // entry to that section, creating the section at the end when there is none.
  void WriteString(StringView section, StringView key, StringView value);

 private:
  // Positions in text_ and upper_, and line numbers: 32 bits keep the line table small, which
  // matters for large files. No text longer than that is taken.
  using Index = std::uint32_t;
  static constexpr Index kNone = std::numeric_limits<Index>::max();

  // A stretch of text_.
  struct Span {
    Index offset = 0;
    Index length = 0;
  };

  // An entry "key=value", or (without `isEntry`) a line kept as it is, held in `key`.
  struct Line {
    Span key;
    Span value;
    Index upperKey = 0;  // where the key's upper-case form starts in upper_
    bool isEntry = false;
  };

  // Its lines are lines_[first, first + count).
  struct Section {
    Span name;
    Index upperName = 0;
    Index first = 0;
    Index count = 0;
  };

  void Parse();
  Span Trim(std::size_t begin, std::size_t end) const;
  Span Append(StringView text);
  Index AppendUpper(StringView name);
  StringView View(Span span) const { return StringView(text_).substr(span.offset, span.length); }
  bool Matches(Span name, Index upper, StringView upperName) const;
  // Indexes of the last match, or kNone.
  Index FindSection(StringView upperName) const;
  Index FindEntry(const Section& section, StringView upperKey) const;

  FileEncoding encoding_ = FileEncoding::Ansi;
  // Every name and value the document holds; what writes bring is appended.
  String text_;
  // The upper-case forms of the section names and keys, for matching without regard to case.
  String upper_;
  std::vector<Section> sections_;
  // The lines of all sections, section after section.
  std::vector<Line> lines_;
};

// Loads an INI file. A missing file reads as an empty document; one that exists but cannot be
// read raises "Cannot open file": taking it for empty would wipe it on the next write.
IniFile LoadIniFile(const String& path);

}  // namespace zolv
