// SPDX-License-Identifier: GPL-3.0-or-later
// PC against unit in the window: says in the status area whether the PC still holds what the
// unit was last read from, verified against or programmed with (the workspace keeps that),
// and marks every field, grid box and map cell whose value differs from the unit. A click on
// the status opens the comparison view.
#pragma once

#include <QHash>
#include <QLabel>
#include <QObject>

#include <vector>

#include "model/unit_comparison.h"

namespace rq {

class CompareView;
class PageSet;
class VerifyDifferences;
class WindowFace;
class Workspace;

// The status of PC against unit; a click opens the comparison.
class UnitStateLabel : public QLabel {
  Q_OBJECT
 public:
  explicit UnitStateLabel(QWidget* parent) : QLabel(parent) {}
 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

class UnitSync : public QObject {
  Q_OBJECT

 public:
  // The state label goes to the right of the window's status bar; the marks onto the controls
  // the page set shows the differences in. A click on the label opens `compare` (after a read
  // of the unit by `unitRead` when its content is not known).
  UnitSync(Workspace& workspace, WindowFace& window, const PageSet& pages, CompareView& compare,
           VerifyDifferences& unitRead);
  ~UnitSync() override;

  // After every refresh of the pages (the page shown decides which map cells carry marks)
  // and every change of what is known of the unit: it follows both itself.
  void refresh();

  // The status label's click: the comparison with the unit (read first when it is not known).
  void LabelUnitStateClick();

  const UnitRecord& record() const;
  // Differences from the last check (0 unless the unit is known).
  int differenceCount() const { return int(slots_.size()); }
  const std::vector<DifferingSlot>& differences() const { return slots_; }
  QLabel* stateLabel() const { return label_; }
  CompareView& compareView() { return compare_; }
  // Whether `control` carries the difference mark; how many controls carry it.
  bool marked(const QWidget* control) const;
  int markCount() const;

 private:
  void showState();
  void updateMarks();

  Workspace& ws_;
  const PageSet& pages_;
  CompareView& compare_;
  VerifyDifferences& unitRead_;
  std::vector<DifferingSlot> slots_;
  UnitStateLabel* label_ = nullptr;
  QHash<QWidget*, QWidget*> marks_;  // control -> its mark (shown or hidden)
  std::vector<QWidget*> shown_;      // controls whose mark shows
  int shownState_ = -1;
  int shownCount_ = -1;
  int shownLanguage_ = -1;
};

}  // namespace rq
