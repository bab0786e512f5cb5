// SPDX-License-Identifier: GPL-3.0-or-later
// Tools › Limits...: the lowest value, highest value, largest step and largest change against
// the unit of each map page (Advance 1, Advance 2, Servo), one field each; an empty field is
// no limit. The fields are read as the [LIMITS] section of the settings file is, so that the
// file and the dialog take the same values.
#pragma once

#include <QDialog>

#include <array>

#include "limits/map_limits.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace rq {

class LimitsDialog : public QDialog {
  Q_OBJECT

 public:
  LimitsDialog(const Limits& limits, int language, QWidget* parent);

  // The field of page slot `slot` (0 Advance 1, 1 Advance 2, 2 Servo) and limit `field`
  // (0 min, 1 max, 2 step, 3 change).
  QLineEdit* field(int slot, int field) const {
    return fields_[static_cast<std::size_t>(slot * kLimitFieldCount + field)];
  }
  // OK: the limits are taken and the dialog accepted, or the problems shown and it stays.
  void take();
  // The limits taken by OK.
  const Limits& limits() const { return limits_; }
  QLabel* problems() const { return problems_; }

 private:
  Limits limits_;
  int language_;
  std::array<QLineEdit*, kLimitPageCount * kLimitFieldCount> fields_{};
  QLabel* problems_ = nullptr;
};

}  // namespace rq
