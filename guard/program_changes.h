// SPDX-License-Identifier: GPL-3.0-or-later
// Before a programming the user started, with "Show changes before programming" on: what it
// changes in the unit, value by value in user units and grouped by page as the comparison view
// lists them, with Program and Cancel. While the unit's content is unknown the dialog says so
// instead of listing.
#pragma once

#include <QDialog>

#include <vector>

#include "model/configuration_diff.h"
#include "model/parameter_image.h"

class QLabel;
class QTableWidget;

namespace rq {

class ProgramChangesDialog : public QDialog {
  Q_OBJECT

 public:
  // `unit`: what the unit holds, nullptr while it is unknown.
  ProgramChangesDialog(const ParameterImage& pc, const ParameterImage* unit, int language,
                       QWidget* parent);

  const std::vector<ConfigDifference>& changes() const { return changes_; }
  QLabel* summary() const { return summary_; }
  QTableWidget* table() const { return table_; }

 private:
  std::vector<ConfigDifference> changes_;
  QLabel* summary_ = nullptr;
  QTableWidget* table_ = nullptr;
};

}  // namespace rq
