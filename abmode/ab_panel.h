// SPDX-License-Identifier: GPL-3.0-or-later
// The A/B rides window: the rides in the estimate (date, length, the maps each ride used, a
// note: the open log, not read yet, the same ride twice, why it cannot be used) with Add and
// Remove, the A/B settings (the next pair's spread and the largest move per ride), what the last
// Take or Prepare held and why, and the evidence, dyno style: for the selected cell or its
// throttle row, the acceleration of the map-1 rows against rpm beside the map-2 rows, per gear,
// with each map's mean along rpm. A view of the A/B mode, which keeps the rides and settings.
#pragma once

#include <QDialog>

class QComboBox;
class QCustomPlot;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace rq::abmode {

class AbMode;

class AbPanel : public QDialog {
  Q_OBJECT
 public:
  AbPanel(AbMode& mode, QWidget* parent);

  QTableWidget* table() const { return table_; }
  QCustomPlot* plot() const { return plot_; }
  QSpinBox* spread() const { return spread_; }
  QSpinBox* maxMove() const { return maxMove_; }
  QComboBox* evidenceScope() const { return scope_; }
  // Points drawn in the evidence plot (map 1 and map 2 rows over every gear).
  int evidencePoints() const { return points_; }
  // Draws the evidence of the selected cell (or its row) again.
  void showEvidence();

 private:
  void showRides();
  void applyLanguage();
  void addFiles();

  AbMode& mode_;
  QTableWidget* table_ = nullptr;
  QPushButton* add_ = nullptr;
  QPushButton* remove_ = nullptr;
  QPushButton* again_ = nullptr;
  QLabel* spreadLabel_ = nullptr;
  QLabel* maxMoveLabel_ = nullptr;
  QSpinBox* spread_ = nullptr;
  QSpinBox* maxMove_ = nullptr;
  QLabel* heldTitle_ = nullptr;
  QPlainTextEdit* held_ = nullptr;
  QLabel* evidenceTitle_ = nullptr;
  QComboBox* scope_ = nullptr;
  QCustomPlot* plot_ = nullptr;
  int points_ = 0;
};

}  // namespace rq::abmode
