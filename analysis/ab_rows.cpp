// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/ab_rows.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace rq::analysis {

bool ReadForComparison(std::string_view column) {
  if (column == kAccelerationChannel || column == kAdvanceChannel) return true;
  for (const char* key : logs::kCellInputChannels)
    if (column == key) return true;
  for (const char* key : kBlockingChannels)
    if (column == key) return true;
  return false;
}

namespace {

// A digest of the columns the comparison reads and the start time: eight bytes at a time, each
// word mixed into the running value (splitmix64's finaliser).
std::uint64_t Digest(const AbLog& log) {
  std::uint64_t h = 0x243F6A8885A308D3ull;
  auto mix = [&h](std::uint64_t word) {
    std::uint64_t z = h ^ (word + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2));
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    h = z ^ (z >> 31);
  };
  auto column = [&mix](const auto& v) {
    const std::size_t bytes = v.size() * sizeof(v[0]);
    mix(bytes);
    const auto* p = reinterpret_cast<const unsigned char*>(v.data());
    std::size_t k = 0;
    for (; k + 8 <= bytes; k += 8) {
      std::uint64_t word;
      std::memcpy(&word, p + k, 8);
      mix(word);
    }
    std::uint64_t tail = 0;
    if (bytes > k) std::memcpy(&tail, p + k, bytes - k);
    mix(tail);
  };
  const logs::CellInputs& in = log.cells;
  column(in.time);
  column(in.rpm);
  column(in.throttle);
  column(in.secondMap);
  column(in.gear);
  column(log.acceleration);
  column(log.advance);
  column(log.blocked);
  mix(std::uint64_t(log.startMs.value_or(-1)));
  return h;
}

}  // namespace

std::optional<AbLog> ExtractAbLog(const logs::LogTable& log, std::string& error) {
  auto cells = logs::ExtractCellInputs(log, error);
  if (!cells) return std::nullopt;
  if (!cells->hasGear) {
    error = "the log has no gear column: the maps are compared within each gear";
    return std::nullopt;
  }
  if (!cells->hasSecondMap) {
    error = "the log has no second_map column: it does not say which map the unit used";
    return std::nullopt;
  }
  AbLog out;
  out.cells = std::move(*cells);
  const std::size_t n = log.rows();
  const float unknown = std::numeric_limits<float>::quiet_NaN();
  out.acceleration.assign(n, unknown);
  if (const int c = log.find(kAccelerationChannel); c >= 0) {
    const logs::LogColumn& col = log.column(std::size_t(c));
    for (std::size_t i = 0; i < n; ++i) out.acceleration[i] = static_cast<float>(col.value(i));
  } else {
    out.accelerationDerived = true;
    const auto& t = out.cells.time;
    const auto& rpm = out.cells.rpm;
    for (std::size_t i = 1; i < n; ++i) {
      const double dt = t[i] - t[i - 1];
      if (dt > 0 && dt <= logs::kSteadyGapS)
        out.acceleration[i] = static_cast<float>(std::max(0.0, (int(rpm[i]) - int(rpm[i - 1])) / dt));
    }
  }
  if (const int c = log.find(kAdvanceChannel); c >= 0) {
    const logs::LogColumn& col = log.column(std::size_t(c));
    out.advance.resize(n);
    for (std::size_t i = 0; i < n; ++i) out.advance[i] = static_cast<float>(col.value(i));
  }
  for (std::size_t i = 0; i < n; ++i) {
    if (!(std::fabs(out.acceleration[i]) <= kMaxAcceleration) && !std::isnan(out.acceleration[i])) {
      error = "row " + std::to_string(i + 1) + ": the acceleration is beyond what the unit's channel " +
              "carries (±65535 rpm/s)";
      return std::nullopt;
    }
  }
  out.blocked.assign(n, 0);
  for (const char* key : kBlockingChannels) {
    const int c = log.find(key);
    if (c < 0) continue;
    const logs::LogColumn& col = log.column(std::size_t(c));
    for (std::size_t i = 0; i < n; ++i)
      if (col.value(i) != 0) out.blocked[i] = 1;
  }
  out.startMs = log.startMs();
  out.seconds = n > 0 ? out.cells.time.back() - out.cells.time.front() : 0;
  out.digest = Digest(out);
  return out;
}

logs::LoadOptions AbLoadOptions() {
  logs::LoadOptions load;
  load.keepColumn = ReadForComparison;
  load.bound = [](std::string_view column) {
    return column == kAccelerationChannel ? kMaxAcceleration : std::numeric_limits<double>::infinity();
  };
  return load;
}

std::optional<AbLog> LoadAbLog(const std::string& path, std::string& error,
                               std::function<bool(std::uint64_t, std::uint64_t)> progress,
                               bool* cancelled) {
  logs::LoadOptions load = AbLoadOptions();
  load.progress = std::move(progress);
  const logs::LoadResult loaded = logs::LoadCsvFile(path, load);
  if (cancelled != nullptr) *cancelled = loaded.cancelled;
  if (!loaded.ok()) {
    error = path + ": " + loaded.error.message;
    return std::nullopt;
  }
  auto log = ExtractAbLog(*loaded.table, error);
  if (!log) error = path + ": " + error;
  return log;
}

namespace {

struct ReasonWords {
  const char* key;
  const char* text;
};
// In the order of RowReason.
constexpr ReasonWords kReasonWords[kRowReasons] = {
    {"counted", "counted"},
    {"engine_stopped", "engine stopped"},
    {"blocked", "limiter, start limiter, clutch master, retard, kill switch or base advance"},
    {"no_gear", "no gear"},
    {"gear_left_out", "gear not asked for"},
    {"throttle_low", "throttle below the minimum"},
    {"throttle_moving", "throttle moving"},
    {"acceleration_unknown", "acceleration unknown"},
    {"no_cell", "no cell on the page"},
};

}  // namespace

const char* RowReasonKey(RowReason reason) { return kReasonWords[std::size_t(reason)].key; }
const char* RowReasonText(RowReason reason) { return kReasonWords[std::size_t(reason)].text; }

std::vector<RowReason> SelectAbRows(const AbLog& log, const AbSelection& selection) {
  const logs::CellInputs& in = log.cells;
  // The throttle half of the cells' steady rule: engine speed may change as fast as it likes.
  logs::CellFilter steady;
  steady.steadyOnly = true;
  steady.maxRpmPerS = std::numeric_limits<double>::infinity();
  steady.maxThrottlePctPerS = selection.maxThrottlePctPerS;
  const std::vector<std::uint8_t> throttleSteady = logs::RowsPassing(in, steady);
  const double minThrottle = selection.minThrottlePct * 10;  // tenths of a percent
  std::vector<RowReason> out(in.rows());
  for (std::size_t i = 0; i < in.rows(); ++i) {
    const unsigned gear = in.gear[i];
    RowReason r = RowReason::Counted;
    if (in.rpm[i] == 0) r = RowReason::EngineStopped;
    else if (log.blocked[i] != 0) r = RowReason::Blocked;
    else if (gear == 0 || gear > 6) r = RowReason::NoGear;
    else if ((selection.gears & (1u << gear)) == 0) r = RowReason::GearLeftOut;
    else if (in.throttle[i] < minThrottle) r = RowReason::ThrottleLow;
    else if (throttleSteady[i] == 0) r = RowReason::ThrottleMoving;
    else if (std::isnan(log.acceleration[i])) r = RowReason::AccelerationUnknown;
    out[i] = r;
  }
  return out;
}

}  // namespace rq::analysis
