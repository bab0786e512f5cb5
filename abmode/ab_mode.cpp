// SPDX-License-Identifier: GPL-3.0-or-later
#include "abmode/ab_mode.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "abmode/ab_panel.h"
#include "logs/log_session.h"
#include "logs/log_texts.h"
#include "logs/map_log_overlay.h"
#include "logs/ride_recording.h"
#include "pages/map_grid.h"
#include "pages/map_pages.h"
#include "ui/caption_apply.h"
#include "ui/log_captions.h"
#include "ui/print_pages.h"
#include "ui/qt_text.h"
#include "ui/window_face.h"
#include "workspace/workspace.h"

namespace rq::abmode {

namespace {

// One colour per map, away from the lime of the live cell, the blue of the selection and the
// red and green of errors and OK: orange for map 1, violet for map 2; pale toward the side
// ahead where there is no verdict; grey where the maps were never compared; a cool grey where
// only rides made with other maps went.
const QColor kWon[3] = {QColor(236, 236, 236), QColor(255, 190, 120), QColor(205, 180, 255)};
const QColor kAhead[3] = {QColor(236, 236, 236), QColor(255, 236, 214), QColor(238, 230, 255)};
const QColor kStale(214, 220, 226);
constexpr int kNoteMs = 8000;
constexpr int kKickMs = 60;  // the changes of one moment (an edit and its refresh) start one analysis

bool IsAdvancePage(int page) { return page == kPageAdvance1 || page == kPageAdvance2; }

QString Signed(double v) { return (v > 0 ? "+" : v < 0 ? "\u2212" : "") + QString::number(std::abs(v), 'f', 1); }

// A column of the log the comparison cannot do without, checked before the log is read.
std::string MissingColumn(const logs::LogTable& table) {
  if (table.find("gear") < 0) return "the log has no gear column: the maps are compared within each gear";
  if (table.find("second_map") < 0)
    return "the log has no second_map column: it does not say which map the unit used";
  return {};
}

}  // namespace

AbMode::AbMode(Workspace& workspace, WindowFace& window, MapPages& maps, logs::LogSession& session,
               logs::MapLogOverlay& log, logs::RideRecording* recording)
    : QObject(window.dialogParent()), ws_(workspace), window_(window), maps_(maps),
      session_(session), log_(log) {
  toggle_ = new QCheckBox("A/B", maps.bar());
  toggle_->setObjectName("CheckBoxAbMode");
  toggle_->setFocusPolicy(Qt::NoFocus);
  connect(toggle_, &QCheckBox::toggled, this, &AbMode::setEnabled);
  log_.setCompanion(toggle_);
  maps.addOverlay(this);

  auto* separator = new QAction(this);
  separator->setSeparator(true);
  window.addMenuAction(WindowFace::Menu::Tools, separator);
  take_ = new QAction("Take the A/B proposal", this);
  take_->setObjectName("MenuAbTake");
  window.addMenuAction(WindowFace::Menu::Tools, take_);
  prepare_ = new QAction("Prepare the next A/B ride", this);
  prepare_->setObjectName("MenuAbPrepare");
  window.addMenuAction(WindowFace::Menu::Tools, prepare_);
  rides_action_ = new QAction("A/B rides and evidence...", this);
  rides_action_->setObjectName("MenuAbRides");
  window.addMenuAction(WindowFace::Menu::Tools, rides_action_);
  connect(take_, &QAction::triggered, this, [this] { takeProposal(); });
  connect(prepare_, &QAction::triggered, this, [this] { prepareNextRide(); });
  connect(rides_action_, &QAction::triggered, this, [this] { openRidesWindow(); });

  // The analysis' progress in the status bar, shown while it runs.
  progressBox_ = new QWidget;
  progressBox_->setObjectName("AbProgress");
  auto* row = new QHBoxLayout(progressBox_);
  row->setContentsMargins(0, 0, 0, 0);
  progressText_ = new QLabel(progressBox_);
  progressBar_ = new QProgressBar(progressBox_);
  progressBar_->setObjectName("AbProgressBar");
  progressBar_->setRange(0, 1000);
  progressBar_->setTextVisible(false);
  progressBar_->setFixedWidth(120);
  cancelButton_ = new QPushButton("Cancel", progressBox_);
  cancelButton_->setObjectName("ButtonAbCancel");
  cancelButton_->setFocusPolicy(Qt::NoFocus);
  row->addWidget(progressText_);
  row->addWidget(progressBar_);
  row->addWidget(cancelButton_);
  window.addStatusWidget(progressBox_);
  progressBox_->hide();
  connect(cancelButton_, &QPushButton::clicked, this, &AbMode::cancelAnalysis);
  kick_ = new QTimer(this);
  kick_->setSingleShot(true);
  kick_->setInterval(kKickMs);
  connect(kick_, &QTimer::timeout, this, &AbMode::startJob);
  poll_ = new QTimer(this);
  poll_->setInterval(50);
  connect(poll_, &QTimer::timeout, this, &AbMode::showProgress);

  // The live count beside the recording's controls on the live strip.
  liveLabel_ = new QLabel(window.liveStrip());
  liveLabel_->setObjectName("LabelAbLive");
  liveLabel_->setGeometry(780, 715, 215, 18);  // under the test displays and Show differences
  liveLabel_->setProperty(kNotPrinted, true);
  liveLabel_->hide();
  if (recording != nullptr) {
    connect(recording, &logs::RideRecording::recordingChanged, this, &AbMode::recordingChanged);
    connect(recording, &logs::RideRecording::rowRecorded, this, &AbMode::rowRecorded);
  }

  connect(&session_, &logs::LogSession::opened, this, &AbMode::logOpened);
  // The log's toggle and this one take turns; the log's filters hold for both.
  connect(&log_, &logs::MapLogOverlay::enabledChanged, this, [this](bool on) {
    if (on) setEnabled(false);
  });
  connect(&log_, &logs::MapLogOverlay::filterChanged, this, &AbMode::schedule);
  connect(&ws_, &Workspace::imageChanged, this, &AbMode::schedule);
  connect(&ws_, &Workspace::languageChanged, this, &AbMode::applyLanguage);
  connect(&ws_, &Workspace::readLockChanged, this, [this] { updateActions(); });
  badges_.hint = [this](int r, int c) { return hintText(r, c); };
  if (session_.isOpen()) logOpened();
  applyLanguage(ws_.language());
  updateActions();
}

AbMode::~AbMode() {
  cancel_ = true;
  if (worker_.joinable()) worker_.join();
  maps_.removeOverlay(this);
  delete progressBox_;
}

QString AbMode::text(AbText id) const { return FromStd(AbTextOf(id, ws_.language())); }

void AbMode::showOn(int page, const ParameterImage& image, MapGrid& grid, QWidget*, int) {
  if (badges_.grid() != &grid) {
    badges_.attach(grid);
    connect(&grid, &MapGrid::cellClicked, this, [this](int row, int column) {
      if (on_ && session_.isOpen()) log_.moveCursorToCell(row, column);
    });
  }
  const bool advance = IsAdvancePage(page);
  if (toggle_ && toggle_->isHidden() == advance) {
    toggle_->setVisible(advance);
    log_.placeControls();
  }
  page_ = page;
  rule_ = MakeLiveCellRule(image, page);
  schedule();
  repaint();
  updateActions();
}

// ---- The rides ---------------------------------------------------------------------------------

void AbMode::logOpened() {
  if (!session_.isOpen()) {
    rides_.setOpenRide(std::nullopt);
  } else {
    AbRide ride;
    ride.name = QFileInfo(session_.path()).fileName().toStdString();
    ride.table = session_.sharedTable();
    ride.error = MissingColumn(*ride.table);
    rides_.setOpenRide(std::move(ride));
  }
  emit ridesChanged();
  if (on_ && !rides_.anyUsable()) {
    setEnabled(false);
    const AbRide* open = rides_.empty() || !rides_.rides().front().open ? nullptr : &rides_.rides().front();
    window_.showNote(text(AbText::NeedsLog).arg(open ? QString::fromStdString(open->error) : text(AbText::NoRides)),
                     kNoteMs);
    return;
  }
  schedule();
}

void AbMode::addRideFiles(const QStringList& paths) {
  for (const QString& path : paths) {
    AbRide ride;
    ride.path = path.toStdString();
    ride.name = QFileInfo(path).fileName().toStdString();
    rides_.add(std::move(ride));
  }
  emit ridesChanged();
  schedule();
}

void AbMode::removeRide(std::size_t index) {
  rides_.remove(index);
  emit ridesChanged();
  schedule();
}

AbPanel* AbMode::openRidesWindow() {
  if (!panel_) panel_ = new AbPanel(*this, window_.dialogParent());
  panel_->show();
  panel_->raise();
  schedule();
  return panel_;
}

// ---- The analysis ------------------------------------------------------------------------------

AbMode::Inputs AbMode::currentInputs() const {
  Inputs in;
  in.rides = rides_.generation();
  in.page = page_;
  const ParameterImage& im = ws_.image();
  const LiveCellRule rule = MakeLiveCellRule(im, page_);
  std::copy(std::begin(rule.rpmPoints), std::end(rule.rpmPoints), in.rpm.begin());
  in.mode = rule.mode;
  in.offsets = analysis::AdvanceOffsetsOf(im).gear;
  if (IsAdvancePage(page_)) {
    const analysis::MapPair maps = analysis::MapPairOf(im, rule);
    in.map1 = maps.map1;
    in.map2 = maps.map2;
  }
  const logs::CellFilter& filter = log_.filter();
  in.gears = std::uint8_t(filter.gears & 0x7E);
  in.maxThrottle = filter.maxThrottlePctPerS;
  in.minRows = filter.minRows;
  return in;
}

bool AbMode::analysing() const { return running_ || kick_->isActive(); }

bool AbMode::current() const { return outcome_ != nullptr && !analysing() && outcomeInputs_ == currentInputs(); }

const AbOutcome* AbMode::outcome() const {
  return outcome_ && outcomeInputs_.page == page_ ? outcome_.get() : nullptr;
}

void AbMode::schedule() {
  if ((!on_ && !(panel_ && panel_->isVisible())) || !IsAdvancePage(page_)) return;
  if (rides_.empty() && !outcome_) return;
  const Inputs now = currentInputs();
  if (running_ ? runningInputs_ == now && !cancel_ : outcome_ && outcomeInputs_ == now) return;
  if (userCancelled_ && cancelledInputs_ && *cancelledInputs_ == now) return;
  userCancelled_ = false;
  kick_->start();
}

void AbMode::startJob() {
  if (running_) {
    if (!(runningInputs_ == currentInputs())) cancel_ = true;  // thrown away, then started again
    return;
  }
  if (!IsAdvancePage(page_)) return;
  if (worker_.joinable()) worker_.join();
  const Inputs inputs = currentInputs();
  AbJob job;
  for (const AbRide& r : rides_.rides()) {
    if (!r.error.empty()) continue;
    job.sources.push_back({r.id, r.path, r.table, r.log});
  }
  const ParameterImage& im = ws_.image();
  job.rule = MakeLiveCellRule(im, page_);
  // The log's filters: its gears (1 to 6 compare), its limit on the throttle's change, and its
  // minimum rows where that asks for more than a verdict does.
  options_ = analysis::AbOptions{};
  options_.selection.gears = inputs.gears;
  options_.selection.maxThrottlePctPerS = inputs.maxThrottle;
  options_.minRows = std::max(options_.minRows, inputs.minRows);
  options_.offsets = analysis::AdvanceOffsetsOf(im);
  job.options = options_;
  job.reference = im;
  job.tunedMap = page_ == kPageAdvance2 ? 2 : 1;
  cancel_ = false;
  stage_ = 0;
  item_ = 0;
  items_ = int(job.sources.size());
  permille_ = 0;
  running_ = true;
  runningInputs_ = inputs;
  worker_ = std::thread([this, job = std::move(job), inputs] {
    // Below the window's thread: on a busy machine the window keeps its turns.
    setpriority(PRIO_PROCESS, 0, 10);
    auto outcome = std::make_shared<AbOutcome>(RunAbJob(job, [this](const AbProgress& p) {
      stage_ = p.stage;
      item_ = p.item;
      items_ = p.items;
      permille_ = int(std::lround(1000 * p.share));
      return !cancel_.load();
    }));
    // Back on the window's thread; dropped with the mode if it goes first.
    QMetaObject::invokeMethod(this, [this, inputs, outcome] { jobFinished(inputs, outcome); },
                              Qt::QueuedConnection);
  });
  poll_->start();
  showProgress();
  updateActions();
}

void AbMode::jobFinished(const Inputs& inputs, std::shared_ptr<AbOutcome> outcome) {
  if (worker_.joinable()) worker_.join();
  running_ = false;
  poll_->stop();
  progressBox_->hide();
  // What was read stays read, whatever becomes of the outcome.
  for (std::size_t k = 0; k < outcome->logs.size(); ++k)
    if (outcome->logs[k] || !outcome->errors[k].empty())
      rides_.setRead(outcome->ids[k], outcome->logs[k], outcome->errors[k]);
  if (outcome->cancelled && userCancelled_) {
    cancelledInputs_ = inputs;
    window_.showNote(text(AbText::Cancelled), kNoteMs);
  } else if (!outcome->cancelled && inputs == currentInputs()) {
    outcome_ = std::move(outcome);
    outcomeInputs_ = inputs;
    if (on_ && summaryPending_) {
      summaryPending_ = false;
      int verdicts[3] = {0, 0, 0};
      for (const auto& cells : outcome_->result.cells)
        for (const analysis::AbCell& c : cells) ++verdicts[c.better];
      window_.showNote(text(AbText::Summary).arg(verdicts[1] + verdicts[2]).arg(verdicts[1]).arg(verdicts[2]),
                       kNoteMs);
    }
  }
  emit ridesChanged();
  if (on_ && !rides_.anyUsable()) {
    const AbRide* first = rides_.empty() ? nullptr : &rides_.rides().front();
    setEnabled(false);
    window_.showNote(text(AbText::NeedsLog).arg(first ? QString::fromStdString(first->error) : text(AbText::NoRides)),
                     kNoteMs);
  }
  repaint();
  updateActions();
  emit analysed();
  if (!userCancelled_) schedule();
}

void AbMode::cancelAnalysis() {
  kick_->stop();
  if (!running_) return;
  userCancelled_ = true;
  cancel_ = true;
}

void AbMode::analyseAgain() {
  userCancelled_ = false;
  cancelledInputs_.reset();
  schedule();
}

void AbMode::showProgress() {
  if (!running_) return;
  if (stage_ == 0)
    progressText_->setText(text(AbText::Reading).arg(std::max(1, item_.load())).arg(std::max(1, items_.load())));
  else
    progressText_->setText(text(AbText::Working));
  progressBar_->setValue(std::clamp(permille_.load(), 0, 1000));
  cancelButton_->setText(text(AbText::Cancel));
  if (progressBox_->isHidden()) progressBox_->show();
}

// ---- The mode on the grid ----------------------------------------------------------------------

void AbMode::setEnabled(bool on) {
  if (on && !rides_.anyUsable()) {
    QString why = text(AbText::NoRides);
    if (session_.isOpen() && !rides_.empty() && rides_.rides().front().open)
      why = QString::fromStdString(rides_.rides().front().error);
    window_.showNote(text(AbText::NeedsLog).arg(why), kNoteMs);
    on = false;
  }
  if (on && !IsAdvancePage(page_)) {
    window_.showNote(text(AbText::AdvanceOnly), kNoteMs);
    on = false;
  }
  const bool was = on_;
  on_ = on;
  if (toggle_ && toggle_->isChecked() != on) {
    const QSignalBlocker quiet(toggle_);
    toggle_->setChecked(on);
  }
  if (on) {
    log_.setEnabled(false);  // the cells show one thing at a time
    if (!was) summaryPending_ = true;
    schedule();
    repaint();
  } else {
    badges_.clear();
  }
  updateActions();
}

QString AbMode::badgeText(int row, int column) const {
  const AbOutcome* o = outcome();
  if (!on_ || o == nullptr) return {};
  const analysis::AbCell& c = o->result.at(row, column);
  const analysis::BestCell& b = o->estimate.at(row, column);
  if (!c.visited() && !c.stale() && b.rides == 0) return {};
  if (b.best && b.preference) {
    const double half = std::max(*b.high - *b.best, *b.best - *b.low);
    return QString::number(*b.best, 'f', 0) + QString::fromUtf8(" \u00B1") + QString::number(half, 'f', 1);
  }
  if (b.best) return "=" + QString::number(b.target, 'f', 0);
  if (c.stale()) return text(AbText::StaleBadge);
  return QString::fromUtf8("\u2013");
}

QString AbMode::hintText(int row, int column) const {
  const AbOutcome* o = outcome();
  if (!on_ || o == nullptr || row < 0 || row >= kMapRows || column < 0 || column >= kMapColumns) return {};
  const analysis::AbCell& c = o->result.at(row, column);
  const analysis::BestCell& b = o->estimate.at(row, column);
  if (!c.visited() && !c.stale() && b.rides == 0) return {};
  const int lang = ws_.language();
  const int rpm = rule_.rpmPoints[std::size_t(column)];
  const ParameterImage& im = ws_.image();
  const int advance[3] = {0, analysis::AdvanceAt(im, kPageAdvance1, rpm, row),
                          analysis::AdvanceAt(im, kPageAdvance2, rpm, row)};
  QStringList lines;
  lines << FromStd(logs::LogTextOf(logs::LogText::HintCell, lang)).arg(rpm).arg(kThrottleRows[row]);
  if (b.best) {
    lines << text(AbText::HintBest)
                 .arg(b.rides)
                 .arg(*b.best, 0, 'f', 1)
                 .arg(*b.low, 0, 'f', 1)
                 .arg(*b.high, 0, 'f', 1);
    if (!b.preference) lines << text(AbText::HintNoPreference).arg(b.target, 0, 'f', 0);
    else if (b.settled()) lines << text(AbText::HintSettled);
  }
  if (c.stale()) {
    lines << text(AbText::HintStale);
    return lines.join('\n');
  }
  lines << text(AbText::HintMap).arg(1).arg(c.compared1).arg(c.passes1).arg(c.rows1).arg(advance[1]);
  lines << text(AbText::HintMap).arg(2).arg(c.compared2).arg(c.passes2).arg(c.rows2).arg(advance[2]);
  if (!c.gainPct) {
    lines << text(AbText::HintNoComparison);
  } else if (c.interval) {
    const QString open = text(AbText::Unbounded);
    lines << text(AbText::HintGain)
                 .arg(Signed(*c.gainPct), c.lowPct ? Signed(*c.lowPct) : open,
                      c.highPct ? Signed(*c.highPct) : open);
  } else {
    lines << text(AbText::HintGainOpen).arg(Signed(*c.gainPct));
  }
  if (c.better != 0)
    lines << text(AbText::HintVerdict).arg(c.better).arg(advance[c.better]);
  else
    lines << text(AbText::HintNoVerdict).arg(options_.minRows).arg(options_.minPasses);
  return lines.join('\n');
}

void AbMode::repaint() {
  const AbOutcome* o = outcome();
  if (!on_ || o == nullptr || !IsAdvancePage(page_)) {
    badges_.clear();
    return;
  }
  CellShades shades{};
  logs::CellBadgeGrid badges;
  for (int r = 0; r < kMapRows; ++r) {
    for (int c = 0; c < kMapColumns; ++c) {
      const QString badge = badgeText(r, c);
      if (badge.isEmpty()) continue;
      const analysis::AbCell& cell = o->result.at(r, c);
      const analysis::BestCell& best = o->estimate.at(r, c);
      const std::size_t i = std::size_t(r * kMapColumns + c);
      QColor shade = kWon[0];
      if (cell.stale()) shade = kStale;
      else if (cell.better != 0) shade = kWon[cell.better];
      else if (cell.gainPct && *cell.gainPct != 0) shade = kAhead[*cell.gainPct > 0 ? 2 : 1];
      shades[i] = shade.rgb();
      badges[i].text = badge;
      badges[i].fill = cell.better != 0 ? shade : QColor(255, 255, 255);
      badges[i].bold = best.settled() && best.preference;
      badges[i].faint = cell.stale() || !best.best;
    }
  }
  badges_.show(shades, badges);
}

void AbMode::updateActions() {
  // Greyed while a read replaces the configuration (the change would be refused).
  const bool usable = on_ && IsAdvancePage(page_) && !ws_.editsLocked();
  take_->setEnabled(usable);
  prepare_->setEnabled(usable);
}

// ---- The commands ------------------------------------------------------------------------------

analysis::ProposalOptions AbMode::proposalOptions() const {
  analysis::ProposalOptions o;
  o.spread = int(std::clamp(spread_.value(window_), long(analysis::kMinSpread), long(analysis::kMaxSpread)));
  o.maxMove = int(std::clamp(maxMove_.value(window_), long(analysis::kMinMaxMove), long(analysis::kMaxMaxMove)));
  return o;
}

void AbMode::setProposalOptions(const analysis::ProposalOptions& options) {
  spread_.set(window_, std::clamp(options.spread, analysis::kMinSpread, analysis::kMaxSpread));
  maxMove_.set(window_, std::clamp(options.maxMove, analysis::kMinMaxMove, analysis::kMaxMaxMove));
}

bool AbMode::start(int& page) {
  window_.commitPendingEdit();
  page = window_.currentPage();
  if (!on_ || !IsAdvancePage(page) || page != page_) return false;
  // An edit just committed starts the analysis anew: the result shown is not the one to use.
  if (!current() || estimate() == nullptr) {
    window_.showNote(text(AbText::NotCurrent), kNoteMs);
    return false;
  }
  return true;
}

QString AbMode::heldSummary(const AbWrite& write, bool take, int page, const std::optional<CellRect>& selection) {
  const ParameterImage& im = ws_.image();
  const analysis::ProposalOptions options = proposalOptions();
  const MapMode mode = MapModeOf(im, page);
  auto considered = [&](int r, int c) { return CellVisible(mode, r, c) && (!selection || selection->contains(r, c)); };
  // What the analysis held, and what the limit check held further (against the unit's cells).
  std::vector<analysis::ClampedCell> held;
  std::map<std::tuple<int, int, int>, int> wanted;  // map, row, column: the analysis' value
  auto collect = [&](int limitsPage, int map) {
    const analysis::AbProposal p = ProposalWithin(im, page, *estimate(), ws_.limits(), options, limitsPage);
    const analysis::MapValues& values = map == 0 ? p.proposal : map == 1 ? p.next1 : p.next2;
    for (int r = 0; r < kMapRows; ++r)
      for (int c = 0; c < kMapColumns; ++c) wanted[{map, r, c}] = values[std::size_t(r)][std::size_t(c)];
    for (const analysis::ClampedCell& c : p.clamped)
      if (c.map == map && considered(c.row, c.column)) held.push_back(c);
  };
  if (take) {
    collect(page, 0);
  } else {
    collect(kPageAdvance1, 1);
    collect(kPageAdvance2, 2);
  }
  for (const CellWrite& w : write.writes) {
    const int map = take ? 0 : w.cell.page == kPageAdvance1 ? 1 : 2;
    const auto it = wanted.find({map, w.cell.row, w.cell.column});
    if (it != wanted.end() && it->second != w.value)
      held.push_back({map, w.cell.row, w.cell.column, it->second, w.value, analysis::HoldReason::Limit});
  }
  int count[3] = {0, 0, 0};
  std::set<std::tuple<int, int, int, int>> seen;
  QStringList lines;
  const QString which[3] = {text(AbText::HeldProposal), text(AbText::HeldNext1), text(AbText::HeldNext2)};
  const QString reason[3] = {text(AbText::ReasonLimit), text(AbText::ReasonMaxMove), text(AbText::ReasonKnock)};
  for (const analysis::ClampedCell& c : held) {
    if (!seen.insert({c.map, c.row, c.column, int(c.reason)}).second) continue;
    ++count[int(c.reason)];
    lines << text(AbText::HeldCell)
                 .arg(which[c.map])
                 .arg(rule_.rpmPoints[std::size_t(c.column)])
                 .arg(kThrottleRows[c.row])
                 .arg(c.got)
                 .arg(c.wanted)
                 .arg(reason[int(c.reason)]);
  }
  held_ = lines.isEmpty() ? text(AbText::NothingHeld) : lines.join('\n');
  emit heldChanged();
  QStringList parts;
  if (count[0] > 0) parts << text(AbText::HeldLimit).arg(count[0]);
  if (count[1] > 0) parts << text(AbText::HeldMaxMove).arg(count[1]).arg(options.maxMove);
  if (count[2] > 0) parts << text(AbText::HeldKnock).arg(count[2]).arg(options.maxMove);
  return parts.isEmpty() ? QString() : text(AbText::HeldSummary).arg(parts.join(", "));
}

bool AbMode::finish(bool take, int page, const std::function<Choice()>& choose) {
  Choice choice;
  QString held;
  bool nothing = false;
  // The question is the change's own: asked only when the configuration can be changed.
  const bool changed = ws_.change(
      [&choice](ParameterImage& image) {
        for (const CellWrite& w : choice.write->writes) image.setByte(w.byteAt, w.value);
      },
      page,
      [&] {
        choice = choose();
        if (choice.write == nullptr) return false;
        held = heldSummary(*choice.write, take, page, choice.selection);
        if (choice.write->writes.empty()) {
          nothing = true;
          return false;
        }
        if (choice.asked) return true;
        const QString question =
            take ? text(AbText::AskTake).arg(window_.pageCaption(page)).arg(choice.write->writes.size())
                 : text(AbText::AskPrepare).arg(choice.write->writes.size());
        return window_.askQuestion(question, false) == QMessageBox::Yes;
      });
  if (nothing) window_.showNote(text(AbText::NothingChanges) + (held.isEmpty() ? QString() : ". " + held), kNoteMs);
  if (!changed) return false;
  const AbWrite& write = *choice.write;
  const QString done = take ? text(AbText::Taken)
                                  .arg(window_.pageCaption(page))
                                  .arg(write.writes.size())
                                  .arg(write.clamped)
                            : text(AbText::Prepared).arg(write.writes.size()).arg(write.clamped);
  window_.showNote(held.isEmpty() ? done : done + ". " + held, kNoteMs);
  return true;
}

bool AbMode::takeProposal() {
  int page = -1;
  if (!start(page)) return false;
  MapGrid& grid = maps_.grid();
  const analysis::ProposalOptions options = proposalOptions();
  const AbWrite all = TakeProposal(ws_.image(), page, *estimate(), std::nullopt, ws_.limits(),
                                   KnownUnitImage(ws_.unit()), options);
  if (all.considered == 0) {
    window_.showNote(text(AbText::NoVerdicts), kNoteMs);
    return false;
  }
  if (!grid.multiSelection()) return finish(true, page, [&all] { return Choice{&all, std::nullopt, false}; });
  // A selection is left over: only it, every cell with a result, or nothing.
  const CellRect selection = grid.selection();
  const AbWrite only = TakeProposal(ws_.image(), page, *estimate(), selection, ws_.limits(),
                                    KnownUnitImage(ws_.unit()), options);
  return finish(true, page, [&] {
    const int answer = window_.askQuestion(text(AbText::AskTakeSelection)
                                               .arg(selection.cells())
                                               .arg(window_.pageCaption(page))
                                               .arg(only.writes.size())
                                               .arg(all.writes.size()),
                                           true);
    if (answer == QMessageBox::Yes) return Choice{&only, selection, true};
    if (answer == QMessageBox::No) return Choice{&all, std::nullopt, true};
    return Choice{};
  });
}

bool AbMode::prepareNextRide() {
  int page = -1;
  if (!start(page)) return false;
  const AbWrite write = PrepareNextRide(ws_.image(), page, *estimate(), ws_.limits(),
                                        KnownUnitImage(ws_.unit()), proposalOptions());
  if (write.rpmPointsDiffer) {
    window_.showMessage(text(AbText::RpmPointsDiffer));
    return false;
  }
  return finish(false, page, [&write] { return Choice{&write, std::nullopt, false}; });
}

// ---- The live count ----------------------------------------------------------------------------

void AbMode::recordingChanged(bool on) {
  if (!on) {
    live_.reset();
    liveLabel_->hide();
    return;
  }
  const int page = IsAdvancePage(page_) ? page_ : kPageAdvance1;
  analysis::AbOptions options;
  const logs::CellFilter& filter = log_.filter();
  options.selection.gears = std::uint8_t(filter.gears & 0x7E);
  options.selection.maxThrottlePctPerS = filter.maxThrottlePctPerS;
  options.minRows = std::max(options.minRows, filter.minRows);
  live_.emplace(MakeLiveCellRule(ws_.image(), page), options);
  showLive();
  liveLabel_->show();
}

void AbMode::rowRecorded(const MonitorSnapshot& snapshot, double seconds) {
  if (!live_) return;
  const int ready = live_->readyCells();
  const int visited = live_->visitedCells();
  live_->add(LiveRowOf(snapshot, seconds));
  if (live_->readyCells() != ready || live_->visitedCells() != visited) showLive();
}

void AbMode::showLive() {
  if (!live_) return;
  liveLabel_->setText(text(AbText::LiveReady).arg(live_->readyCells()).arg(live_->visitedCells()));
  liveLabel_->setToolTip(text(AbText::LiveReadyHint));
}

void AbMode::applyLanguage(int language) {
  ApplyCaptionTexts(window_.dialogParent(), AbCaptionTexts(language));
  rides_action_->setText(text(AbText::RidesMenu));
  cancelButton_->setText(text(AbText::Cancel));
  log_.placeControls();
  showLive();
  repaint();
  emit languageChanged(language);
}

}  // namespace rq::abmode

#include "moc_ab_mode.cpp"
