// SPDX-License-Identifier: GPL-3.0-or-later
// Tools › Limits...: the lowest value, highest value, largest step and largest change against
// the unit of each map page (Advance 1, Advance 2, Servo), the rpm up to which they hold and
// the cells exempt from them, one field each; an empty field is no limit (an empty rpm: up to
// the cut the map shows). The fields are read as the [LIMITS] section of the settings file is,
// so that the file and the dialog take the same values. Suggest fills in what the maps keep as
// they are.
#pragma once

#include <QDialog>

#include <array>
#include <vector>

#include "limits/map_limits.h"
#include "model/parameter_image.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace rq {

class LimitsDialog : public QDialog {
  Q_OBJECT

 public:
  // The fields of a page: 0 min, 1 max, 2 step, 3 change (kLimitFieldCount), then these.
  static constexpr int kUpToField = kLimitFieldCount;
  static constexpr int kExemptField = kLimitFieldCount + 1;
  static constexpr int kFields = kLimitFieldCount + 2;

  // `image`: the configuration the suggestions and the automatic rpm are taken from.
  // `unread`: values of the settings file that could not be read; they stand in their fields,
  // marked, and are said under them.
  LimitsDialog(const Limits& limits, const ParameterImage& image, int language, QWidget* parent,
               const std::vector<LimitsProblem>& unread = {});

  // The field of page slot `slot` (0 Advance 1, 1 Advance 2, 2 Servo) and field `field`.
  QLineEdit* field(int slot, int field) const {
    return fields_[static_cast<std::size_t>(slot * kFields + field)];
  }
  // OK: the limits are taken and the dialog accepted, or the problems shown and it stays.
  void take();
  // Suggest: the lowest, highest value and largest step of every map as it is, up to the rpm
  // and without the exempt cells typed.
  void suggest();
  // The limits taken by OK.
  const Limits& limits() const { return limits_; }
  QLabel* problems() const { return problems_; }
  QPushButton* suggestButton() const { return suggest_; }

 private:
  LoadedLimits typed() const;
  void showProblems(const std::vector<LimitsProblem>& problems);

  Limits limits_;
  ParameterImage image_;
  int language_;
  std::array<QLineEdit*, kLimitPageCount * kFields> fields_{};
  QLabel* problems_ = nullptr;
  QPushButton* suggest_ = nullptr;
};

}  // namespace rq
