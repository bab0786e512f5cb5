// SPDX-License-Identifier: GPL-3.0-or-later
// Ring of 200 snapshots of the configuration bytes, each with the page that was shown.
#pragma once

#include <array>
#include <cstdint>

#include "model/parameter_image.h"

namespace rq {

class UndoHistory {
 public:
  static constexpr int kSlots = 200;

  void init(const ParameterImage& image, int page);

  // Records a snapshot when bytes 0..749 differ from the current slot. progAfterChange is the
  // state of the "Programming after change" box; the result says whether programming is to
  // start now.
  struct TakeResult {
    bool recorded = false;
    bool startProgramming = false;
  };
  TakeResult takeSnapshot(const ParameterImage& image, int page, bool progAfterChange);

  // Undo / redo: restore the slot into bytes 0..749 and return the page it was taken on,
  // or -1 when there is nothing to undo / redo. Bytes 750..899 are never touched.
  int undo(ParameterImage& image);
  int redo(ParameterImage& image);

  bool canUndo() const { return current_ != oldest_; }
  bool canRedo() const { return current_ != newest_; }

  int current() const { return current_; }
  int oldest() const { return oldest_; }
  int newest() const { return newest_; }

 private:
  struct Slot {
    std::array<std::uint8_t, kConfigSize> config{};
    std::uint8_t page = 0;
  };
  void store(int slot, const ParameterImage& image, int page);
  int restore(ParameterImage& image) const;

  std::array<Slot, kSlots> ring_{};
  std::uint16_t current_ = 0, oldest_ = 0, newest_ = 0;
  bool programAfterChange_ = false;
};

}  // namespace rq
