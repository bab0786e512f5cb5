// SPDX-License-Identifier: GPL-3.0-or-later
#include "logs/map_log_overlay.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

#include <algorithm>
#include <cmath>

#include "logs/log_phrase.h"
#include "logs/log_session.h"
#include "logs/log_texts.h"
#include "pages/map_grid.h"
#include "ui/caption_apply.h"
#include "ui/log_captions.h"
#include "ui/qt_text.h"
#include "ui/text_fit.h"

namespace rq::logs {

namespace {

const QColor kReplayColour(255, 0, 200);  // magenta: far from the lime of the live cell
const QColor kTooFewShade(236, 236, 236);  // a cell under the minimum rows
constexpr int kBarTop = 9;
constexpr int kGap = 6;

QString LogTextQ(LogText id, int language) { return FromStd(LogTextOf(id, language)); }

// Pale sand to amber by the share of the busiest cell: never green (the live cell's), never
// blue (the selection's), light enough for the black value in the cell.
QColor TimeShade(double share) {
  return QColor::fromHsvF(0.11f, float(0.10 + 0.55 * share), float(1.0 - 0.07 * share));
}

QString StatisticWord(CellStatistic s, int language) {
  return LogTextQ(s == CellStatistic::Mean  ? LogText::StatMean
                  : s == CellStatistic::Min ? LogText::StatMin
                                            : LogText::StatMax,
                  language);
}

}  // namespace

MapLogOverlay::MapLogOverlay(LogSession& session, QObject* parent)
    : QObject(parent), session_(session) {
  filter_.minRows = 3;
  language_ = session_.language();
  connect(&session_, &LogSession::opened, this, [this] {
    rowSeconds_ = 1.0 / 3;
    if (session_.isOpen() && session_.table().rows() > 1) {
      // The usual spacing: the median of the first gaps, so that pauses do not count.
      const auto& t = session_.table().time();
      std::vector<double> gaps;
      for (std::size_t i = 1; i < std::min<std::size_t>(t.size(), 4001); ++i)
        gaps.push_back(t[i] - t[i - 1]);
      std::nth_element(gaps.begin(), gaps.begin() + std::ptrdiff_t(gaps.size() / 2), gaps.end());
      rowSeconds_ = gaps[gaps.size() / 2];
    }
    fillBadgeMenu();
    updateBadgeButton();
    recount();
  });
  // Rows of a log still being written count as they come.
  connect(&session_, &LogSession::grown, this, [this] { recount(); });
  connect(&session_, &LogSession::cursorMoved, this, [this] {
    badges_.setFrame(replayCell(), kReplayColour);
    emit shownChanged();
  });
  connect(&session_, &LogSession::languageChanged, this, &MapLogOverlay::applyLanguage);
  badges_.hint = [this](int row, int column) { return hintText(row, column); };
}

MapLogOverlay::~MapLogOverlay() { delete panel_; }

void MapLogOverlay::showOn(int page, const ParameterImage& image, MapGrid& grid, QWidget* bar,
                           int barLeft) {
  barLeft_ = barLeft;
  const LiveCellRule rule = MakeLiveCellRule(image, page);
  const bool changed = page != page_ || grid_ != &grid ||
                       rule.page != rule_.page || !(rule.mode == rule_.mode) ||
                       !std::equal(std::begin(rule.rpmPoints), std::end(rule.rpmPoints),
                                   std::begin(rule_.rpmPoints));
  page_ = page;
  rule_ = rule;
  if (grid_ != &grid) {
    grid_ = &grid;
    badges_.attach(grid);
    connect(&grid, &MapGrid::cellClicked, this, [this](int row, int column) {
      if (on_) moveCursorToCell(row, column);
    });
  }
  adoptBar(bar);
  placeControls();
  if (changed) recount();
  else badges_.setFrame(replayCell(), kReplayColour);
}

void MapLogOverlay::adoptBar(QWidget* bar) {
  if (bar == nullptr || bar_ == bar) return;
  bar_ = bar;
  toggle_ = new QCheckBox("Log", bar);
  toggle_->setObjectName("CheckBoxLogOverlay");
  toggle_->setChecked(on_);
  // A tool button: as narrow as its text and arrow, where a push button keeps a style's
  // minimum width the bar cannot spare in every language.
  badge_ = new QToolButton(bar);
  badge_->setObjectName("LogButtonBadge");
  badge_->setFocusPolicy(Qt::NoFocus);
  badge_->setPopupMode(QToolButton::InstantPopup);
  badge_->setToolButtonStyle(Qt::ToolButtonTextOnly);
  badgeMenu_ = new QMenu(badge_);
  badgeMenu_->setObjectName("LogMenuBadge");
  badge_->setMenu(badgeMenu_);
  filters_ = new QPushButton("Filters...", bar);
  filters_->setObjectName("ButtonLogFilters");
  connect(toggle_, &QCheckBox::toggled, this, &MapLogOverlay::setEnabled);
  connect(filters_, &QPushButton::clicked, this, [this] {
    QWidget* p = panel();
    p->show();
    p->raise();
  });
  fillBadgeMenu();
  updateBadgeButton();
  placeControls();
}

void MapLogOverlay::setCompanion(QWidget* widget) {
  companion_ = widget;
  placeControls();
}

void MapLogOverlay::placeControls() {
  if (!bar_ || !toggle_) return;
  // Right of the page's own controls on the left of the bar, as far as its next control.
  int right = bar_->width();
  for (QObject* o : bar_->children()) {
    auto* w = qobject_cast<QWidget*>(o);
    if (w == nullptr || w == toggle_ || w == badge_ || w == filters_ || w == companion_ ||
        w->isWindow() || !w->isVisibleTo(bar_) || w->x() < barLeft_)
      continue;
    right = std::min(right, w->x());
  }
  int x = barLeft_;
  toggle_->adjustSize();
  toggle_->move(x, kBarTop + 2);
  x += toggle_->width() + kGap;
  if (companion_ && !companion_->isHidden()) {
    companion_->adjustSize();
    companion_->move(x, kBarTop + 2);
    x += companion_->width() + kGap;
  }
  filters_->adjustSize();
  const int filtersWidth = std::max(filters_->sizeHint().width(), TextFitSize(filters_).width());
  updateBadgeButton();
  // The badge's button takes what is left; its long caption only where it fits whole.
  const int room = right - kGap - filtersWidth - kGap - x;
  const QString full = badge_->property("fullCaption").toString();
  const QString brief = badge_->property("briefCaption").toString();
  badge_->setText(full);
  if (badge_->sizeHint().width() > room) badge_->setText(brief);
  badge_->resize(std::min(std::max(badge_->sizeHint().width(), 40), std::max(room, 40)), 23);
  badge_->move(x, kBarTop);
  x += badge_->width() + kGap;
  filters_->resize(filtersWidth, 23);
  filters_->move(x, kBarTop);
  toggle_->show();
  badge_->show();
  filters_->show();
}

void MapLogOverlay::setEnabled(bool on) {
  const bool was = on_;
  on_ = on;
  if (toggle_ && toggle_->isChecked() != on) toggle_->setChecked(on);
  recount();
  if (was != on) emit enabledChanged(on);
}

void MapLogOverlay::setFilter(const CellFilter& filter) {
  filter_ = filter;
  recount();
  emit filterChanged();
}

void MapLogOverlay::setBadge(const std::string& columnName, CellStatistic statistic) {
  badgeColumn_ = columnName;
  statistic_ = statistic;
  fillBadgeMenu();
  updateBadgeButton();
  placeControls();
  recount();
}

int MapLogOverlay::columnOfBadge() const {
  if (badgeColumn_.empty() || !session_.isOpen()) return -1;
  return session_.table().find(badgeColumn_);
}

void MapLogOverlay::recount() {
  counts_.reset();
  stats_.reset();
  if (on_ && session_.isOpen() && session_.cellInputs() != nullptr && rule_.page >= 0) {
    if (const int column = columnOfBadge(); column >= 0) {
      stats_ = CountCellsWithChannel(*session_.cellInputs(), rule_, filter_,
                                     session_.table().column(std::size_t(column)));
      counts_ = stats_->counts;
    } else {
      counts_ = CountCells(*session_.cellInputs(), rule_, filter_);
    }
  }
  repaint();
}

QString MapLogOverlay::badgeText(int row, int column) const {
  if (!counts_ || !counts_->visited(row, column)) return {};
  const int n = counts_->rows[std::size_t(row)][std::size_t(column)];
  QString figure;
  if (stats_) {
    const std::optional<double> v = stats_->value(statistic_, row, column);
    figure = v ? QString::number(*v, 'f', CellStatisticDecimals(badgeColumn_, statistic_)) : "";
  } else if (counts_->enough(row, column)) {
    const double seconds = n * rowSeconds_;
    figure = Phrase(LogPhrase::CellSeconds, language_)
                 .arg(QString::number(seconds, 'f', seconds < 10 ? 1 : 0));
  } else {
    figure = QString::number(n);
  }
  return counts_->enough(row, column) ? figure : "(" + figure + ")";
}

QString MapLogOverlay::hintText(int row, int column) const {
  if (!counts_ || row < 0 || row >= kMapRows || column < 0 || column >= kMapColumns) return {};
  const int n = counts_->rows[std::size_t(row)][std::size_t(column)];
  QStringList lines;
  lines << LogTextQ(LogText::HintCell, language_)
               .arg(rule_.rpmPoints[std::size_t(column)])
               .arg(kThrottleRows[row]);
  const double seconds = n * rowSeconds_;
  QString rows = LogTextQ(LogText::HintRows, language_)
                     .arg(n)
                     .arg(QString::number(seconds, 'f', seconds < 10 ? 1 : 0));
  if (n > 0 && !counts_->enough(row, column))
    rows += "; " + LogTextQ(LogText::HintNotEnough, language_).arg(counts_->minRows);
  lines << rows;
  if (stats_ && n > 0) {
    const int decimals = CellStatisticDecimals(badgeColumn_, CellStatistic::Min);
    const int meanDecimals = CellStatisticDecimals(badgeColumn_, CellStatistic::Mean);
    lines << LogTextQ(LogText::HintStats, language_)
                 .arg(FromStd(ColumnLabel(badgeColumn_, language_)))
                 .arg(QString::number(*stats_->mean(row, column), 'f', meanDecimals))
                 .arg(QString::number(*stats_->value(CellStatistic::Min, row, column), 'f', decimals))
                 .arg(QString::number(*stats_->value(CellStatistic::Max, row, column), 'f', decimals));
  }
  if (n > 0) lines << LogTextQ(LogText::HintClick, language_);
  return lines.join('\n');
}

void MapLogOverlay::repaint() {
  if (grid_ == nullptr) return;
  if (!counts_) {
    badges_.clear();
  } else {
    int most = 1;
    for (const auto& row : counts_->rows)
      for (int n : row) most = std::max(most, n);
    CellShades shades{};
    CellBadgeGrid badges;
    for (int r = 0; r < kMapRows; ++r) {
      for (int c = 0; c < kMapColumns; ++c) {
        if (!counts_->visited(r, c)) continue;
        const std::size_t i = std::size_t(r * kMapColumns + c);
        const int n = counts_->rows[std::size_t(r)][std::size_t(c)];
        const bool enough = counts_->enough(r, c);
        // Light to deep by the share of the busiest cell, on a log scale.
        const QColor shade =
            enough ? TimeShade(std::log1p(n) / std::log1p(most)) : kTooFewShade;
        shades[i] = shade.rgb();
        badges[i] = {badgeText(r, c), QColor(255, 255, 255), !enough};
      }
    }
    badges_.show(shades, badges);
  }
  badges_.setFrame(replayCell(), kReplayColour);
  emit shownChanged();
}

std::optional<LiveCell> MapLogOverlay::replayCell() const {
  const CellInputs* in = session_.cellInputs();
  if (in == nullptr || rule_.page < 0 || in->rows() == 0) return std::nullopt;
  const LiveCell cell = CellOfRow(rule_, *in, std::min(session_.cursorRow(), in->rows() - 1));
  if (!cell.cellMarked) return std::nullopt;
  return cell;
}

bool MapLogOverlay::moveCursorToCell(int row, int column) {
  const CellInputs* in = session_.cellInputs();
  if (in == nullptr || rule_.page < 0) return false;
  const std::optional<std::size_t> next =
      NextRowInCell(*in, rule_, filter_, session_.cursorRow(), row, column);
  if (!next) return false;
  session_.setCursorRow(*next);
  return true;
}

void MapLogOverlay::fillBadgeMenu() {
  if (!badgeMenu_) return;
  const bool channel = columnOfBadge() >= 0;
  if (badgeMenu_->actions().isEmpty()) {
    // Made once: a change of language or log renames and ticks the items, it makes none anew.
    auto* kinds = new QActionGroup(badgeMenu_);
    // Each item carries the text it shows.
    auto item = [&](const char* name, LogText text, std::function<void()> chosen) {
      QAction* a = badgeMenu_->addAction(QString());
      a->setObjectName(name);
      a->setData(int(text));
      a->setCheckable(true);
      kinds->addAction(a);
      connect(a, &QAction::triggered, this, std::move(chosen));
    };
    item("LogBadgeTime", LogText::BadgeTimeItem, [this] { setBadge({}, statistic_); });
    badgeMenu_->addSeparator();
    // A statistic without a channel yet takes the acceleration, else the first column.
    auto pick = [this](CellStatistic s) {
      std::string column = columnOfBadge() >= 0 ? badgeColumn_ : std::string();
      if (column.empty() && session_.isOpen() && !session_.table().columns().empty())
        column = session_.table().find("acceleration_rpm_s") >= 0 ? "acceleration_rpm_s"
                                                                : session_.table().column(0).name();
      setBadge(column, s);
    };
    item("LogBadgemean", LogText::StatMeanItem, [pick] { pick(CellStatistic::Mean); });
    item("LogBadgemin", LogText::StatMinItem, [pick] { pick(CellStatistic::Min); });
    item("LogBadgemax", LogText::StatMaxItem, [pick] { pick(CellStatistic::Max); });
    channelMenu_ = badgeMenu_->addMenu(QString());
    channelMenu_->setObjectName("LogMenuBadgeChannel");
    channelGroup_ = new QActionGroup(channelMenu_);
  }
  const LogText statistic = statistic_ == CellStatistic::Min   ? LogText::StatMinItem
                            : statistic_ == CellStatistic::Max ? LogText::StatMaxItem
                                                               : LogText::StatMeanItem;
  for (QAction* a : badgeMenu_->actions()) {
    if (!a->data().isValid()) continue;  // the separator and the channel menu
    const auto text = LogText(a->data().toInt());
    a->setText(LogTextQ(text, language_));
    a->setChecked(text == LogText::BadgeTimeItem ? !channel : channel && text == statistic);
  }
  QMenu* channels = channelMenu_;
  channels->setTitle(LogTextQ(LogText::BadgeChannel, language_));
  // The log's columns: made anew only when another log opens.
  std::vector<std::string> names;
  if (session_.isOpen())
    for (const LogColumn& col : session_.table().columns()) names.push_back(col.name());
  std::vector<std::string> listed;
  for (QAction* a : channels->actions()) listed.push_back(a->data().toString().toStdString());
  if (listed != names) {
    QActionGroup* group = channelGroup_;
    for (QAction* a : channels->actions()) delete a;
    for (const std::string& name : names) {
      QAction* a = channels->addAction(QString());
      a->setCheckable(true);
      a->setData(QString::fromStdString(name));
      group->addAction(a);
      connect(a, &QAction::triggered, this, [this, name] { setBadge(name, statistic_); });
    }
  }
  for (QAction* a : channels->actions()) {
    const std::string name = a->data().toString().toStdString();
    a->setText(FromStd(ColumnLabel(name, language_)));
    a->setChecked(channel && name == badgeColumn_);
  }
  channels->setEnabled(session_.isOpen());
}

void MapLogOverlay::updateBadgeButton() {
  if (!badge_) return;
  const int column = columnOfBadge();
  QString full, brief;
  if (column < 0) {
    full = brief = LogTextQ(LogText::BadgeTime, language_);
  } else {
    brief = StatisticWord(statistic_, language_);
    full = LogTextQ(LogText::BadgeCaption, language_)
               .arg(brief, FromStd(ColumnLabel(badgeColumn_, language_)));
  }
  badge_->setProperty("fullCaption", full);
  badge_->setProperty("briefCaption", brief);
  const QString hint = LogTextQ(LogText::BadgeHint, language_) +
                       (column >= 0 && full != brief ? "\n" + full : QString());
  badge_->setToolTip(hint);
  badge_->setStatusTip(LogTextQ(LogText::BadgeHint, language_));
}

QWidget* MapLogOverlay::panel() {
  if (panel_) return panel_;
  QWidget* owner = bar_ ? bar_->window() : nullptr;
  panel_ = new QWidget(owner, Qt::Tool);
  panel_->setObjectName("LogOverlayPanel");
  auto* grid = new QGridLayout(panel_);
  auto label = [&](const char* name) {
    auto* l = new QLabel(panel_);
    l->setObjectName(name);
    return l;
  };
  minRows_ = new QSpinBox(panel_);
  minRows_->setObjectName("LogSpinMinRows");
  minRows_->setRange(1, 100);
  steady_ = new QCheckBox(panel_);
  steady_->setObjectName("LogCheckSteady");
  maxRpm_ = new QSpinBox(panel_);
  maxRpm_->setObjectName("LogSpinMaxRpm");
  maxRpm_->setRange(50, 20000);
  maxRpm_->setSingleStep(100);
  maxThrottle_ = new QSpinBox(panel_);
  maxThrottle_->setObjectName("LogSpinMaxThrottle");
  maxThrottle_->setRange(1, 500);
  grid->addWidget(label("LogLabelMinRows"), 0, 0);
  grid->addWidget(minRows_, 0, 1);
  grid->addWidget(steady_, 1, 0, 1, 2);
  grid->addWidget(label("LogLabelMaxRpm"), 2, 0);
  grid->addWidget(maxRpm_, 2, 1);
  grid->addWidget(label("LogLabelMaxThrottle"), 3, 0);
  grid->addWidget(maxThrottle_, 3, 1);
  grid->addWidget(label("LogLabelGears"), 4, 0);
  auto* gearRow = new QHBoxLayout;
  for (int g = 0; g < 7; ++g) {
    gears_[g] = new QCheckBox(QString::number(g), panel_);
    gears_[g]->setObjectName(QString("LogCheckGear%1").arg(g));
    gearRow->addWidget(gears_[g]);
  }
  grid->addLayout(gearRow, 4, 1);
  QLabel* note = label("LogLabelOverlayNote");
  note->setWordWrap(true);
  note->setMinimumWidth(420);
  grid->addWidget(note, 5, 0, 1, 2);

  minRows_->setValue(filter_.minRows);
  steady_->setChecked(filter_.steadyOnly);
  maxRpm_->setValue(int(filter_.maxRpmPerS));
  maxThrottle_->setValue(int(filter_.maxThrottlePctPerS));
  for (int g = 0; g < 7; ++g) gears_[g]->setChecked((filter_.gears >> g) & 1);
  auto changed = [this] {
    CellFilter f = filter_;
    f.minRows = minRows_->value();
    f.steadyOnly = steady_->isChecked();
    f.maxRpmPerS = maxRpm_->value();
    f.maxThrottlePctPerS = maxThrottle_->value();
    f.gears = 0;
    for (int g = 0; g < 7; ++g)
      if (gears_[g]->isChecked()) f.gears = std::uint8_t(f.gears | (1u << g));
    setFilter(f);
  };
  connect(minRows_, &QSpinBox::valueChanged, this, changed);
  connect(maxRpm_, &QSpinBox::valueChanged, this, changed);
  connect(maxThrottle_, &QSpinBox::valueChanged, this, changed);
  connect(steady_, &QCheckBox::toggled, this, changed);
  for (QCheckBox* g : gears_) connect(g, &QCheckBox::toggled, this, changed);
  applyLanguage(session_.language());
  return panel_;
}

void MapLogOverlay::applyLanguage(int language) {
  language_ = language;
  if (panel_) ApplyCaptionTexts(panel_, LogViewerCaptionTexts(language));
  fillBadgeMenu();
  updateBadgeButton();
  placeControls();
  repaint();
}

}  // namespace rq::logs

#include "moc_map_log_overlay.cpp"
