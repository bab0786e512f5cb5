// SPDX-License-Identifier: GPL-3.0-or-later
#include "logs/log_table.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "model/file_io.h"

namespace rq::logs {

namespace {

// Beyond this many rows a log is refused (the time axis alone would take 128 MB).
constexpr std::size_t kMaxRows = 16'000'000;
constexpr std::size_t kChunkBytes = 1 << 20;

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// Seconds per unit when the header names a time column, else 0.
double TimeHeaderUnit(std::string_view header) {
  const std::string h = Lower(Trim(header));
  const std::size_t cut = h.find_first_of(" ([_/");
  const std::string base = h.substr(0, cut);
  static constexpr std::string_view kNames[] = {"time", "t", "timestamp", "elapsed", "seconds", "sec"};
  if (std::find(std::begin(kNames), std::end(kNames), base) == std::end(kNames)) return 0.0;
  const std::string rest = cut == std::string::npos ? std::string() : h.substr(cut);
  if (rest.find("ms") != std::string::npos) return 0.001;
  return 1.0;
}

// Days from 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

bool Digits(std::string_view s, std::size_t at, std::size_t n, int& out) {
  if (at + n > s.size()) return false;
  int v = 0;
  for (std::size_t i = at; i < at + n; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    v = v * 10 + (s[i] - '0');
  }
  out = v;
  return true;
}

// "HH:MM:SS(.fff)" from `at` to the end, as milliseconds of the day.
bool ParseClock(std::string_view s, std::size_t at, std::int64_t& ms) {
  int hh = 0, mm = 0, ss = 0;
  if (!Digits(s, at, 2, hh) || s.size() < at + 8 || s[at + 2] != ':' || !Digits(s, at + 3, 2, mm) ||
      s[at + 5] != ':' || !Digits(s, at + 6, 2, ss) || hh > 23 || mm > 59 || ss > 60)
    return false;
  std::size_t i = at + 8;
  int frac = 0, scale = 1000;
  if (i < s.size()) {
    if (s[i] != '.' && s[i] != ',') return false;
    ++i;
    if (i == s.size()) return false;
    for (; i < s.size(); ++i) {
      if (s[i] < '0' || s[i] > '9') return false;
      if (scale > 1) {
        scale /= 10;
        frac += (s[i] - '0') * scale;
      }
    }
  }
  ms = ((hh * 60 + mm) * 60 + ss) * 1000LL + frac;
  return true;
}

// "YYYY-MM-DDTHH:MM:SS(.fff)" (or a blank for the T) as milliseconds since the epoch, the
// local time taken as written.
bool ParseDateTime(std::string_view s, std::int64_t& ms) {
  int y = 0, mo = 0, d = 0;
  if (s.size() < 19 || !Digits(s, 0, 4, y) || s[4] != '-' || !Digits(s, 5, 2, mo) || s[7] != '-' ||
      !Digits(s, 8, 2, d) || (s[10] != 'T' && s[10] != ' ') || mo < 1 || mo > 12 || d < 1 || d > 31)
    return false;
  std::int64_t dayMs = 0;
  if (!ParseClock(s, 11, dayMs)) return false;
  ms = DaysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d)) * 86'400'000LL + dayMs;
  return true;
}

// A plain decimal ("-12.30"): sign, up to 18 digits and where the point was.
struct Decimal {
  std::int64_t mantissa = 0;  // signed
  int decimals = 0;
};

constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9,
                             1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};
constexpr std::int64_t kPow10Int[] = {1, 10, 100, 1000, 10000, 100000, 1000000};

bool ParseDecimal(std::string_view s, bool decimalComma, Decimal& out) {
  std::size_t i = 0;
  bool neg = false;
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
    neg = s[0] == '-';
    i = 1;
  }
  std::int64_t mant = 0;
  int digits = 0, decimals = 0;
  bool point = false;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (c >= '0' && c <= '9') {
      if (digits >= 18) return false;
      mant = mant * 10 + (c - '0');
      ++digits;
      decimals += point ? 1 : 0;
    } else if ((c == '.' || (c == ',' && decimalComma)) && !point) {
      point = true;
    } else {
      return false;
    }
  }
  if (digits == 0) return false;
  out.mantissa = neg ? -mant : mant;
  out.decimals = decimals;
  return true;
}

// A number: plain decimals quickly, anything else (exponents, "inf" refused) through
// from_chars. A decimal comma is taken when the fields are not separated by commas.
bool ParseNumber(std::string_view s, bool decimalComma, double& out) {
  Decimal d;
  if (ParseDecimal(s, decimalComma, d)) {
    out = static_cast<double>(d.mantissa) / kPow10[d.decimals];
    return true;
  }
  char buf[64];
  if (s.empty() || s.size() >= sizeof buf) return false;
  std::size_t n = 0;
  for (char c : s) buf[n++] = decimalComma && c == ',' ? '.' : c;
  const char* b = buf;
  const char* e = buf + n;
  if (*b == '+') ++b;
  const auto r = std::from_chars(b, e, out);
  return r.ec == std::errc() && r.ptr == e && std::isfinite(out);
}

// One field of a line: blanks around it and a pair of double quotes taken off.
std::string_view Unquote(std::string_view f) {
  f = Trim(f);
  if (f.size() >= 2 && f.front() == '"' && f.back() == '"') f = f.substr(1, f.size() - 2);
  return f;
}

// Splits a line at the separator; separators inside double quotes do not split. False when a
// quote is left open.
bool SplitLine(std::string_view line, char sep, std::vector<std::string_view>& fields) {
  fields.clear();
  if (std::memchr(line.data(), '"', line.size()) == nullptr) {
    const char* p = line.data();
    const char* end = p + line.size();
    for (;;) {
      const void* at = std::memchr(p, sep, static_cast<std::size_t>(end - p));
      if (at == nullptr) break;
      const char* q = static_cast<const char*>(at);
      fields.emplace_back(p, static_cast<std::size_t>(q - p));
      p = q + 1;
    }
    fields.emplace_back(p, static_cast<std::size_t>(end - p));
    return true;
  }
  std::size_t start = 0;
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (c == sep && !quoted) {
      fields.push_back(line.substr(start, i - start));
      start = i + 1;
    }
  }
  fields.push_back(line.substr(start));
  return !quoted;
}

std::string Quoted(std::string_view s) {
  std::string out = "\"";
  out += s.size() > 40 ? std::string(s.substr(0, 40)) + "..." : std::string(s);
  out += '"';
  return out;
}

// "little-endian" or "big-endian" when the first line is UTF-16 text, else nullptr: a byte
// order mark, or NUL bytes in every other place (the high bytes of Latin letters).
const char* Utf16Order(std::string_view first) {
  if (first.size() >= 2 && first[0] == '\xFF' && first[1] == '\xFE') return "little-endian";
  if (first.size() >= 2 && first[0] == '\xFE' && first[1] == '\xFF') return "big-endian";
  const std::size_t n = std::min<std::size_t>(first.size(), 256) / 2 * 2;
  if (n < 2) return nullptr;
  std::size_t nulEven = 0, nulOdd = 0;
  for (std::size_t i = 0; i < n; ++i)
    if (first[i] == '\0') ++(i % 2 == 0 ? nulEven : nulOdd);
  const std::size_t pairs = n / 2;
  if (nulOdd * 4 >= pairs * 3 && nulEven * 4 < pairs) return "little-endian";
  if (nulEven * 4 >= pairs * 3 && nulOdd * 4 < pairs) return "big-endian";
  return nullptr;
}

constexpr const char* kLineTooLong = "the line is longer than 1 MB; lines that long are not read";

std::string Seconds(double s) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.3f", s);
  return buf;
}

}  // namespace

std::size_t LogColumn::size() const {
  switch (codec_.storage) {
    case Storage::Word: return words_.size();
    case Storage::SignedWord: return signedWords_.size();
    case Storage::Byte: return bytes_.size();
    case Storage::Float: break;
  }
  return floats_.size();
}

int LogColumn::raw(std::size_t row) const {
  switch (codec_.storage) {
    case Storage::Word: return words_[row];
    case Storage::SignedWord: return signedWords_[row];
    case Storage::Byte: return bytes_[row];
    case Storage::Float: break;
  }
  const float f = floats_[row];
  if (!(f > -2e9f && f < 2e9f)) return 0;
  return static_cast<int>(std::lround(f));
}

std::size_t LogColumn::memoryBytes() const {
  return words_.capacity() * 2 + signedWords_.capacity() * 2 + bytes_.capacity() +
         floats_.capacity() * 4 + sizeof(*this);
}

int LogTable::find(std::string_view header) const {
  for (std::size_t i = 0; i < columns_.size(); ++i)
    if (columns_[i].name() == header) return static_cast<int>(i);
  return -1;
}

std::size_t LogTable::rowAtOrBefore(double t) const {
  const auto it = std::upper_bound(time_.begin(), time_.end(), t);
  if (it == time_.begin()) return 0;
  return static_cast<std::size_t>(it - time_.begin()) - 1;
}

std::size_t LogTable::memoryBytes() const {
  std::size_t n = time_.capacity() * sizeof(double) + sizeof(*this);
  for (const LogColumn& c : columns_) n += c.memoryBytes();
  return n;
}

// Builds a table line by line; the first failure ends the load.
class CsvLoader {
 public:
  explicit CsvLoader(const LoadOptions& o) : codecFor_(o.codecFor), keepColumn_(o.keepColumn), bound_(o.bound) {}

  // The table rows go into: the loader's own until finish() hands it out, then (following a
  // log that grows) the one it became.
  void attach(LogTable& table) { table_ = &table; }
  std::size_t lineNumber() const { return lineNo_; }

  void expectRows(std::size_t rows) { expectedRows_ = rows; }

  // One line without its line end. False on the first error.
  bool line(std::string_view text) {
    ++lineNo_;
    if (lineNo_ == 1) {
      if (const char* order = Utf16Order(text))
        return fail(0, 0,
                    std::string("the file is UTF-16 text (") + order +
                        "); only UTF-8 is read: save it as UTF-8");
      if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    }
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    if (text.size() > kMaxLineBytes) return fail(lineNo_, 0, kLineTooLong);
    if (Trim(text).empty()) return true;  // blank lines carry nothing
    if (!haveHeader_) return header(text);
    return row(text);
  }

  LoadResult finish() {
    LoadResult r;
    if (failed_) {
      r.error = error_;
      r.cancelled = cancelled_;
      return r;
    }
    if (!haveHeader_) return fail(0, 0, "the file is empty"), finish();
    if (table_->rows() == 0) return fail(0, 0, "the file has a header row but no data rows"), finish();
    r.table = std::move(*table_);
    return r;
  }

  bool fail(std::size_t line, std::size_t column, const std::string& what) {
    if (failed_) return false;
    failed_ = true;
    error_.line = line;
    error_.column = column;
    std::string where;
    if (line > 0) where = "line " + std::to_string(line);
    if (column > 0) {
      where += ", column " + std::to_string(column);
      const std::string& name = column - 1 < headers_.size() ? headers_[column - 1] : std::string();
      if (!name.empty()) where += " (" + name + ")";
    }
    error_.message = where.empty() ? what : where + ": " + what;
    return false;
  }

  bool failed() const { return failed_; }
  // The line after the last one given is longer than kMaxLineBytes.
  bool nextLineTooLong() { return fail(lineNo_ + 1, 0, kLineTooLong); }
  void cancel() {
    fail(0, 0, "the load was cancelled");
    cancelled_ = true;
  }

 private:
  bool header(std::string_view text) {
    haveHeader_ = true;
    // The separator is the one of comma, semicolon and tab that the header uses most.
    std::size_t best = 0;
    for (char c : {',', ';', '\t'}) {
      const auto n = static_cast<std::size_t>(std::count(text.begin(), text.end(), c));
      if (n > best) {
        best = n;
        sep_ = c;
      }
    }
    decimalComma_ = sep_ != ',';
    if (!SplitLine(text, sep_, fields_)) return fail(lineNo_, 0, "a quote in the header row is not closed");
    const std::size_t reserve = std::min(expectedRows_, kMaxRows);
    for (std::size_t i = 0; i < fields_.size(); ++i) {
      std::string name(Unquote(fields_[i]));
      if (name.empty()) name = "column " + std::to_string(i + 1);
      headers_.push_back(name);
      if (timeField_ < 0) {
        const double unit = TimeHeaderUnit(name);
        if (unit > 0) {
          timeField_ = static_cast<int>(i);
          timeUnit_ = unit;
          table_->timeColumn_ = name;
          continue;
        }
      }
      if (keepColumn_ && !keepColumn_(name)) {
        fieldColumn_.push_back(kSkipSlot);
        continue;
      }
      ColumnCodec codec;
      if (codecFor_)
        if (auto c = codecFor_(name)) codec = *c;
      if (!(codec.scale != 0 && std::isfinite(codec.scale) && std::isfinite(codec.offset)))
        codec = ColumnCodec{};
      fieldColumn_.push_back(table_->columns_.size());
      exact_.push_back(ExactOf(codec));
      bounds_.push_back(bound_ ? bound_(name) : std::numeric_limits<double>::infinity());
      table_->columns_.emplace_back(name, codec);
      LogColumn& col = table_->columns_.back();
      switch (codec.storage) {
        case Storage::Word: col.words_.reserve(reserve); break;
        case Storage::SignedWord: col.signedWords_.reserve(reserve); break;
        case Storage::Byte: col.bytes_.reserve(reserve); break;
        case Storage::Float: col.floats_.reserve(reserve); break;
      }
    }
    if (timeField_ >= 0) fieldColumn_.insert(fieldColumn_.begin() + timeField_, kTimeSlot);
    table_->time_.reserve(reserve);
    return true;
  }

  bool row(std::string_view text) {
    if (table_->rows() >= kMaxRows)
      return fail(lineNo_, 0, "the log has more than " + std::to_string(kMaxRows) + " rows, more than this program reads");
    if (!SplitLine(text, sep_, fields_)) return fail(lineNo_, 0, "a quote is not closed");
    if (fields_.size() != headers_.size())
      return fail(lineNo_, 0,
                  "the row has " + std::to_string(fields_.size()) + " fields, the header row " +
                      std::to_string(headers_.size()));
    for (std::size_t i = 0; i < fields_.size(); ++i) {
      const std::size_t slot = fieldColumn_[i];
      if (slot == kSkipSlot) continue;
      const std::string_view f = Unquote(fields_[i]);
      if (slot == kTimeSlot) {
        if (!timeCell(f, i + 1)) return false;
        continue;
      }
      if (f.empty()) return fail(lineNo_, i + 1, "the field is empty");
      LogColumn& col = table_->columns_[slot];
      Decimal d;
      if (exact_[slot].digits >= 0 && ParseDecimal(f, decimalComma_, d) && storeExact(col, exact_[slot], d)) {
        if (std::isfinite(bounds_[slot]) && !(std::fabs(col.value(col.size() - 1)) <= bounds_[slot]))
          return beyond(f, i, col);
        continue;
      }
      double v = 0;
      if (!ParseNumber(f, decimalComma_, v)) return fail(lineNo_, i + 1, Quoted(f) + " is not a number");
      if (!(std::fabs(v) <= bounds_[slot])) return beyond(f, i, col);
      // A value beyond a float's range would be kept as infinity.
      if (!(std::fabs(v) <= std::numeric_limits<float>::max()))
        return fail(lineNo_, i + 1, Quoted(f) + " does not fit the column (beyond ±3.4e38)");
      store(col, v);
    }
    if (timeField_ < 0) table_->time_.push_back(static_cast<double>(table_->time_.size()));
    return true;
  }

  bool beyond(std::string_view f, std::size_t field, const LogColumn& col) {
    char bound[32];
    std::snprintf(bound, sizeof bound, "%g", bounds_[fieldColumn_[field]]);
    return fail(lineNo_, field + 1,
                Quoted(f) + " is beyond what the unit's channel " + col.name() + " carries (±" +
                    bound + ")");
  }

  bool timeCell(std::string_view f, std::size_t column) {
    if (f.empty()) return fail(lineNo_, column, "the time is empty");
    double t = 0;
    if (table_->time_.empty()) {
      std::int64_t ms = 0;
      if (ParseDateTime(f, ms)) {
        timeKind_ = TimeKind::DateTime;
        table_->startMs_ = ms;
      } else if (ParseClock(f, 0, ms)) {
        timeKind_ = TimeKind::Clock;
        clockStartMs_ = ms;
      } else if (ParseNumber(f, decimalComma_, t)) {
        if (!timeInRange(t, f, column)) return false;
        timeKind_ = TimeKind::Number;
        firstNumber_ = t * timeUnit_;
      } else {
        return fail(lineNo_, column, Quoted(f) + " is not a time");
      }
      table_->time_.push_back(0.0);
      return true;
    }
    std::int64_t ms = 0;
    switch (timeKind_) {
      case TimeKind::DateTime:
        if (!ParseDateTime(f, ms)) return fail(lineNo_, column, Quoted(f) + " is not a date and time like the rows before");
        t = static_cast<double>(ms - *table_->startMs_) / 1000.0;
        break;
      case TimeKind::Clock: {
        if (!ParseClock(f, 0, ms)) return fail(lineNo_, column, Quoted(f) + " is not a time of day like the rows before");
        // A time of day runs over midnight into the next day.
        ms += clockDays_ * 86'400'000LL;
        if (ms - clockStartMs_ < static_cast<std::int64_t>(table_->time_.back() * 1000.0) - 43'200'000LL) {
          ++clockDays_;
          ms += 86'400'000LL;
        }
        t = static_cast<double>(ms - clockStartMs_) / 1000.0;
        break;
      }
      case TimeKind::Number:
        if (!ParseNumber(f, decimalComma_, t)) return fail(lineNo_, column, Quoted(f) + " is not a number");
        if (!timeInRange(t, f, column)) return false;
        t = t * timeUnit_ - firstNumber_;
        break;
    }
    const double before = table_->time_.back();
    if (t < before)
      return fail(lineNo_, column,
                  "the time goes backwards (" + Seconds(t) + " s after " + Seconds(before) +
                      " s from the first row)");
    table_->time_.push_back(t);
    return true;
  }

  // A number time as written, in seconds, within the bound.
  bool timeInRange(double t, std::string_view f, std::size_t column) {
    if (std::fabs(t * timeUnit_) <= kMaxTimeSeconds) return true;
    return fail(lineNo_, column, Quoted(f) + " is beyond ±1e12 s");
  }

  // A raw column whose scale is 10^-digits and whose offset is a whole number of those steps
  // takes plain decimals without any floating point: raw = mantissa x 10^(digits - decimals)
  // - offset steps.
  struct Exact {
    int digits = -1;  // -1: no exact path
    std::int64_t offsetSteps = 0;
  };
  static Exact ExactOf(const ColumnCodec& c) {
    Exact e;
    if (c.storage == Storage::Float) return e;
    for (int d = 0; d <= 6; ++d) {
      const double steps = c.offset * kPow10[d];
      if (std::fabs(c.scale * kPow10[d] - 1.0) < 1e-12 && std::fabs(steps - std::nearbyint(steps)) < 1e-9 &&
          std::fabs(steps) < 1e12) {
        e.digits = d;
        e.offsetSteps = static_cast<std::int64_t>(std::nearbyint(steps));
        break;
      }
    }
    return e;
  }

  // False when the decimal is not a whole raw number in range (the float path decides then).
  static bool storeExact(LogColumn& col, const Exact& e, const Decimal& d) {
    if (d.decimals > e.digits || d.mantissa > 1'000'000'000'000 || d.mantissa < -1'000'000'000'000)
      return false;
    const std::int64_t raw = d.mantissa * kPow10Int[e.digits - d.decimals] - e.offsetSteps;
    switch (col.codec_.storage) {
      case Storage::Word:
        if (raw < 0 || raw > 65535) return false;
        col.words_.push_back(static_cast<std::uint16_t>(raw));
        return true;
      case Storage::SignedWord:
        if (raw < -32768 || raw > 32767) return false;
        col.signedWords_.push_back(static_cast<std::int16_t>(raw));
        return true;
      case Storage::Byte:
        if (raw < 0 || raw > 255) return false;
        col.bytes_.push_back(static_cast<std::uint8_t>(raw));
        return true;
      case Storage::Float: break;
    }
    return false;
  }

  // Stores a value; a channel column meeting a value its words cannot hold becomes a float
  // column, losing nothing.
  void store(LogColumn& col, double v) {
    const ColumnCodec& c = col.codec_;
    if (c.storage != Storage::Float) {
      const double rawF = (v - c.offset) / c.scale;
      const double r = std::nearbyint(rawF);
      const bool whole = std::fabs(rawF - r) <= 1e-6 * std::max(1.0, std::fabs(r));
      switch (c.storage) {
        case Storage::Word:
          if (whole && r >= 0 && r <= 65535) return col.words_.push_back(static_cast<std::uint16_t>(r));
          break;
        case Storage::SignedWord:
          if (whole && r >= -32768 && r <= 32767) return col.signedWords_.push_back(static_cast<std::int16_t>(r));
          break;
        case Storage::Byte:
          if (whole && r >= 0 && r <= 255) return col.bytes_.push_back(static_cast<std::uint8_t>(r));
          break;
        case Storage::Float: break;
      }
      toFloat(col);
    }
    col.floats_.push_back(static_cast<float>(v));
  }

  void toFloat(LogColumn& col) {
    const std::size_t n = col.size();
    std::vector<float> f;
    f.reserve(std::max(n + 1, col.words_.capacity() + col.signedWords_.capacity() + col.bytes_.capacity()));
    for (std::size_t i = 0; i < n; ++i) f.push_back(static_cast<float>(col.value(i)));
    col.words_ = {};
    col.signedWords_ = {};
    col.bytes_ = {};
    col.floats_ = std::move(f);
    col.codec_ = ColumnCodec{};
  }

  enum class TimeKind { DateTime, Clock, Number };
  static constexpr std::size_t kTimeSlot = std::numeric_limits<std::size_t>::max();
  static constexpr std::size_t kSkipSlot = kTimeSlot - 1;  // a column left out by keepColumn

  CodecLookup codecFor_;
  std::function<bool(std::string_view name)> keepColumn_;
  std::function<double(std::string_view name)> bound_;
  LogTable own_;
  LogTable* table_ = &own_;
  std::vector<std::string> headers_;
  std::vector<std::size_t> fieldColumn_;  // per field: column index, kTimeSlot or kSkipSlot
  std::vector<Exact> exact_;              // per column
  std::vector<double> bounds_;            // per column: LoadOptions::bound, or infinity
  std::vector<std::string_view> fields_;
  std::size_t expectedRows_ = 0;
  std::size_t lineNo_ = 0;
  bool haveHeader_ = false;
  bool failed_ = false;
  bool cancelled_ = false;
  LoadError error_;
  char sep_ = ',';
  bool decimalComma_ = false;
  int timeField_ = -1;
  double timeUnit_ = 1.0;
  TimeKind timeKind_ = TimeKind::Number;
  double firstNumber_ = 0;
  std::int64_t clockStartMs_ = 0;
  std::int64_t clockDays_ = 0;
};

namespace {

// Rows to reserve for: the size over the mean length of the first lines, plus a margin.
std::size_t EstimateRows(std::string_view start, std::uint64_t totalBytes) {
  std::size_t lines = 0, pos = 0;
  while (lines < 200) {
    const std::size_t nl = start.find('\n', pos);
    if (nl == std::string_view::npos) break;
    pos = nl + 1;
    ++lines;
  }
  if (lines < 2) return 0;
  const double perLine = static_cast<double>(pos) / static_cast<double>(lines);
  return static_cast<std::size_t>(static_cast<double>(totalBytes) / perLine * 1.05) + 16;
}

// Feeds whole lines of `buffer` to the loader; returns how many bytes were consumed.
std::size_t FeedLines(CsvLoader& loader, std::string_view buffer) {
  std::size_t pos = 0;
  for (;;) {
    const void* nl = std::memchr(buffer.data() + pos, '\n', buffer.size() - pos);
    if (nl == nullptr) return pos;
    const std::size_t end = static_cast<std::size_t>(static_cast<const char*>(nl) - buffer.data());
    if (!loader.line(buffer.substr(pos, end - pos))) return buffer.size();
    pos = end + 1;
  }
}

std::string SizeText(std::uint64_t bytes) {
  char buf[48];
  if (bytes >= (1ull << 30))
    std::snprintf(buf, sizeof buf, "%.1f GB", static_cast<double>(bytes) / (1ull << 30));
  else
    std::snprintf(buf, sizeof buf, "%.0f MB", static_cast<double>(bytes) / (1ull << 20));
  return buf;
}

}  // namespace

LoadResult ParseCsvText(std::string_view text, const LoadOptions& options) {
  CsvLoader loader(options);
  if (text.size() > options.maxBytes) {
    loader.fail(0, 0, "the log is " + SizeText(text.size()) + "; logs above " + SizeText(options.maxBytes) + " are not read");
    return loader.finish();
  }
  loader.expectRows(EstimateRows(text.substr(0, 1 << 16), text.size()));
  const std::size_t used = FeedLines(loader, text);
  if (!loader.failed() && used < text.size()) loader.line(text.substr(used));
  return loader.finish();
}

LoadResult LoadCsvFile(const std::string& path, const LoadOptions& options) {
  auto owned = std::make_unique<CsvLoader>(options);
  CsvLoader& loader = *owned;
  const RegularFile file = OpenRegularFile(path);
  if (file.error != 0) {
    loader.fail(0, 0, "cannot open the file: " + std::string(std::strerror(file.error)));
    return loader.finish();
  }
  if (file.kind != nullptr) {
    loader.fail(0, 0,
                std::string("cannot read the file: it is ") + file.kind +
                    "; only a regular file can be read");
    return loader.finish();
  }
  const int fd = file.fd;
  if (file.size > options.maxBytes) {
    ::close(fd);
    loader.fail(0, 0,
                "the log is " + SizeText(file.size) + "; logs above " + SizeText(options.maxBytes) +
                    " are not read");
    return loader.finish();
  }
  struct stat st {};
  ::fstat(fd, &st);
  // Pieces of a chunk, with room for the longest line taken: the buffer never grows.
  std::string buffer(kChunkBytes + kMaxLineBytes + 2, '\0');
  std::size_t filled = 0;
  std::uint64_t done = 0;
  bool first = true;
  for (;;) {
    const ssize_t n = ::read(fd, buffer.data() + filled, buffer.size() - filled);
    if (n < 0) {
      if (errno == EINTR) continue;
      loader.fail(0, 0, "cannot read the file: " + std::string(std::strerror(errno)));
      break;
    }
    if (n == 0) {
      if (filled > 0 && !loader.failed()) loader.line(std::string_view(buffer.data(), filled));
      break;
    }
    filled += static_cast<std::size_t>(n);
    done += static_cast<std::uint64_t>(n);
    if (first) {
      loader.expectRows(EstimateRows(std::string_view(buffer.data(), filled), file.size));
      first = false;
    }
    const std::size_t used = FeedLines(loader, std::string_view(buffer.data(), filled));
    if (loader.failed()) break;
    std::memmove(buffer.data(), buffer.data() + used, filled - used);
    filled -= used;
    // What is left is the start of a line; one beyond the limit is refused at once.
    if (filled > kMaxLineBytes + 1) {  // + 1: its carriage return
      loader.nextLineTooLong();
      break;
    }
    if (options.progress && !options.progress(done, file.size)) {
      loader.cancel();
      break;
    }
  }
  ::close(fd);
  LoadResult r = loader.finish();
  if (r.ok() && options.keepTail)
    r.tail = std::shared_ptr<LogTail>(new LogTail(std::move(owned), path, done,
                                                  std::uint64_t(st.st_dev),
                                                  std::uint64_t(st.st_ino)));
  return r;
}

LogTail::LogTail(std::unique_ptr<CsvLoader> loader, std::string path, std::uint64_t offset,
                 std::uint64_t device, std::uint64_t inode)
    : loader_(std::move(loader)), path_(std::move(path)), offset_(offset), device_(device),
      inode_(inode) {}

LogTail::~LogTail() = default;

std::size_t LogTail::poll(LogTable& table, std::string& error) {
  if (!error_.empty()) {
    error = error_;
    return 0;
  }
  const std::size_t before = table.rows();
  auto stop = [&](const std::string& why) {
    error_ = error = why;
    return table.rows() - before;
  };
  const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0)
    return stop("the log cannot be read any more: " + std::string(std::strerror(errno)));
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || std::uint64_t(st.st_dev) != device_ ||
      std::uint64_t(st.st_ino) != inode_) {
    ::close(fd);
    return stop("the log was replaced by another file");
  }
  if (std::uint64_t(st.st_size) < offset_) {
    ::close(fd);
    return stop("the log was made shorter");
  }
  loader_->attach(table);
  // What a poll takes at most: a log written for hours is followed in steps, never in one
  // long pause.
  const std::uint64_t end =
      std::min<std::uint64_t>(std::uint64_t(st.st_size), offset_ + kChunkBytes);
  std::string buffer(static_cast<std::size_t>(end - offset_), '\0');
  std::size_t got = 0;
  while (got < buffer.size()) {
    const ssize_t n = ::pread(fd, buffer.data() + got, buffer.size() - got, off_t(offset_ + got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  const std::size_t used = FeedLines(*loader_, std::string_view(buffer.data(), got));
  if (loader_->failed()) return stop(loader_->finish().error.message);
  offset_ += used;
  // A line still being written waits for its end, unless it is already too long to read.
  if (got - used > kMaxLineBytes + 1) {
    loader_->nextLineTooLong();
    return stop(loader_->finish().error.message);
  }
  return table.rows() - before;
}

}  // namespace rq::logs
