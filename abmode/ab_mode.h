// SPDX-License-Identifier: GPL-3.0-or-later
// The A/B mode on the advance map pages: beside the log's toggle, each cell that the A/B rides
// went through shows the estimate of its best advance from every ride with its interval
// ("27 ±1.2", bold once settled, "=20" where the rides show no preference, "old" where only
// rides made with other maps went through), shaded by the verdict on the two maps in the
// configuration: orange where map 1 pulled harder, violet where map 2 did, pale toward the side
// ahead without a verdict, grey where the maps were never compared, blue-grey where only rides
// of other maps went. The hint gives both maps' rows, passes and advance, the gain with its
// interval, the verdict and the estimate. The log's filters hold for it.
//
// The rides are the open ride log and the files added in the rides window (Tools menu), each
// ride once. The analysis (reading the rides and working out) runs on a worker thread, with a
// progress bar and Cancel in the status bar; its result is shown and used only while it fits
// the rides, the page, the filters and the configuration it was made for.
//
// "Take the A/B proposal" and "Prepare the next A/B ride" (Tools menu) each make one change of
// the configuration within the tuner's limits, after asking, and say what was held and why.
// While a ride is recorded the live strip says how many cells already have enough of both maps.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <atomic>
#include <memory>
#include <functional>
#include <optional>
#include <thread>

#include "abmode/ab_apply.h"
#include "abmode/ab_panel.h"
#include "abmode/ab_rides.h"
#include "abmode/ab_texts.h"
#include "analysis/ab_compare.h"
#include "analysis/ab_estimate.h"
#include "analysis/ab_live.h"
#include "analysis/ab_proposal.h"
#include "logs/cell_badges.h"
#include "pages/map_overlay.h"
#include "ui/stored_setting.h"

class QAction;
class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class QWidget;

namespace rq {
class MapPages;
struct MonitorSnapshot;
class WindowFace;
class Workspace;
}  // namespace rq

namespace rq::logs {
class LogSession;
class MapLogOverlay;
class RideRecording;
}  // namespace rq::logs

namespace rq::abmode {


class AbMode : public QObject, public MapOverlayFace {
  Q_OBJECT
 public:
  // `recording` (may be null): the window's ride recording, for the live count.
  AbMode(Workspace& workspace, WindowFace& window, MapPages& maps, logs::LogSession& session,
         logs::MapLogOverlay& log, logs::RideRecording* recording = nullptr);
  ~AbMode() override;

  void showOn(int page, const ParameterImage& image, MapGrid& grid, QWidget* bar,
              int barLeft) override;

  void setEnabled(bool on);
  bool enabled() const { return on_; }

  // ---- The rides ---------------------------------------------------------------------------
  const AbRides& rides() const { return rides_; }
  // Adds ride log files (read by the next analysis); a ride already listed says so.
  void addRideFiles(const QStringList& paths);
  void removeRide(std::size_t index);
  // The rides window (made on first use).
  AbPanel* openRidesWindow();
  AbPanel* panel() const { return panel_; }

  // ---- The analysis ------------------------------------------------------------------------
  // An analysis runs or is about to start.
  bool analysing() const;
  // The result shown fits the rides, page, filters and configuration.
  bool current() const;
  void cancelAnalysis();
  // Starts the analysis again after a Cancel.
  void analyseAgain();
  // The last analysis finished for the page shown (nullptr: none).
  const AbOutcome* outcome() const;
  const analysis::AbResult* result() const { return outcome() ? &outcome()->result : nullptr; }
  const analysis::BestEstimate* estimate() const { return outcome() ? &outcome()->estimate : nullptr; }
  const analysis::AbOptions& options() const { return options_; }
  QString badgeText(int row, int column) const;
  QString hintText(int row, int column) const;
  logs::CellBadges& badges() { return badges_; }
  QWidget* progressBox() const { return progressBox_; }
  int page() const { return page_; }
  QString text(AbText id) const;

  // ---- The commands ------------------------------------------------------------------------
  // True when they changed the configuration.
  bool takeProposal();
  bool prepareNextRide();
  QAction* takeAction() const { return take_; }
  QAction* prepareAction() const { return prepare_; }
  QAction* ridesAction() const { return rides_action_; }
  // The next pair's spread and the largest move per ride (the settings file's [AB] section).
  analysis::ProposalOptions proposalOptions() const;
  void setProposalOptions(const analysis::ProposalOptions& options);
  // What the last Take or Prepare held, a line per cell.
  const QString& heldText() const { return held_; }

  // ---- The live count ----------------------------------------------------------------------
  QLabel* liveLabel() const { return liveLabel_; }
  const analysis::AbLiveCount* liveCount() const { return live_ ? &*live_ : nullptr; }
  void recordingChanged(bool on);
  void rowRecorded(const MonitorSnapshot& snapshot, double seconds);

 signals:
  void ridesChanged();
  void analysed();
  void heldChanged();
  void languageChanged(int language);

 private:
  // What a result depends on: the rides, the page and its rpm points and layout, the
  // corrections, both maps, and the filters.
  struct Inputs {
    std::uint64_t rides = ~std::uint64_t(0);
    int page = -1;
    std::array<int, kMapColumns> rpm{};
    MapMode mode;
    std::array<float, 7> offsets{};
    analysis::CellAdvances map1{}, map2{};
    std::uint8_t gears = 0;
    double maxThrottle = 0;
    int minRows = 0;
    bool operator==(const Inputs&) const = default;
  };
  Inputs currentInputs() const;
  void logOpened();
  void schedule();
  void startJob();
  void jobFinished(const Inputs& inputs, std::shared_ptr<AbOutcome> outcome);
  void showProgress();
  void repaint();
  void applyLanguage(int language);
  void updateActions();
  // The start of both commands: the edit being typed committed, the page shown, the result
  // current; false when there is none.
  bool start(int& page);
  // What Take or Prepare writes, chosen once the change can go ahead (nullptr: nothing), with
  // the selection it was limited to and whether a question was asked already.
  struct Choice {
    const AbWrite* write = nullptr;
    std::optional<CellRect> selection;
    bool asked = false;
  };
  // Asks (unless the choice did), then writes in one change of the configuration and says
  // what it did and what was held; nothing is asked while a read replaces the configuration.
  bool finish(bool take, int page, const std::function<Choice()>& choose);
  QString heldSummary(const AbWrite& write, bool take, int page, const std::optional<CellRect>& selection);
  void showLive();

  Workspace& ws_;
  WindowFace& window_;
  MapPages& maps_;
  logs::LogSession& session_;
  logs::MapLogOverlay& log_;
  bool on_ = false;
  int page_ = -1;
  LiveCellRule rule_;
  analysis::AbOptions options_;
  AbRides rides_;
  logs::CellBadges badges_;
  QPointer<QCheckBox> toggle_;
  QAction* take_ = nullptr;
  QAction* prepare_ = nullptr;
  QAction* rides_action_ = nullptr;
  QPointer<AbPanel> panel_;
  StoredSetting spread_{"AB", "Spread", analysis::ProposalOptions{}.spread};
  StoredSetting maxMove_{"AB", "MaxMove", analysis::ProposalOptions{}.maxMove};
  QString held_;
  bool summaryPending_ = false;

  // The worker and what it reports.
  std::thread worker_;
  std::atomic<bool> cancel_{false};
  std::atomic<int> stage_{0}, item_{0}, items_{0}, permille_{0};
  bool running_ = false;
  bool userCancelled_ = false;
  std::optional<Inputs> cancelledInputs_;  // the inputs whose analysis the user cancelled
  QTimer* kick_ = nullptr;  // starts the analysis once the changes of one moment are in
  QTimer* poll_ = nullptr;
  QWidget* progressBox_ = nullptr;
  QLabel* progressText_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  std::shared_ptr<const AbOutcome> outcome_;
  Inputs outcomeInputs_;
  Inputs runningInputs_;

  // The live count while a ride is recorded.
  std::optional<analysis::AbLiveCount> live_;
  QLabel* liveLabel_ = nullptr;
};

}  // namespace rq::abmode
