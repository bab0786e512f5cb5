// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ini_file.h"

#include <algorithm>
#include <charconv>

namespace rq {
namespace {

std::string_view Trim(std::string_view s) {
  const auto notBlank = [](char c) { return c != ' ' && c != '\t' && c != '\r' && c != '\n'; };
  while (!s.empty() && !notBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && !notBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

}  // namespace

void IniFile::parse(std::string_view text) {
  sections_.clear();
  sections_.push_back(Section{});
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  int number = 0;
  while (!text.empty()) {
    ++number;
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);

    const std::string_view t = Trim(line);
    if (t.starts_with('[') && t.ends_with(']') && t.size() >= 2) {
      sections_.push_back(Section{std::string(Trim(t.substr(1, t.size() - 2))), {}});
      continue;
    }
    Line l;
    l.raw = std::string(line);
    l.number = number;
    const std::size_t eq = t.find('=');
    if (!t.starts_with(';') && !t.starts_with('#') && eq != std::string_view::npos && eq > 0) {
      l.key = std::string(Trim(t.substr(0, eq)));
      l.value = std::string(Trim(t.substr(eq + 1)));
    }
    sections_.back().lines.push_back(std::move(l));
  }
}

std::string IniFile::text() const {
  std::string out;
  for (const Section& s : sections_) {
    if (!s.name.empty()) {
      out += '[';
      out += s.name;
      out += "]\n";
    }
    for (const Line& l : s.lines) {
      if (l.key.empty()) {
        out += l.raw;
      } else {
        out += l.key;
        out += '=';
        out += l.value;
      }
      out += '\n';
    }
  }
  return out;
}

IniFile::Section* IniFile::findSection(std::string_view name) {
  for (Section& s : sections_)
    if (!s.name.empty() && SameName(s.name, name)) return &s;
  return nullptr;
}

const IniFile::Section* IniFile::findSection(std::string_view name) const {
  return const_cast<IniFile*>(this)->findSection(name);
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
  const Section* s = findSection(section);
  if (s == nullptr) return std::nullopt;
  for (const Line& l : s->lines)
    if (!l.key.empty() && SameName(l.key, key)) return l.value;
  return std::nullopt;
}

long IniFile::intValue(std::string_view section, std::string_view key, long def) const {
  const auto v = value(section, key);
  if (!v) return def;
  std::string_view t = Trim(*v);
  if (t.starts_with('+')) t.remove_prefix(1);
  // Leading digits count, as profile readers take them ("12 ; note" is 12); a value with no
  // number at all, or one too large, gives the default.
  long out = 0;
  const auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), out);
  if (ec != std::errc{} || ptr == t.data()) return def;
  return out;
}

std::string IniFile::stringValue(std::string_view section, std::string_view key,
                                 std::string_view def) const {
  const auto v = value(section, key);
  return v ? *v : std::string(def);
}

void IniFile::setValue(std::string_view section, std::string_view key, std::string_view value) {
  // Values are single lines; a line break would split the entry.
  std::string v(value);
  std::replace(v.begin(), v.end(), '\n', ' ');
  std::replace(v.begin(), v.end(), '\r', ' ');

  Section* s = findSection(section);
  if (s == nullptr) {
    if (sections_.empty()) sections_.push_back(Section{});
    // Keep a blank line between sections when the previous one does not end in one.
    Section& last = sections_.back();
    if (!last.lines.empty() && !(last.lines.back().key.empty() && Trim(last.lines.back().raw).empty()))
      last.lines.push_back(Line{});
    sections_.push_back(Section{std::string(section), {}});
    s = &sections_.back();
  }
  for (Line& l : s->lines) {
    if (!l.key.empty() && SameName(l.key, key)) {
      l.value = std::move(v);
      return;
    }
  }
  // Append after the last key, before trailing blank lines of the section.
  auto pos = s->lines.end();
  while (pos != s->lines.begin() && std::prev(pos)->key.empty() && Trim(std::prev(pos)->raw).empty())
    --pos;
  s->lines.insert(pos, Line{{}, std::string(key), std::move(v)});
}

void IniFile::setInt(std::string_view section, std::string_view key, long value) {
  setValue(section, key, std::to_string(value));
}

std::vector<std::string> IniFile::keys(std::string_view section) const {
  std::vector<std::string> out;
  if (const Section* s = findSection(section))
    for (const Line& l : s->lines)
      if (!l.key.empty()) out.push_back(l.key);
  return out;
}

std::vector<IniFile::Entry> IniFile::entries(std::string_view section) const {
  std::vector<Entry> out;
  if (const Section* s = findSection(section))
    for (const Line& l : s->lines)
      if (!l.key.empty()) out.push_back({l.key, l.value, l.number});
  return out;
}

void IniFile::removeRepeats(std::string_view section, std::string_view key) {
  Section* s = findSection(section);
  if (s == nullptr) return;
  bool seen = false;
  std::erase_if(s->lines, [&](const Line& l) {
    if (l.key.empty() || !SameName(l.key, key)) return false;
    const bool repeat = seen;
    seen = true;
    return repeat;
  });
}

}  // namespace rq
