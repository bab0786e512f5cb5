// SPDX-License-Identifier: GPL-3.0-or-later
#include "abmode/ab_mode.h"

#include <QAction>
#include <QCheckBox>
#include <QMessageBox>

#include <algorithm>
#include <cmath>
#include <span>

#include "analysis/ab_proposal.h"
#include "logs/log_session.h"
#include "logs/log_texts.h"
#include "logs/map_log_overlay.h"
#include "pages/map_grid.h"
#include "pages/map_pages.h"
#include "ui/caption_apply.h"
#include "ui/log_captions.h"
#include "ui/qt_text.h"
#include "ui/window_face.h"
#include "workspace/workspace.h"

namespace rq::abmode {

namespace {

// One colour per map, away from the lime of the live cell, the blue of the selection and the
// red and green of errors and OK: orange for map 1, violet for map 2; pale toward the side
// ahead where there is no verdict; grey where the maps were never compared.
const QColor kWon[3] = {QColor(236, 236, 236), QColor(255, 190, 120), QColor(205, 180, 255)};
const QColor kAhead[3] = {QColor(236, 236, 236), QColor(255, 236, 214), QColor(238, 230, 255)};
constexpr int kNoteMs = 8000;

bool IsAdvancePage(int page) { return page == kPageAdvance1 || page == kPageAdvance2; }

QString Signed(double v) { return (v > 0 ? "+" : v < 0 ? "\u2212" : "") + QString::number(std::abs(v), 'f', 1); }

}  // namespace

AbMode::AbMode(Workspace& workspace, WindowFace& window, MapPages& maps, logs::LogSession& session,
               logs::MapLogOverlay& log)
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
  connect(take_, &QAction::triggered, this, [this] { takeProposal(); });
  connect(prepare_, &QAction::triggered, this, [this] { prepareNextRide(); });

  connect(&session_, &logs::LogSession::opened, this, &AbMode::logOpened);
  // The log's toggle and this one take turns; the log's filters hold for both.
  connect(&log_, &logs::MapLogOverlay::enabledChanged, this, [this](bool on) {
    if (on) setEnabled(false);
  });
  connect(&log_, &logs::MapLogOverlay::filterChanged, this, [this] {
    stale_ = true;
    if (on_) {
      recompute();
      repaint();
    }
  });
  connect(&ws_, &Workspace::languageChanged, this, &AbMode::applyLanguage);
  badges_.hint = [this](int row, int column) { return hintText(row, column); };
  if (session_.isOpen()) logOpened();
  applyLanguage(ws_.language());
  updateActions();
}

AbMode::~AbMode() { maps_.removeOverlay(this); }

QString AbMode::text(AbText id) const { return FromStd(AbTextOf(id, ws_.language())); }

void AbMode::showOn(int page, const ParameterImage& image, MapGrid& grid, QWidget*, int) {
  if (badges_.grid() != &grid) {
    badges_.attach(grid);
    connect(&grid, &MapGrid::cellClicked, this, [this](int row, int column) {
      if (on_) log_.moveCursorToCell(row, column);
    });
  }
  const bool advance = IsAdvancePage(page);
  if (toggle_ && toggle_->isHidden() == advance) {
    toggle_->setVisible(advance);
    log_.placeControls();
  }
  const LiveCellRule rule = MakeLiveCellRule(image, page);
  if (page != page_ || rule.page != rule_.page || !(rule.mode == rule_.mode) ||
      !std::equal(std::begin(rule.rpmPoints), std::end(rule.rpmPoints), std::begin(rule_.rpmPoints)))
    stale_ = true;
  page_ = page;
  rule_ = rule;
  if (on_ && stale_) recompute();
  repaint();
  updateActions();
}

void AbMode::logOpened() {
  // The log's columns are taken when the mode needs them: a log opened with the mode off
  // costs nothing here.
  abLog_.reset();
  abError_.clear();
  extracted_ = false;
  stale_ = true;
  result_.reset();
  if (!on_) return;
  if (!takeLog()) {
    setEnabled(false);
    window_.showNote(text(AbText::NeedsLog).arg(QString::fromStdString(abError_)), kNoteMs);
    return;
  }
  recompute();
  repaint();
}

void AbMode::setEnabled(bool on) {
  if (on && !takeLog()) {
    const QString why = session_.isOpen() ? QString::fromStdString(abError_)
                                          : FromStd(LogPhraseText(LogPhrase::NoLog, ws_.language()));
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
    if (stale_ || !result_) recompute();
    repaint();
    if (!was && result_) {
      int verdicts[3] = {0, 0, 0};
      for (const auto& row : result_->cells)
        for (const analysis::AbCell& c : row) ++verdicts[c.better];
      window_.showNote(text(AbText::Summary).arg(verdicts[1] + verdicts[2]).arg(verdicts[1]).arg(verdicts[2]),
                       kNoteMs);
    }
  } else {
    badges_.clear();
  }
  updateActions();
}

bool AbMode::takeLog() {
  if (!extracted_ && session_.isOpen()) {
    abLog_ = analysis::ExtractAbLog(session_.table(), abError_);
    extracted_ = true;
  }
  return abLog_.has_value();
}

bool AbMode::ready(int page) { return takeLog() && IsAdvancePage(page); }

void AbMode::recompute() {
  result_.reset();
  estimate_.reset();
  if (!ready(page_) || rule_.page != page_) return;
  // The log's filters: its gears (1 to 6 compare), its limit on the throttle's change, and its
  // minimum rows where that asks for more than a verdict does.
  const logs::CellFilter& filter = log_.filter();
  options_ = analysis::AbOptions{};
  options_.selection.gears = std::uint8_t(filter.gears & 0x7E);
  options_.selection.maxThrottlePctPerS = filter.maxThrottlePctPerS;
  options_.minRows = std::max(options_.minRows, filter.minRows);
  options_.offsets = analysis::AdvanceOffsetsOf(ws_.image());
  const analysis::AbPasses passes =
      analysis::CollectPasses(std::span<const analysis::AbLog>(&*abLog_, 1), rule_, options_.selection,
                              options_.windowSeconds, options_.offsets, &ws_.image());
  result_ = analysis::CompareMaps(passes, options_);
  analysis::EstimateOptions estimate;
  estimate.selection = options_.selection;
  estimate.windowSeconds = options_.windowSeconds;
  estimate.offsets = options_.offsets;
  estimate_ = analysis::EstimateBestAdvance(passes, page_ == kPageAdvance2 ? 2 : 1, estimate);
  stale_ = false;
}

QString AbMode::badgeText(int row, int column) const {
  if (!on_ || !result_) return {};
  const analysis::AbCell& c = result_->at(row, column);
  if (!c.visited()) return {};
  return c.gainPct ? Signed(*c.gainPct) : QString::fromUtf8("\u2013");
}

QString AbMode::hintText(int row, int column) const {
  if (!on_ || !result_ || row < 0 || row >= kMapRows || column < 0 || column >= kMapColumns) return {};
  const analysis::AbCell& c = result_->at(row, column);
  if (!c.visited()) return {};
  const int lang = ws_.language();
  const int rpm = rule_.rpmPoints[std::size_t(column)];
  const ParameterImage& im = ws_.image();
  const int advance[3] = {0, analysis::AdvanceAt(im, kPageAdvance1, rpm, row),
                          analysis::AdvanceAt(im, kPageAdvance2, rpm, row)};
  QStringList lines;
  lines << FromStd(logs::LogTextOf(logs::LogText::HintCell, lang)).arg(rpm).arg(kThrottleRows[row]);
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
  if (!on_ || !result_ || !IsAdvancePage(page_)) {
    badges_.clear();
    return;
  }
  CellShades shades{};
  logs::CellBadgeGrid badges;
  for (int r = 0; r < kMapRows; ++r) {
    for (int c = 0; c < kMapColumns; ++c) {
      const analysis::AbCell& cell = result_->at(r, c);
      if (!cell.visited()) continue;
      const std::size_t i = std::size_t(r * kMapColumns + c);
      QColor shade = kWon[0];
      if (cell.better != 0) shade = kWon[cell.better];
      else if (cell.gainPct && *cell.gainPct != 0) shade = kAhead[*cell.gainPct > 0 ? 2 : 1];
      shades[i] = shade.rgb();
      badges[i].text = badgeText(r, c);
      badges[i].fill = cell.better != 0 ? shade : QColor(255, 255, 255);
      badges[i].bold = cell.better != 0;
      badges[i].faint = !cell.gainPct;
    }
  }
  badges_.show(shades, badges);
}

void AbMode::updateActions() {
  const bool usable = on_ && IsAdvancePage(page_);
  take_->setEnabled(usable);
  prepare_->setEnabled(usable);
}

bool AbMode::start(int& page) {
  if (ws_.editsLocked()) return false;
  window_.commitPendingEdit();
  page = window_.currentPage();
  if (!on_ || !ready(page)) return false;
  if (stale_ || !result_) recompute();
  return result_.has_value() && estimate_.has_value();
}

bool AbMode::finish(const AbWrite& write, bool take, int page) {
  if (write.writes.empty()) {
    window_.showNote(text(AbText::NothingChanges), kNoteMs);
    return false;
  }
  const QString question =
      take ? text(AbText::AskTake).arg(window_.pageCaption(page)).arg(write.writes.size())
           : text(AbText::AskPrepare).arg(write.writes.size());
  if (window_.askQuestion(question, false) != QMessageBox::Yes) return false;
  // One change of the configuration: one undo step, programmed after change when that is on.
  ws_.change(
      [&write](ParameterImage& image) {
        for (const CellWrite& w : write.writes) image.setByte(w.byteAt, w.value);
      },
      page);
  window_.showNote(take ? text(AbText::Taken)
                              .arg(window_.pageCaption(page))
                              .arg(write.writes.size())
                              .arg(write.clamped)
                        : text(AbText::Prepared).arg(write.writes.size()).arg(write.clamped),
                   kNoteMs);
  return true;
}

bool AbMode::takeProposal() {
  int page = -1;
  if (!start(page)) return false;
  MapGrid& grid = maps_.grid();
  const std::optional<CellRect> selection =
      grid.multiSelection() ? std::optional<CellRect>(grid.selection()) : std::nullopt;
  const AbWrite write = TakeProposal(ws_.image(), page, *estimate_, selection, ws_.limits(),
                                     KnownUnitImage(ws_.unit()), proposalOptions_);
  if (!selection && write.considered == 0) {
    window_.showNote(text(AbText::NoVerdicts), kNoteMs);
    return false;
  }
  return finish(write, true, page);
}

bool AbMode::prepareNextRide() {
  int page = -1;
  if (!start(page)) return false;
  const AbWrite write =
      PrepareNextRide(ws_.image(), page, *estimate_, ws_.limits(), KnownUnitImage(ws_.unit()), proposalOptions_);
  if (write.rpmPointsDiffer) {
    window_.showMessage(text(AbText::RpmPointsDiffer));
    return false;
  }
  return finish(write, false, page);
}

void AbMode::applyLanguage(int language) {
  ApplyCaptionTexts(window_.dialogParent(), AbCaptionTexts(language));
  log_.placeControls();
  repaint();
}

}  // namespace rq::abmode

#include "moc_ab_mode.cpp"
