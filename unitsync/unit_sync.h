// SPDX-License-Identifier: GPL-3.0-or-later
// PC against unit in the window: keeps what the unit was last read from, verified against or
// programmed with since the start, says in the status area whether the PC still holds it, and
// marks every field, grid box and map cell whose value differs from the unit. A click on the
// status opens the comparison view.
#pragma once

#include <QHash>
#include <QLabel>
#include <QObject>

#include <memory>
#include <vector>

#include "model/unit_comparison.h"
#include "unitsync/unit_tracker.h"

namespace rq {

class CompareView;
class FormHlav;

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
  explicit UnitSync(FormHlav& form);
  ~UnitSync() override;

  // Wiring: after every tick and device command, after every refresh of the pages, and the
  // engine's read and program events.
  void exchangeViewChanged();
  void imageChanged();
  void readStored();
  void programVerified();
  void unitRead(const ParameterImage& unit);

  // The status label's click: the comparison with the unit (read first when it is not known).
  void LabelUnitStateClick();

  const UnitRecord& record() const { return record_; }
  // Differences from the last check (0 unless the unit is known).
  int differenceCount() const { return int(slots_.size()); }
  const std::vector<DifferingSlot>& differences() const { return slots_; }
  QLabel* stateLabel() const { return label_; }
  CompareView& compareView() { return *compare_; }
  // Whether `control` carries the difference mark; how many controls carry it.
  bool marked(const QWidget* control) const;
  int markCount() const;

 private:
  void showState();
  void updateMarks();
  QWidget* controlOf(const DifferingSlot& s);
  QWidget* named(const QString& name);

  FormHlav& form_;
  UnitRecord record_;
  UnitTracker tracker_{record_};
  std::vector<DifferingSlot> slots_;
  UnitStateLabel* label_ = nullptr;
  std::unique_ptr<CompareView> compare_;
  QHash<QString, QWidget*> byName_;
  QHash<QWidget*, QWidget*> marks_;  // control -> its mark (shown or hidden)
  std::vector<QWidget*> shown_;      // controls whose mark shows
  int shownState_ = -1;
  int shownCount_ = -1;
  int shownLanguage_ = -1;
};

}  // namespace rq
