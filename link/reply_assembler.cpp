// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/reply_assembler.h"

#include <algorithm>

namespace rq {

ReplyAssembler::Action ReplyAssembler::plan(std::size_t waiting) {
  const bool grown = waiting > lastWaiting_;
  if (kept_ == 0 && waiting < kFrameSize) {
    if (waiting > 0 && !grown) {
      lastWaiting_ = 0;
      return Action::Drop;
    }
    lastWaiting_ = waiting;
    return Action::Wait;
  }
  if (kept_ > 0 && !grown) {  // the start of a reply that never finished
    kept_ = 0;
    len_ = 0;
    lastWaiting_ = waiting;
    return Action::Wait;
  }
  lastWaiting_ = 0;
  return Action::Read;
}

void ReplyAssembler::feed(std::span<const std::uint8_t> bytes) {
  const std::size_t n = std::min(bytes.size(), kBufferSize - len_);
  std::copy_n(bytes.begin(), n, buffer_.begin() + static_cast<std::ptrdiff_t>(len_));
  len_ += n;
}

void ReplyAssembler::reset() {
  kept_ = 0;
  len_ = 0;
  lastWaiting_ = 0;
}

}  // namespace rq
