// SPDX-License-Identifier: GPL-3.0-or-later
// The verify-difference view: after "Verify error!" the window reads the unit's configuration
// into a copy of its own (neither the PC's configuration nor the unit changes) and shows the
// comparison view with the unit's values.
#pragma once

#include <QObject>

#include "model/parameter_image.h"

class QDialog;
class QLabel;
class QPushButton;
class QTableWidget;

namespace rq {

class FormHlav;

class VerifyDifferences : public QObject {
  Q_OBJECT

 public:
  explicit VerifyDifferences(FormHlav& form);

  // The button under the status line shows while the status line shows "Verify error!".
  void exchangeViewChanged();
  // Button ButtonVerifyDiff and menu MenuVerifyDiff: read the unit, then show the view.
  void ButtonVerifyDiffClick();
  // The engine's read into the copy ended.
  void unitReadEnded(bool ok);

  // The comparison view it opens, its summary line and its table; for tests.
  QDialog* view() const;
  QTableWidget* table() const;
  QLabel* summary() const;
  bool reading() const { return reading_; }

 private:

  FormHlav& form_;
  ParameterImage unit_;
  bool reading_ = false;
  QPushButton* button_ = nullptr;
};

}  // namespace rq
