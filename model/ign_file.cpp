// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ign_file.h"

#include "model/parameter_table.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

namespace rq {

namespace {

// One element of the file layout. The same list drives the writer and the reader.
enum class Kind : std::uint8_t {
  Key,      // line break, keyword, blanks up to its column
  Version,  // the version number as a word value
  Word,     // word parameter `a`
  Byte,     // image byte `a`, written as (byte + bias) * step
  Bit,      // bit `step` of image byte `a`, written as a word value 0 or 1
  Cont,     // line break and 15 blanks
};

struct Item {
  Kind kind;
  const char* key = nullptr;
  int a = 0;
  int step = 1;
  int bias = 0;
};

const std::vector<Item>& Layout() {
  static const std::vector<Item> items = [] {
    std::vector<Item> v;
    auto key = [&](const char* k) { v.push_back({Kind::Key, k}); };
    auto cont = [&] { v.push_back({Kind::Cont}); };
    auto word = [&](WordField w) { v.push_back({Kind::Word, nullptr, w.index}); };
    auto words = [&](WordArray a) {
      for (int i = 0; i < a.count; ++i) word(a[i]);
    };
    auto byte = [&](ByteField f, int step = 1, int bias = 0) {
      v.push_back({Kind::Byte, nullptr, f.offset, step, bias});
    };
    auto bytes = [&](ByteArray a) {
      for (int i = 0; i < a.count; ++i) byte(a[i]);
    };
    // Bytes written in user units: the step and bias are those of the parameter table.
    auto shown = [&](ByteField f) {
      const ParameterDef* d = FindParameterAt(f.offset);
      byte(f, d->step, d->bias);
    };
    auto shownAll = [&](ByteArray a) {
      for (int i = 0; i < a.count; ++i) shown(a[i]);
    };
    auto map = [&](ByteGrid g) {
      for (int t = 0; t < g.rows; ++t) {
        for (int r = 0; r < g.columns; ++r) byte(g.at(t, r));
        cont();
      }
    };

    key("TAVRENIX_KEY");
    v.push_back({Kind::Version});
    cont();
    key("BIKE");
    byte(kBikeType);
    key("INV_PICKUP");
    bytes(kInversePickup);
    key("COMPENSATION");
    bytes(kCompensation);
    key("PICKUP_SYSTEM");
    for (ByteField f : {kSyncMethod, kLobes, kOutputs, kRevsWithoutIgnition}) byte(f);
    cont();
    for (int c = 0; c < 2; ++c) {
      for (ByteField f : {kMaxAdvanceLobe[c], kMaxAdvanceSecondEdge[c], kMaxAdvanceSecondPickup[c]})
        byte(f);
      cont();
      for (ByteField f :
           {kStartAdvanceLobe[c], kStartAdvanceSecondEdge[c], kStartAdvanceSecondPickup[c]})
        byte(f);
      cont();
    }
    byte(kIgnitionsPerRev);
    key("RPM");
    byte(kTachoPulses);
    shown(kTachoCorrection);
    key("NO_READING");
    byte(kReadProtection);
    key("INPUT");
    bytes(kInputFunction);
    cont();
    bytes(kInputActiveOn);
    key("TPS");
    word(kTps0);
    word(kTps100);
    key("LIMITER");
    word(kStartSoftLimiter);
    word(kStartHardLimiter);
    byte(kStartLimiterDelay);
    word(kSoftLimiter);
    word(kHardLimiter);
    key("RETARD");
    byte(kRetard);
    byte(kRetardClutchCount);
    key("MAPA2_ACCEL");
    shown(kSecondMapAcceleration);
    key("POTENTIOMETER");
    byte(kPotMode);
    word(kPotRange);
    key("ADVANCE_MISC");
    byte(kMapsUseThrottle);
    byte(kBaseAdvance);
    shownAll(kAdvanceCorrection);
    key("ADVANCE_RPM1");
    words(kAdvance1Axis);
    cont();
    key("ADVANCE1");
    map(kAdvance1Cells);
    key("ADVANCE_RPM2");
    words(kAdvance2Axis);
    cont();
    key("ADVANCE2");
    map(kAdvance2Cells);
    key("SERRVO_MISC");
    for (ByteField f : {kServoEnable, kServoPercent, kServoMode, kServoHysteresis}) byte(f);
    key("SERVO_RPM");
    words(kServoAxis);
    cont();
    key("SERVO");
    map(kServoCells);
    static const char* const kPowerKeys[4] = {"POWER_OUT1", "POWER_OUT2", "POWER_OUT3",
                                              "POWER_OUT4"};
    for (int n = 0; n < 4; ++n) {
      key(kPowerKeys[n]);
      byte(kPowerMode[n]);
      cont();
      shownAll(kPowerRpm.row(n));
      shown(kPowerHysteresis[n]);
      cont();
      bytes(kPowerThrottle.row(n));
      for (int k = 0; k < 3; ++k) {
        cont();
        for (int c = 0; c < 4; ++c) v.push_back({Kind::Bit, nullptr, kPowerGrid.at(n, k).offset, c});
      }
    }
    cont();
    key("GEAR");
    byte(kGearSystem);
    byte(kGearCount);
    cont();
    words(kGearVoltage);
    cont();
    words(kGearRatio);
    key("GEAR_AUTO");
    byte(kLearnTime);
    shown(kLearnRpm);
    byte(kLearnThrottle);
    byte(kLearnBand);
    key("SPEED_PULSES");
    byte(kSpeedMode);
    word(kSpeedSetting);
    cont();
    key("CLUTCH");
    byte(kClutchMode);
    shownAll(kClutchPause);
    shown(kClutchMinRpm);
    byte(kClutchAdvance);
    key("CLUTCH_TIME");
    shownAll(kClutchTime);
    key("GEAR_CORR_ADV");
    shownAll(kGearAdvanceCorrection);
    key("GEAR_CORR_LIMITER");
    shownAll(kGearLimiterCorrection);
    key("GEAR_CORR_SERVO");
    shownAll(kGearServoCorrection);
    key("GEAR_CORR_POUT");
    for (int k = 0; k < 4; ++k) {
      cont();
      shownAll(kGearPowerCorrection.row(k));
    }
    key("TEST");
    shown(kTachoTestRpm);
    shown(kServoTestTime);
    cont();
    return v;
  }();
  return items;
}

// Keyword -> index of its item in the layout.
const std::unordered_map<std::string_view, std::size_t>& KeyIndex() {
  static const auto index = [] {
    std::unordered_map<std::string_view, std::size_t> m;
    const auto& items = Layout();
    for (std::size_t i = 0; i < items.size(); ++i)
      if (items[i].kind == Kind::Key) m.emplace(items[i].key, i);
    return m;
  }();
  return index;
}

constexpr const char* kLineBreak = "\r\n";
constexpr const char* kVersionKey = "TAVRENIX_KEY";

void AppendWord(std::string& out, unsigned value) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%5u ", value);
  out += buf;
}

void AppendInt(std::string& out, int value) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%5d ", value);
  out += buf;
}

}  // namespace

std::string WriteIgnText(const ParameterImage& image) {
  std::string out;
  out.reserve(6200);
  for (const Item& it : Layout()) {
    switch (it.kind) {
      case Kind::Key: {
        out += kLineBreak;
        const std::string key = it.key;
        out += key;
        const int length = static_cast<int>(key.size());
        int column = (length - 2) / 6 * 6 + 9;
        if (column < 15) column = 15;
        for (int i = length; i < column; ++i) out += ' ';
        break;
      }
      case Kind::Version: AppendWord(out, kImageVersion); break;
      case Kind::Word: AppendWord(out, image.word(it.a)); break;
      case Kind::Byte: AppendInt(out, (image.byte(it.a) + it.bias) * it.step); break;
      case Kind::Bit: AppendWord(out, (image.byte(it.a) >> it.step) & 1u); break;
      case Kind::Cont:
        out += kLineBreak;
        out.append(15, ' ');
        break;
    }
  }
  return out;
}

namespace {

// Reads tokens and numbers the way a formatted stream read does: a failed number read
// consumes nothing, so the token stays for the keyword loop.
class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  bool atEnd() {
    skipSpace();
    return pos_ >= text_.size();
  }

  std::string_view token() {
    skipSpace();
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !isSpace(text_[pos_])) ++pos_;
    return text_.substr(start, pos_ - start);
  }

  // An optional sign and at least one digit. Magnitudes are capped far above any value a
  // field can take, so the arithmetic that follows cannot overflow.
  bool number(long long& value) {
    skipSpace();
    std::size_t p = pos_;
    bool negative = false;
    if (p < text_.size() && (text_[p] == '-' || text_[p] == '+')) negative = text_[p++] == '-';
    if (p >= text_.size() || !isDigit(text_[p])) return false;
    long long magnitude = 0;
    constexpr long long kCap = 1'000'000'000'000LL;
    while (p < text_.size() && isDigit(text_[p])) {
      magnitude = magnitude * 10 + (text_[p] - '0');
      if (magnitude > kCap) magnitude = kCap;
      ++p;
    }
    pos_ = p;
    value = negative ? -magnitude : magnitude;
    return true;
  }

 private:
  static bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
  }
  static bool isDigit(char c) { return c >= '0' && c <= '9'; }
  void skipSpace() {
    while (pos_ < text_.size() && isSpace(text_[pos_])) ++pos_;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

long long Wrap(long long v, long long modulus) {
  long long r = v % modulus;
  return r < 0 ? r + modulus : r;
}

// Reads the values of the group that starts at layout index `start` (just after its key).
// Stops at the first value that is not a number; that field and the rest of the group keep
// their values and the token is left for the keyword loop.
void ReadGroup(Scanner& in, std::size_t start, ParameterImage& image, ImageByteSet& given) {
  const auto& items = Layout();
  bool gridCleared = false;
  for (std::size_t i = start; i < items.size() && items[i].kind != Kind::Key; ++i) {
    const Item& it = items[i];
    if (it.kind == Kind::Cont) continue;
    long long v = 0;
    if (!in.number(v)) return;
    switch (it.kind) {
      case Kind::Word:
        image.setWord(it.a, static_cast<long>(Wrap(v, 65536)));
        given.set(std::size_t(2 * it.a)).set(std::size_t(2 * it.a + 1));
        break;
      case Kind::Byte: {
        if (v >= 0) v %= 65536;
        image.setByte(it.a, static_cast<long>(Wrap(v / it.step - it.bias, 256)));
        given.set(std::size_t(it.a));
        break;
      }
      case Kind::Bit: {
        if (!gridCleared) {
          // The grid's three bytes of this output are rebuilt from its twelve numbers.
          for (int k = 0; k < 3; ++k) {
            image.setByte(it.a + k, 0);
            given.set(std::size_t(it.a + k));
          }
          gridCleared = true;
        }
        if (v != 0) image.setByte(it.a, image.byte(it.a) | (1 << it.step));
        break;
      }
      default: break;  // the version number of a repeated key is skipped
    }
  }
}

}  // namespace

IgnReadResult ReadIgnText(std::string_view text, ParameterImage& image, ImageByteSet* given) {
  IgnReadResult result;
  ImageByteSet unused;
  ImageByteSet& gave = given != nullptr ? *given : unused;
  Scanner in(text);
  while (!result.validKey) {
    if (in.atEnd()) return result;
    if (in.token() != kVersionKey) continue;
    long long v = 0;
    if (!in.number(v)) {
      result.badVersions.push_back(0);  // a key without a number is no valid key either
      continue;
    }
    const auto version = static_cast<unsigned long>(Wrap(v, 1LL << 32));
    if (version % 65536 == kImageVersion)
      result.validKey = true;
    else
      result.badVersions.push_back(version);
  }
  const auto& keys = KeyIndex();
  while (!in.atEnd()) {
    const auto it = keys.find(in.token());
    if (it != keys.end()) ReadGroup(in, it->second + 1, image, gave);
  }
  return result;
}

}  // namespace rq
