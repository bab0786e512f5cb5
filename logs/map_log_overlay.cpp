// SPDX-License-Identifier: GPL-3.0-or-later
#include "logs/map_log_overlay.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "logs/log_session.h"
#include "pages/map_grid.h"
#include "ui/caption_apply.h"
#include "ui/log_captions.h"
#include "logs/log_phrase.h"

namespace rq::logs {

namespace {

const QColor kReplayColour(255, 0, 200);  // magenta: far from the lime of the live cell
constexpr int kBarTop = 9;

}  // namespace

// Paints over the grid: the time per visited cell, hatching where there is not enough data,
// and the replayed cell's outline. Mouse clicks go through unless the overlay is on.
class CellPaint : public QWidget {
 public:
  CellPaint(MapLogOverlay& overlay, MapGrid& grid)
      : QWidget(grid.box()), overlay_(overlay), grid_(grid) {
    setObjectName("LogOverlayPaint");
    setAttribute(Qt::WA_NoSystemBackground);
  }

  void follow() {
    // Shown only with something to draw: the counts, or the cursor's row on the map.
    const bool draw = (overlay_.enabled() && overlay_.counts()) || overlay_.replayCell();
    setVisible(draw);
    if (!draw) return;
    setGeometry(grid_.box()->rect());
    setAttribute(Qt::WA_TransparentForMouseEvents, !overlay_.enabled());
    raise();
    update();
  }

 protected:
  QRect cellRect(int r, int c) const {
    return grid_.cell(r, c)->geometry().united(grid_.cellUpDown(r, c)->geometry());
  }

  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const auto& counts = overlay_.counts();
    if (overlay_.enabled() && counts) {
      int most = 1;
      for (const auto& row : counts->rows)
        for (int n : row) most = std::max(most, n);
      QFont f = font();
      f.setPixelSize(11);
      p.setFont(f);
      const int lang = overlay_.property("language").toInt();
      for (int r = 0; r < kMapRows; ++r) {
        for (int c = 0; c < kMapColumns; ++c) {
          if (!grid_.cell(r, c)->isVisibleTo(grid_.box()) || !counts->visited(r, c)) continue;
          const QRect rc = cellRect(r, c).adjusted(-1, -1, 1, 1);
          const int n = counts->rows[r][c];
          if (!counts->enough(r, c)) {
            p.fillRect(rc, QColor(235, 235, 235));
            p.fillRect(rc, QBrush(QColor(150, 150, 150), Qt::BDiagPattern));
            p.setPen(QColor(90, 90, 90));
            p.drawText(rc, Qt::AlignCenter, QString("(%1)").arg(n));
            continue;
          }
          // Light to deep blue by the share of the busiest cell, on a log scale.
          const float share = float(std::log1p(n) / std::log1p(most));
          const QColor fill = QColor::fromHsvF(0.6f, 0.15f + 0.75f * share, 1.0f - 0.45f * share);
          p.fillRect(rc, fill);
          p.setPen(share > 0.55f ? Qt::white : Qt::black);
          const double seconds = n * overlay_.rowSeconds();
          p.drawText(rc, Qt::AlignCenter,
                     Phrase(LogPhrase::CellSeconds, lang)
                         .arg(QString::number(seconds, 'f', seconds < 10 ? 1 : 0)));
        }
      }
    }
    if (const std::optional<LiveCell> cell = overlay_.replayCell()) {
      if (cell->cellMarked && cell->column >= 0 && cell->column < kMapColumns && cell->row >= 0 &&
          cell->row < kMapRows) {
        p.setPen(QPen(kReplayColour, 3));
        p.setBrush(Qt::NoBrush);
        p.drawRect(cellRect(cell->row, cell->column).adjusted(-3, -3, 2, 2));
      }
    }
  }

  void mousePressEvent(QMouseEvent* event) override {
    for (int r = 0; r < kMapRows; ++r)
      for (int c = 0; c < kMapColumns; ++c)
        if (grid_.cell(r, c)->isVisibleTo(grid_.box()) &&
            cellRect(r, c).contains(event->pos())) {
          overlay_.moveCursorToCell(r, c);
          return;
        }
  }

 private:
  MapLogOverlay& overlay_;
  MapGrid& grid_;
};

MapLogOverlay::MapLogOverlay(LogSession& session, QObject* parent)
    : QObject(parent), session_(session) {
  filter_.minRows = 3;
  setProperty("language", session_.language());
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
    recount();
  });
  connect(&session_, &LogSession::cursorMoved, this, [this] { repaint(); });
  connect(&session_, &LogSession::languageChanged, this, &MapLogOverlay::applyLanguage);
}

MapLogOverlay::~MapLogOverlay() {
  delete panel_;
}

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
  if (grid_ != &grid || paint_ == nullptr) {
    grid_ = &grid;
    paint_ = new CellPaint(*this, grid);
  }
  adoptBar(bar);
  placeControls();
  if (changed) recount();
  else repaint();
}

void MapLogOverlay::adoptBar(QWidget* bar) {
  if (bar != nullptr && bar_ != bar) {
    bar_ = bar;
    toggle_ = new QCheckBox("Log", bar);
    toggle_->setObjectName("CheckBoxLogOverlay");
    toggle_->setChecked(on_);
    filters_ = new QPushButton("Filters...", bar);
    filters_->setObjectName("ButtonLogFilters");
    connect(toggle_, &QCheckBox::toggled, this, &MapLogOverlay::setEnabled);
    connect(filters_, &QPushButton::clicked, this, [this] {
      QWidget* p = panel();
      p->show();
      p->raise();
    });
    placeControls();
  }
}

void MapLogOverlay::placeControls() {
  if (!bar_ || !toggle_) return;
  // Right of the page's own controls on the left of the bar.
  const int left = barLeft_;
  toggle_->adjustSize();
  toggle_->move(left, kBarTop + 2);
  filters_->adjustSize();
  filters_->resize(filters_->sizeHint().width(), 23);
  filters_->move(left + toggle_->width() + 6, kBarTop);
  toggle_->show();
  filters_->show();
}

void MapLogOverlay::setEnabled(bool on) {
  on_ = on;
  if (toggle_ && toggle_->isChecked() != on) toggle_->setChecked(on);
  recount();
}

void MapLogOverlay::setFilter(const CellFilter& filter) {
  filter_ = filter;
  recount();
}

void MapLogOverlay::recount() {
  counts_.reset();
  if (on_ && session_.isOpen() && session_.cellInputs() != nullptr && rule_.page >= 0)
    counts_ = CountCells(*session_.cellInputs(), rule_, filter_);
  repaint();
}

void MapLogOverlay::repaint() {
  if (paint_) paint_->follow();
}

std::optional<LiveCell> MapLogOverlay::replayCell() const {
  const CellInputs* in = session_.cellInputs();
  if (in == nullptr || rule_.page < 0 || in->rows() == 0) return std::nullopt;
  return CellOfRow(rule_, *in, std::min(session_.cursorRow(), in->rows() - 1));
}

bool MapLogOverlay::moveCursorToCell(int row, int column) {
  const CellInputs* in = session_.cellInputs();
  if (in == nullptr || rule_.page < 0) return false;
  const std::optional<std::size_t> next =
      NextRowInCell(*in, rule_, filter_, session_.cursorRow(), row, column);
  if (!next) return false;
  session_.setCursorRow(*next);
  repaint();
  return true;
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
  setProperty("language", language);
  if (panel_) ApplyCaptionTexts(panel_, LogViewerCaptionTexts(language));
  placeControls();
  repaint();
}

}  // namespace rq::logs

#include "moc_map_log_overlay.cpp"
