// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/undo_history.h"

#include <algorithm>
#include <cstring>

namespace rq {

void UndoHistory::store(int slot, const ParameterImage& image, int page) {
  Slot& s = ring_[static_cast<std::size_t>(slot)];
  std::copy_n(image.bytes.begin(), kConfigSize, s.config.begin());
  s.page = static_cast<std::uint8_t>(page);
}

int UndoHistory::restore(ParameterImage& image) const {
  const Slot& s = ring_[current_];
  std::copy_n(s.config.begin(), kConfigSize, image.bytes.begin());
  return s.page;
}

void UndoHistory::init(const ParameterImage& image, int page) {
  current_ = oldest_ = newest_ = 0;
  store(0, image, page);
}

UndoHistory::TakeResult UndoHistory::takeSnapshot(const ParameterImage& image, int page,
                                                  bool progAfterChange) {
  TakeResult r;
  if (std::memcmp(ring_[current_].config.data(), image.bytes.data(), kConfigSize) != 0) {
    current_ = static_cast<std::uint16_t>((current_ + 1) % kSlots);
    newest_ = current_;
    if (current_ == oldest_) oldest_ = static_cast<std::uint16_t>((oldest_ + 1) % kSlots);
    store(current_, image, page);
    r.recorded = true;
  }
  // Programming after change: the first step after the box was ticked programs only a real
  // change; every later one programs until the box is unticked.
  if (!progAfterChange) {
    programAfterChange_ = false;
    return r;
  }
  r.startProgramming = r.recorded || programAfterChange_;
  programAfterChange_ = true;
  return r;
}

int UndoHistory::undo(ParameterImage& image) {
  if (!canUndo()) return -1;
  current_ = static_cast<std::uint16_t>(current_ == 0 ? kSlots - 1 : current_ - 1);
  return restore(image);
}

int UndoHistory::redo(ParameterImage& image) {
  if (!canRedo()) return -1;
  current_ = static_cast<std::uint16_t>((current_ + 1) % kSlots);
  return restore(image);
}

}  // namespace rq
