// SPDX-License-Identifier: GPL-3.0-or-later
// The A/B mode on the advance map pages: beside the log's toggle, with a ride log open, each
// cell with rows of both maps shows how much harder map 2 pulled than map 1 (the A/B
// comparison of analysis/), shaded by the verdict: orange where map 1 won, violet where map 2
// won, pale toward the side ahead without a verdict, grey where the maps were never compared.
// The hint gives both maps' rows, passes and advance, the gain with its interval and the
// verdict. The log's filters hold for it (gears, the throttle's steadiness, the minimum rows).
// "Take the A/B proposal" and "Prepare the next A/B ride" (Tools menu) each make one change of
// the configuration within the tuner's limits, after asking.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>
#include <string>

#include "abmode/ab_apply.h"
#include "abmode/ab_texts.h"
#include "analysis/ab_compare.h"
#include "analysis/ab_estimate.h"
#include "analysis/ab_proposal.h"
#include "logs/cell_badges.h"
#include "pages/map_overlay.h"

class QAction;
class QCheckBox;

namespace rq {
class MapPages;
class WindowFace;
class Workspace;
}  // namespace rq

namespace rq::logs {
class LogSession;
class MapLogOverlay;
}  // namespace rq::logs

namespace rq::abmode {

class AbMode : public QObject, public MapOverlayFace {
  Q_OBJECT
 public:
  AbMode(Workspace& workspace, WindowFace& window, MapPages& maps, logs::LogSession& session,
         logs::MapLogOverlay& log);
  ~AbMode() override;

  void showOn(int page, const ParameterImage& image, MapGrid& grid, QWidget* bar,
              int barLeft) override;

  void setEnabled(bool on);
  bool enabled() const { return on_; }
  // The comparison shown (on an advance page with a log that can be compared).
  const std::optional<analysis::AbResult>& result() const { return result_; }
  const std::optional<analysis::BestEstimate>& estimate() const { return estimate_; }
  const analysis::AbOptions& options() const { return options_; }
  QString badgeText(int row, int column) const;
  QString hintText(int row, int column) const;
  logs::CellBadges& badges() { return badges_; }

  // The two commands; true when they changed the configuration.
  bool takeProposal();
  bool prepareNextRide();
  QAction* takeAction() const { return take_; }
  QAction* prepareAction() const { return prepare_; }
  // The next pair's spread and the largest move per ride.
  const analysis::ProposalOptions& proposalOptions() const { return proposalOptions_; }

 private:
  void logOpened();
  void recompute();
  void repaint();
  void applyLanguage(int language);
  void updateActions();
  // The open log's columns for the comparison, taken on first use; false when it has none.
  bool takeLog();
  bool ready(int page);
  // The start of both commands: nothing while a read replaces the configuration, the edit
  // being typed committed, the page shown, the comparison up to date; false when there is none.
  bool start(int& page);
  // Asks, then writes in one change of the configuration and says what it did.
  bool finish(const AbWrite& write, bool take, int page);
  QString text(AbText id) const;

  Workspace& ws_;
  WindowFace& window_;
  MapPages& maps_;
  logs::LogSession& session_;
  logs::MapLogOverlay& log_;
  bool on_ = false;
  int page_ = -1;
  analysis::ProposalOptions proposalOptions_;
  LiveCellRule rule_;
  std::optional<analysis::AbLog> abLog_;
  std::string abError_;
  bool extracted_ = false;  // abLog_ and abError_ hold what the open log gave
  analysis::AbOptions options_;
  std::optional<analysis::AbResult> result_;
  std::optional<analysis::BestEstimate> estimate_;
  bool stale_ = true;  // the result no longer fits the log, page, rpm points or filters
  logs::CellBadges badges_;
  QPointer<QCheckBox> toggle_;
  QAction* take_ = nullptr;
  QAction* prepare_ = nullptr;
};

}  // namespace rq::abmode
