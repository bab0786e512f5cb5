// SPDX-License-Identifier: GPL-3.0-or-later
// The live values of the monitor reply as named channels: for each its key (the column name
// of the monitor log), its name in the four interface languages, its unit, its scaling and
// how it is read from a MonitorSnapshot. The monitor log, and anything that plots or lists
// live values, is generated from this table.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "protocol/monitor_reply.h"

namespace rq {

// How the integer value of a channel follows from the raw number the unit sent.
enum class ChannelRead : std::uint8_t {
  Linear,     // raw - offset
  Flag,       // 1 when raw is not 0
  ActiveLow,  // 1 when raw is 0 (an input reports 0 while active)
  PotCounts,  // converter counts 0..1023 for 0..5000 mV, in whole mV
};

struct Channel {
  std::string_view key;                    // column name of the monitor log
  std::array<std::string_view, 4> name;    // English, German, French, Czech (UTF-8)
  std::string_view unit;                   // "rpm", "°", "%", "V", "km/h", "rpm/s" or ""
  ChannelRead read = ChannelRead::Linear;
  std::int32_t offset = 0;                 // Linear: subtracted from the raw number
  std::int32_t divisor = 1;                // integer value / divisor = value in `unit`
  int decimals = 0;                        // digits after the point in the log
  std::int32_t (*raw)(const MonitorSnapshot&) = nullptr;  // the number the unit sent
};

// Every channel, in the column order of the monitor log.
std::span<const Channel> Channels();
// The channel with this key, nullptr when there is none.
const Channel* FindChannel(std::string_view key);
// Name in the interface language (0 English, 1 German, 2 French, 3 Czech; others English).
std::string_view ChannelName(const Channel& c, int language);

// The number the unit sent for the channel.
std::int32_t ChannelRaw(const Channel& c, const MonitorSnapshot& s);
// The value in whole units of the divisor (tenths, mV, ...), before the divisor is applied.
std::int64_t ChannelInteger(const Channel& c, const MonitorSnapshot& s);
// The value in the channel's unit.
double ChannelValue(const Channel& c, const MonitorSnapshot& s);
// The value as the monitor log writes it: `decimals` digits after a '.', whatever the locale.
std::string ChannelText(const Channel& c, const MonitorSnapshot& s);

// The monitor log: a header "time,<keys>" and, per snapshot, the values after the time stamp.
std::string MonitorCsvHeader();
std::string MonitorCsvValues(const MonitorSnapshot& s);

}  // namespace rq
