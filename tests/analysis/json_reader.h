// SPDX-License-Identifier: GPL-3.0-or-later
// A small JSON reader for the tests of the command line's JSON: enough to walk what the tool
// prints and check its shape (objects, lists, numbers, strings, true, false, null).
#pragma once

#include <cctype>
#include <charconv>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rq::testjson {

struct Value {
  enum class Kind { Null, Bool, Number, String, List, Object } kind = Kind::Null;
  bool boolean = false;
  double number = 0;
  std::string text;
  std::vector<Value> list;
  std::map<std::string, Value> object;

  bool isNull() const { return kind == Kind::Null; }
  bool has(const std::string& key) const { return object.count(key) != 0; }
  const Value& operator[](const std::string& key) const { return object.at(key); }
  const Value& operator[](std::size_t i) const { return list.at(i); }
};

class Reader {
 public:
  explicit Reader(std::string_view text) : s_(text) {}
  // The whole text as one value; nullopt when it is not JSON (or something follows it).
  std::optional<Value> read() {
    Value v;
    if (!value(v)) return std::nullopt;
    blanks();
    if (at_ != s_.size()) return std::nullopt;
    return v;
  }

 private:
  void blanks() {
    while (at_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[at_]))) ++at_;
  }
  bool take(char c) {
    blanks();
    if (at_ < s_.size() && s_[at_] == c) return ++at_, true;
    return false;
  }
  bool word(std::string_view w) {
    if (s_.substr(at_, w.size()) != w) return false;
    at_ += w.size();
    return true;
  }
  bool string(std::string& out) {
    if (!take('"')) return false;
    while (at_ < s_.size() && s_[at_] != '"') {
      if (s_[at_] == '\\' && at_ + 1 < s_.size()) ++at_;
      out += s_[at_++];
    }
    return take('"');
  }
  bool value(Value& v) {
    blanks();
    if (at_ >= s_.size()) return false;
    const char c = s_[at_];
    if (c == '{') {
      v.kind = Value::Kind::Object;
      ++at_;
      if (take('}')) return true;
      do {
        std::string key;
        Value item;
        if (!string(key) || !take(':') || !value(item)) return false;
        v.object[key] = std::move(item);
      } while (take(','));
      return take('}');
    }
    if (c == '[') {
      v.kind = Value::Kind::List;
      ++at_;
      if (take(']')) return true;
      do {
        v.list.emplace_back();
        if (!value(v.list.back())) return false;
      } while (take(','));
      return take(']');
    }
    if (c == '"') {
      v.kind = Value::Kind::String;
      return string(v.text);
    }
    if (word("null")) return true;
    if (word("true") || word("false")) {
      v.kind = Value::Kind::Bool;
      v.boolean = s_[at_ - 1] == 'e' && s_[at_ - 2] == 'u';
      return true;
    }
    v.kind = Value::Kind::Number;
    const auto r = std::from_chars(s_.data() + at_, s_.data() + s_.size(), v.number);
    if (r.ec != std::errc()) return false;
    at_ = std::size_t(r.ptr - s_.data());
    return true;
  }

  std::string_view s_;
  std::size_t at_ = 0;
};

inline std::optional<Value> Parse(std::string_view text) { return Reader(text).read(); }

}  // namespace rq::testjson
