// SPDX-License-Identifier: GPL-3.0-or-later
// A small ini reader/writer for the settings file. Keys are kept literally (no escaping), so
// "PageControl1->ActivePageIndex" is written as it is named. Sections, keys, comments and
// blank lines the program does not own survive a load/save round trip in their order.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rq {

class IniFile {
 public:
  // Replaces the contents with the parsed text. Accepts LF or CR LF and a UTF-8 BOM.
  void parse(std::string_view text);
  // The whole file, LF line ends.
  std::string text() const;

  // Section and key names compare without regard to ASCII case, as profile files do.
  std::optional<std::string> value(std::string_view section, std::string_view key) const;
  // An integer value; the default when the key is missing or its value is not a number.
  long intValue(std::string_view section, std::string_view key, long def) const;
  std::string stringValue(std::string_view section, std::string_view key,
                          std::string_view def) const;

  // Replaces the value in place, or appends the key at the end of its section (the section
  // is appended when missing).
  void setValue(std::string_view section, std::string_view key, std::string_view value);
  void setInt(std::string_view section, std::string_view key, long value);

  // Keys of a section in file order.
  std::vector<std::string> keys(std::string_view section) const;
  // Every key line of a section in file order, repeated keys included, with its line in the
  // parsed text (1 for the first; 0 for a key set since).
  struct Entry {
    std::string key, value;
    int line = 0;
  };
  std::vector<Entry> entries(std::string_view section) const;
  // Removes every line of the section after the first of `key`.
  void removeRepeats(std::string_view section, std::string_view key);
  // Whether the file has the section's header (an empty section included).
  bool hasSection(std::string_view section) const { return findSection(section) != nullptr; }

 private:
  struct Line {
    std::string raw;  // the line as read, for comments and blanks (key empty)
    std::string key;
    std::string value;
    int number = 0;  // the line in the parsed text
  };
  struct Section {
    std::string name;  // empty for lines before the first header
    std::vector<Line> lines;
  };
  Section* findSection(std::string_view name);
  const Section* findSection(std::string_view name) const;

  std::vector<Section> sections_;
};

}  // namespace rq
