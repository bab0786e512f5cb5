// SPDX-License-Identifier: GPL-3.0-or-later
// The verify-difference view: after "Verify error!" the unit's configuration is read into a
// copy (neither the PC's configuration nor the unit changes) and the comparison view shows
// the unit's values.
#pragma once

#include <QObject>

#include "model/parameter_image.h"

class QDialog;
class QLabel;
class QPushButton;
class QTableWidget;

namespace rq {

class CompareView;
class WindowFace;
class Workspace;

class VerifyDifferences : public QObject {
  Q_OBJECT

 public:
  // The button goes onto the window's live strip, the item into the Ignition menu.
  VerifyDifferences(Workspace& workspace, WindowFace& window, CompareView& compare);

  // The button under the status line shows while the status line shows "Verify error!".
  void exchangeViewChanged();
  // Button ButtonVerifyDiff and menu MenuVerifyDiff: read the unit, then show the view.
  void ButtonVerifyDiffClick();

  // The comparison view it opens, its summary line and its table; for tests.
  QDialog* view() const;
  QTableWidget* table() const;
  QLabel* summary() const;
  bool reading() const { return reading_; }

 private:
  // The read into the copy ended.
  void unitReadEnded(bool ok);

  Workspace& ws_;
  WindowFace& window_;
  CompareView& compare_;
  ParameterImage unit_;
  bool reading_ = false;
  QPushButton* button_ = nullptr;
};

}  // namespace rq
