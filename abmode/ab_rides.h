// SPDX-License-Identifier: GPL-3.0-or-later
// The rides of the A/B estimate and the analysis of them, without a window (plain C++): the list
// of rides (files added and the open ride log), which of them count (read, and each ride once:
// the same rows under another name are the same ride), the analysis that reads what is not read
// yet and works out the verdicts, the estimate and the rows the evidence plot draws, and what the
// list says of each ride (the maps it used).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/ab_compare.h"
#include "analysis/ab_estimate.h"
#include "analysis/ab_live.h"
#include "analysis/ab_passes.h"
#include "logs/log_table.h"

namespace rq::abmode {

struct AbRide {
  std::uint64_t id = 0;   // given by the list
  std::string name;       // as listed: the file's name
  std::string path;       // the file read; empty for the open ride log
  std::shared_ptr<const logs::LogTable> table;  // the open ride log's table, until it is read
  std::shared_ptr<const analysis::AbLog> log;   // once read
  std::string error;      // why the ride cannot be used (unreadable, columns missing)
  bool open = false;      // the log session's open log
  bool read() const { return log != nullptr || !error.empty(); }
};

class AbRides {
 public:
  const std::vector<AbRide>& rides() const { return rides_; }
  bool empty() const { return rides_.empty(); }
  // Changes with every ride added or removed (not when one is read).
  std::uint64_t generation() const { return generation_; }

  // Appends a ride; returns its id.
  std::uint64_t add(AbRide ride);
  void remove(std::size_t index);
  // The open ride log as the first ride (replacing the one before); nullopt: none. An open log
  // the user removed stays out until another one opens.
  void setOpenRide(std::optional<AbRide> ride);
  // The outcome of reading the ride `id` (when it is still listed).
  void setRead(std::uint64_t id, std::shared_ptr<const analysis::AbLog> log, const std::string& error);
  // The index of an earlier ride with the same rows as ride `index`; -1 when there is none.
  int sameAs(std::size_t index) const;
  // Rides that may still count: read without error, or not read yet.
  bool anyUsable() const;

 private:
  std::vector<AbRide> rides_;
  std::uint64_t generation_ = 0;
  std::uint64_t nextId_ = 1;
  const logs::LogTable* dismissed_ = nullptr;  // an open log the user removed
};

// The logs that count, oldest first by their first time stamp: each digest once (the first
// given), null logs left out. Returns indexes into `logs`.
std::vector<std::size_t> CountedLogs(const std::vector<const analysis::AbLog*>& logs);

// The range of each map's advance a ride fired over the cells it went through (the map's own
// value, without the corrections); `known` false without an advance column.
struct RideMaps {
  bool known = false;
  std::array<float, 2> low{}, high{};
  std::array<bool, 2> ridden{};
};
RideMaps RideMapsOf(const analysis::RiddenMaps& ridden, std::size_t log);

// The counted rows of every ride by cell, for the evidence plot.
struct AbEvidenceRow {
  std::uint16_t rpm = 0;
  std::uint8_t gear = 0;
  std::uint8_t map = 0;  // 0: map 1, 1: map 2
  float acceleration = 0;
};
struct AbEvidence {
  std::vector<AbEvidenceRow> rows;                  // by cell
  std::array<std::uint32_t, analysis::kCells + 1> start{};  // rows of cell k: [start[k], start[k + 1])
};

// What the analysis is given: the rides as listed (read or not), and the page's rule and options.
struct AbJob {
  struct Source {
    std::uint64_t id = 0;
    std::string path;
    std::shared_ptr<const logs::LogTable> table;
    std::shared_ptr<const analysis::AbLog> log;  // already read
  };
  std::vector<Source> sources;
  LiveCellRule rule;
  analysis::AbOptions options;
  ParameterImage reference;  // the configuration whose maps the verdicts judge
  int tunedMap = 1;
};

struct AbOutcome {
  // Per source: the log read (null where it could not be), and why not.
  std::vector<std::shared_ptr<const analysis::AbLog>> logs;
  std::vector<std::string> errors;
  std::vector<std::uint64_t> ids;    // the sources' rides
  bool cancelled = false;
  std::vector<std::size_t> counted;  // sources in the estimate, oldest first
  analysis::AbResult result;
  analysis::BestEstimate estimate;
  analysis::RiddenMaps ridden;       // by position in `counted`
  AbEvidence evidence;
};

// Progress of the analysis: the stage (0: reading ride `item` of `items`, 1: working out) and
// the share done of it; false from it cancels.
struct AbProgress {
  int stage = 0;
  int item = 0, items = 0;
  double share = 0;
};
AbOutcome RunAbJob(const AbJob& job, const std::function<bool(const AbProgress&)>& progress);

}  // namespace rq::abmode

namespace rq {
struct MonitorSnapshot;
}

namespace rq::abmode {
// One live row of the comparison from a monitor reply, `seconds` into the recording.
analysis::AbLiveRow LiveRowOf(const MonitorSnapshot& snapshot, double seconds);
}  // namespace rq::abmode
