// SPDX-License-Identifier: GPL-3.0-or-later
// How a log column named by a channel key keeps its cells: as the number the unit sent, a
// byte or a 16-bit word, read back through the channel's scaling.
#include <array>
#include <bit>

#include "logs/log_table.h"
#include "protocol/channel_table.h"

namespace rq::logs {

namespace {

// A snapshot with every byte 0xFF: a channel read from a byte then gives 255.
MonitorSnapshot AllOnes() {
  std::array<unsigned char, sizeof(MonitorSnapshot)> bytes;
  bytes.fill(0xFF);
  return std::bit_cast<MonitorSnapshot>(bytes);
}

}  // namespace

std::optional<ColumnCodec> ChannelCodec(std::string_view header) {
  const Channel* c = FindChannel(header);
  if (c == nullptr) return std::nullopt;
  static const MonitorSnapshot kAllOnes = AllOnes();
  const double divisor = c->divisor > 0 ? c->divisor : 1;
  switch (c->read) {
    case ChannelRead::Flag:
    case ChannelRead::ActiveLow:
      return ColumnCodec{Storage::Byte, 1.0, 0.0};  // the log holds 0 or 1
    case ChannelRead::PotCounts:
      return ColumnCodec{Storage::Word, 1.0 / divisor, 0.0};  // whole mV
    case ChannelRead::Linear:
      break;
  }
  const bool byte = ChannelRaw(*c, kAllOnes) == 0xFF;
  return ColumnCodec{byte ? Storage::Byte : Storage::Word, 1.0 / divisor, -c->offset / divisor};
}

}  // namespace rq::logs
