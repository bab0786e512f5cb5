// SPDX-License-Identifier: GPL-3.0-or-later
#include "abmode/ab_rides.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace rq::abmode {

std::uint64_t AbRides::add(AbRide ride) {
  ride.id = nextId_++;
  rides_.push_back(std::move(ride));
  ++generation_;
  return rides_.back().id;
}

void AbRides::remove(std::size_t index) {
  if (index >= rides_.size()) return;
  if (rides_[index].open) dismissed_ = rides_[index].table.get();
  rides_.erase(rides_.begin() + std::ptrdiff_t(index));
  ++generation_;
}

void AbRides::setOpenRide(std::optional<AbRide> ride) {
  const auto was = std::find_if(rides_.begin(), rides_.end(), [](const AbRide& r) { return r.open; });
  if (ride && ride->table.get() == dismissed_ && dismissed_ != nullptr) return;
  if (was != rides_.end()) {
    if (ride && was->table == ride->table) return;
    rides_.erase(was);
    ++generation_;
  }
  if (!ride) return;
  dismissed_ = nullptr;
  ride->open = true;
  ride->id = nextId_++;
  rides_.insert(rides_.begin(), std::move(*ride));
  ++generation_;
}

void AbRides::setRead(std::uint64_t id, std::shared_ptr<const analysis::AbLog> log, const std::string& error) {
  for (AbRide& r : rides_) {
    if (r.id != id || r.read()) continue;
    r.log = std::move(log);
    r.error = r.log ? std::string() : error;
    r.table.reset();  // read: the table is no longer needed here
  }
}

int AbRides::sameAs(std::size_t index) const {
  if (index >= rides_.size() || !rides_[index].log) return -1;
  for (std::size_t k = 0; k < index; ++k)
    if (rides_[k].log && rides_[k].log->digest == rides_[index].log->digest) return int(k);
  return -1;
}

bool AbRides::anyUsable() const {
  return std::any_of(rides_.begin(), rides_.end(), [](const AbRide& r) { return r.error.empty(); });
}

std::vector<std::size_t> CountedLogs(const std::vector<const analysis::AbLog*>& logs) {
  std::vector<std::size_t> out;
  for (std::size_t k = 0; k < logs.size(); ++k) {
    if (logs[k] == nullptr) continue;
    const bool twice = std::any_of(out.begin(), out.end(), [&](std::size_t j) { return logs[j]->digest == logs[k]->digest; });
    if (!twice) out.push_back(k);
  }
  std::stable_sort(out.begin(), out.end(), [&](std::size_t a, std::size_t b) {
    return logs[a]->startMs.value_or(0) < logs[b]->startMs.value_or(0);
  });
  return out;
}

RideMaps RideMapsOf(const analysis::RiddenMaps& ridden, std::size_t log) {
  RideMaps out;
  if (log >= ridden.logs) return out;
  for (int cell = 0; cell < analysis::kCells; ++cell) {
    const std::array<float, 2>& mean = ridden.at(log, cell);
    for (std::size_t m = 0; m < 2; ++m) {
      if (std::isnan(mean[m])) continue;
      const float v = std::round(mean[m]);
      out.low[m] = out.ridden[m] ? std::min(out.low[m], v) : v;
      out.high[m] = out.ridden[m] ? std::max(out.high[m], v) : v;
      out.ridden[m] = out.known = true;
    }
  }
  return out;
}

namespace {

AbEvidence EvidenceOf(const std::vector<analysis::AbLog>& logs, const LiveCellRule& rule,
                      const analysis::AbSelection& selection) {
  AbEvidence out;
  std::vector<std::vector<std::uint16_t>> cells(logs.size());
  std::array<std::uint32_t, analysis::kCells> count{};
  for (std::size_t l = 0; l < logs.size(); ++l) {
    analysis::PlaceAbRows(logs[l], rule, selection, cells[l]);
    for (const std::uint16_t c : cells[l])
      if (c != analysis::kNoCell) ++count[c];
  }
  for (int c = 0; c < analysis::kCells; ++c) out.start[std::size_t(c + 1)] = out.start[std::size_t(c)] + count[std::size_t(c)];
  out.rows.resize(out.start.back());
  std::array<std::uint32_t, analysis::kCells> at{};
  std::copy(out.start.begin(), out.start.end() - 1, at.begin());
  for (std::size_t l = 0; l < logs.size(); ++l) {
    const analysis::AbLog& log = logs[l];
    for (std::size_t i = 0; i < cells[l].size(); ++i) {
      const std::uint16_t c = cells[l][i];
      if (c == analysis::kNoCell) continue;
      out.rows[at[c]++] = {log.cells.rpm[i], log.cells.gear[i], std::uint8_t(log.cells.secondMap[i] != 0 ? 1 : 0),
                           log.acceleration[i]};
    }
  }
  return out;
}

}  // namespace

AbOutcome RunAbJob(const AbJob& job, const std::function<bool(const AbProgress&)>& progress) {
  AbOutcome out;
  const std::size_t n = job.sources.size();
  out.logs.resize(n);
  out.errors.resize(n);
  for (const AbJob::Source& s : job.sources) out.ids.push_back(s.id);
  auto report = [&](const AbProgress& p) {
    if (progress && !progress(p)) out.cancelled = true;
    return !out.cancelled;
  };
  for (std::size_t k = 0; k < n; ++k) {
    const AbJob::Source& s = job.sources[k];
    AbProgress step{0, int(k) + 1, int(n), 0};
    if (!report(step)) return out;
    if (s.log) {
      out.logs[k] = s.log;
      continue;
    }
    std::string error;
    std::optional<analysis::AbLog> log;
    if (s.table) {
      log = analysis::ExtractAbLog(*s.table, error);
    } else {
      bool cancelled = false;
      log = analysis::LoadAbLog(
          s.path, error,
          [&](std::uint64_t done, std::uint64_t total) {
            step.share = total > 0 ? double(done) / double(total) : 0;
            return report(step);
          },
          &cancelled);
      if (cancelled || out.cancelled) {
        out.cancelled = true;
        return out;
      }
    }
    if (log) out.logs[k] = std::make_shared<const analysis::AbLog>(std::move(*log));
    else out.errors[k] = error;
  }
  std::vector<const analysis::AbLog*> read(n);
  for (std::size_t k = 0; k < n; ++k) read[k] = out.logs[k].get();
  out.counted = CountedLogs(read);
  if (!report({1, 0, 0, 0})) return out;
  std::vector<analysis::AbLog> sorted;
  sorted.reserve(out.counted.size());
  for (const std::size_t k : out.counted) sorted.push_back(*out.logs[k]);
  if (!report({1, 0, 0, 0.1})) return out;
  const analysis::AbPasses passes = analysis::CollectPasses(
      sorted, job.rule, job.options.selection, job.options.windowSeconds, job.options.offsets, &job.reference);
  if (!report({1, 0, 0, 0.4})) return out;
  out.result = analysis::CompareMaps(passes, job.options);
  if (!report({1, 0, 0, 0.7})) return out;
  analysis::EstimateOptions estimate;
  estimate.selection = job.options.selection;
  estimate.windowSeconds = job.options.windowSeconds;
  estimate.offsets = job.options.offsets;
  out.estimate = analysis::EstimateBestAdvance(passes, job.tunedMap, estimate);
  out.ridden = analysis::RiddenMapsOf(passes);
  if (!report({1, 0, 0, 0.9})) return out;
  out.evidence = EvidenceOf(sorted, job.rule, job.options.selection);
  if (progress) progress({1, 0, 0, 1});
  return out;
}

}  // namespace rq::abmode

#include "protocol/channel_table.h"

namespace rq::abmode {

analysis::AbLiveRow LiveRowOf(const MonitorSnapshot& s, double seconds) {
  auto value = [&s](const char* key) {
    const Channel* c = FindChannel(key);
    return c != nullptr ? ChannelValue(*c, s) : 0.0;
  };
  analysis::AbLiveRow row;
  row.time = seconds;
  row.rpm = int(std::lround(value("rpm")));
  row.throttle = int(std::lround(value("throttle_pct") * 10));
  row.secondMap = value("second_map") != 0;
  row.gear = int(std::lround(value("gear")));
  row.acceleration = value(analysis::kAccelerationChannel);
  for (const char* key : analysis::kBlockingChannels) row.blocked = row.blocked || value(key) != 0;
  return row;
}

}  // namespace rq::abmode
