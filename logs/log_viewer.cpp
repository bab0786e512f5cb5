// SPDX-License-Identifier: GPL-3.0-or-later
#include "logs/log_viewer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <cmath>

#include "logs/log_loader.h"
#include "logs/log_plot.h"
#include "logs/log_session.h"
#include "protocol/channel_table.h"
#include "ui/caption_apply.h"
#include "ui/log_captions.h"
#include "logs/log_phrase.h"
#include "logs/log_texts.h"
#include "ui/qt_text.h"

namespace rq::logs {

namespace {

constexpr int kSpeeds[] = {1, 2, 4, 8};

}  // namespace

LogViewer::LogViewer(LogSession& session, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session) {
  setObjectName("LogViewer");
  resize(1180, 760);

  auto* top = new QHBoxLayout;
  open_ = new QPushButton(this);
  open_->setObjectName("LogButtonOpen");
  fit_ = new QPushButton(this);
  fit_->setObjectName("LogButtonFit");
  play_ = new QPushButton(this);
  play_->setObjectName("LogButtonPlay");
  play_->setCheckable(true);
  auto* speedLabel = new QLabel(this);
  speedLabel->setObjectName("LogLabelSpeed");
  speed_ = new QComboBox(this);
  speed_->setObjectName("LogComboSpeed");
  for (int s : kSpeeds) speed_->addItem(QString("%1×").arg(s), s);
  second_ = new QCheckBox(this);
  second_->setObjectName("LogCheckSecond");
  auto* note = new QLabel(this);
  note->setObjectName("LogLabelNote");
  mapColours_ = new QCheckBox(this);
  mapColours_->setObjectName("LogCheckMapColours");
  for (QWidget* w :
       std::initializer_list<QWidget*>{open_, fit_, play_, speedLabel, speed_, second_, mapColours_})
    top->addWidget(w);
  top->addSpacing(12);
  top->addWidget(note);
  top->addStretch(1);

  // Find: a condition on the channels, the next and previous row meeting it, what it found.
  auto* findRow = new QHBoxLayout;
  auto* findLabel = new QLabel(this);
  findLabel->setObjectName("LogLabelFind");
  find_ = new QLineEdit(this);
  find_->setObjectName("LogEditFind");
  find_->setPlaceholderText("gear = 4 and throttle > 85 %");
  find_->setClearButtonEnabled(true);
  find_->setMinimumWidth(320);
  auto* findPrevious = new QPushButton(this);
  findPrevious->setObjectName("LogButtonFindPrevious");
  auto* findNext = new QPushButton(this);
  findNext->setObjectName("LogButtonFindNext");
  findResult_ = new QLabel(this);
  findResult_->setObjectName("LogLabelFindResult");
  findRow->addWidget(findLabel);
  findRow->addWidget(find_, 2);
  findRow->addWidget(findPrevious);
  findRow->addWidget(findNext);
  findRow->addWidget(findResult_, 3);
  connect(find_, &QLineEdit::returnPressed, this, &LogViewer::findNext);
  connect(findNext, &QPushButton::clicked, this, &LogViewer::findNext);
  connect(findPrevious, &QPushButton::clicked, this, &LogViewer::findPrevious);
  auto* f3 = new QShortcut(QKeySequence(Qt::Key_F3), this);
  connect(f3, &QShortcut::activated, this, &LogViewer::findNext);
  auto* shiftF3 = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), this);
  connect(shiftF3, &QShortcut::activated, this, &LogViewer::findPrevious);

  auto* side = new QVBoxLayout;
  auto* plotRow = new QHBoxLayout;
  auto* plotLabel = new QLabel(this);
  plotLabel->setObjectName("LogLabelPlot");
  plotChoice_ = new QComboBox(this);
  plotChoice_->setObjectName("LogComboPlot");
  plotRow->addWidget(plotLabel);
  plotRow->addWidget(plotChoice_, 1);
  side->addLayout(plotRow);
  auto* add = new QPushButton(this);
  add->setObjectName("LogButtonAddPlot");
  auto* remove = new QPushButton(this);
  remove->setObjectName("LogButtonRemovePlot");
  side->addWidget(add);
  side->addWidget(remove);
  auto* channelsLabel = new QLabel(this);
  channelsLabel->setObjectName("LogLabelChannels");
  side->addWidget(channelsLabel);
  channels_ = new QListWidget(this);
  channels_->setObjectName("LogListChannels");
  side->addWidget(channels_, 1);
  auto* sideBox = new QWidget(this);
  sideBox->setLayout(side);
  sideBox->setFixedWidth(300);

  plot_ = new LogPlot(session_, this);
  plot_->columnLabel = [this](int c) { return columnLabel(c); };
  plot_->formatValue = [this](int c, double v) { return formatValue(c, v); };
  plot_->cursorTitle = [this](double t, std::size_t row, std::optional<double> second) {
    if (!session_.isOpen()) return Phrase(LogPhrase::NoLog, language_);
    QString s = Phrase(LogPhrase::CursorLegend, language_)
                    .arg(QString::number(t, 'f', 3))
                    .arg(row + 1);
    if (second)
      s += ";  " + Phrase(LogPhrase::SecondCursor, language_)
                       .arg(QString::number(*second, 'f', 3))
                       .arg(QString::number(*second - t, 'f', 3));
    return s;
  };

  auto* middle = new QHBoxLayout;
  middle->addWidget(sideBox);
  middle->addWidget(plot_, 1);

  auto* bottom = new QHBoxLayout;
  status_ = new QLabel(this);
  status_->setObjectName("LogLabelStatus");
  // Reading a log: what and how far, and Cancel; shown only while a read runs.
  loadRow_ = new QWidget(this);
  loadRow_->setObjectName("LogLoadRow");
  auto* loadLayout = new QHBoxLayout(loadRow_);
  loadLayout->setContentsMargins(0, 0, 0, 0);
  loadLabel_ = new QLabel(loadRow_);
  loadLabel_->setObjectName("LogLabelLoading");
  loadBar_ = new QProgressBar(loadRow_);
  loadBar_->setObjectName("LogProgressLoading");
  loadBar_->setRange(0, 1000);
  loadBar_->setTextVisible(false);
  loadBar_->setFixedWidth(200);
  auto* cancelLoad = new QPushButton(loadRow_);
  cancelLoad->setObjectName("LogButtonCancelLoad");
  loadLayout->addWidget(loadLabel_);
  loadLayout->addWidget(loadBar_);
  loadLayout->addWidget(cancelLoad);
  loadRow_->hide();
  loader_ = new LogLoader(this);
  connect(loader_, &LogLoader::progress, this, &LogViewer::loadProgress);
  connect(loader_, &LogLoader::finished, this, &LogViewer::loadFinished);
  connect(cancelLoad, &QPushButton::clicked, loader_, &LogLoader::cancel);
  auto* help = new QLabel(this);
  help->setObjectName("LogLabelHelp");
  bottom->addWidget(status_);
  bottom->addWidget(loadRow_);
  bottom->addStretch(1);
  bottom->addWidget(help);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(findRow);
  layout->addLayout(middle, 1);
  layout->addLayout(bottom);

  playTimer_ = new QTimer(this);
  playTimer_->setInterval(40);
  connect(playTimer_, &QTimer::timeout, this, &LogViewer::playTick);
  connect(open_, &QPushButton::clicked, this, &LogViewer::chooseFile);
  connect(fit_, &QPushButton::clicked, plot_, &LogPlot::fitAll);
  connect(play_, &QPushButton::toggled, this, &LogViewer::setPlaying);
  connect(second_, &QCheckBox::toggled, this, [this](bool on) {
    if (!on) {
      plot_->setSecondCursor(std::nullopt);
    } else if (!plot_->secondCursor()) {
      plot_->setSecondCursor(session_.cursorTime() + (plot_->t1() - plot_->t0()) / 10);
    }
  });
  connect(mapColours_, &QCheckBox::toggled, this, [this](bool on) {
    // The acceleration is drawn by map: a plot of it is added when none shows it yet.
    if (on) showAcceleration();
    plot_->setColourByMap(on);
  });
  connect(plot_, &LogPlot::timeRangeChanged, this, [this] {
    if (plot_->secondCursor() && !second_->isChecked()) second_->setChecked(true);
  });
  // The box says whether a second cursor stands, however it was set (a right click too).
  connect(plot_, &LogPlot::secondCursorShown, this, [this](bool shown) {
    if (second_->isChecked() != shown) second_->setChecked(shown);
  });
  connect(plotChoice_, &QComboBox::currentIndexChanged, this, &LogViewer::fillChannelList);
  connect(channels_, &QListWidget::itemChanged, this, &LogViewer::channelToggled);
  connect(add, &QPushButton::clicked, this, &LogViewer::addPlot);
  connect(remove, &QPushButton::clicked, this, &LogViewer::removePlot);
  connect(&session_, &LogSession::opened, this, &LogViewer::onOpened);
  connect(&session_, &LogSession::grown, this, &LogViewer::onGrown);
  connect(&session_, &LogSession::followStopped, this, [this](const QString& why) {
    followStopped_ = why;
    updateStatus();
  });
  connect(&session_, &LogSession::cursorMoved, this, &LogViewer::onCursorMoved);
  connect(&session_, &LogSession::languageChanged, this, &LogViewer::applyLanguage);

  language_ = session_.language();
  applyLanguage(language_);
  if (session_.isOpen()) onOpened();
}

std::vector<std::vector<int>> LogViewer::DefaultPlots(const LogTable& table) {
  std::vector<std::vector<int>> plots;
  const std::vector<std::vector<const char*>> wanted = {
      {"rpm"}, {"throttle_pct"}, {"advance1_deg", "advance2_deg"}, {"gear"}, {"speed_kmh"}};
  for (const auto& keys : wanted) {
    std::vector<int> plot;
    for (const char* key : keys)
      if (int c = table.find(key); c >= 0) plot.push_back(c);
    if (!plot.empty()) plots.push_back(plot);
  }
  // Another tool's log: its first columns, one plot each.
  for (int c = 0; plots.empty() || (plots.size() < 5 && c < int(table.columns().size()) &&
                                    table.find("rpm") < 0);
       ++c) {
    if (c >= int(table.columns().size())) break;
    plots.push_back({c});
  }
  return plots;
}

bool LogViewer::openFile(const QString& path) {
  if (!loader_->start(path)) return false;
  loadProgress(0, 0);
  loadRow_->show();
  return true;
}

bool LogViewer::loading() const { return loader_->busy(); }

void LogViewer::loadProgress(qint64 done, qint64 total) {
  if (!loader_->busy()) return;
  const double share = total > 0 ? std::clamp(double(done) / double(total), 0.0, 1.0) : 0.0;
  loadBar_->setValue(int(share * 1000));
  loadLabel_->setText(FromStd(LogTextOf(LogText::Loading, language_))
                          .arg(QFileInfo(loader_->path()).fileName())
                          .arg(int(share * 100)));
}

void LogViewer::loadFinished(const QString& path, LoadResult* result) {
  loadRow_->hide();
  if (result->ok()) {
    session_.adopt(std::move(*result->table), path, result->tail);
    return;
  }
  if (result->cancelled) {
    status_->setText(FromStd(LogTextOf(LogText::LoadCancelled, language_)));
    return;
  }
  // Not modal: the window goes on while the message is up.
  auto* box = new QMessageBox(QMessageBox::Warning, windowTitle(),
                              Phrase(LogPhrase::OpenFailed, language_) + "\n\n" + path + "\n" +
                                  QString::fromStdString(result->error.message),
                              QMessageBox::Ok, this);
  box->setObjectName("LogMessageOpenFailed");
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

void LogViewer::closeEvent(QCloseEvent* event) {
  // A read still running is not wanted any more.
  loader_->cancel();
  QWidget::closeEvent(event);
}

void LogViewer::onOpened() {
  setPlaying(false);
  followStopped_.clear();
  // A condition read against the last log names its columns: read it anew.
  matches_.clear();
  matchedText_.clear();
  findResult_->clear();
  plot_->setMarks({});
  second_->setChecked(false);
  plot_->setSecondCursor(std::nullopt);
  plot_->setPlots(DefaultPlots(session_.table()));
  // Acceleration by map needs both columns; without them the box says what is missing.
  const bool byMap = session_.table().find("acceleration_rpm_s") >= 0 &&
                     session_.table().find("second_map") >= 0;
  if (!byMap) mapColours_->setChecked(false);
  mapColours_->setEnabled(byMap);
  updateMapColoursHint();
  if (mapColours_->isChecked()) showAcceleration();
  plotChoice_->blockSignals(true);
  plotChoice_->clear();
  for (std::size_t p = 0; p < plot_->plots().size(); ++p) plotChoice_->addItem(QString::number(p + 1));
  plotChoice_->blockSignals(false);
  fillChannelList();
  plot_->fitAll();
  plot_->refreshTraces();
  updateStatus();
}

// New rows of a log still being written: shown as they come, as `tail -f` shows them. A view
// that showed the last row moves on with it; the matches of Find take the new rows in.
void LogViewer::onGrown(std::size_t firstNew) {
  const LogTable& log = session_.table();
  if (!matchedText_.isEmpty()) {
    const ConditionParse parse = ParseLogCondition(matchedText_.toStdString(), log);
    if (parse.ok()) showMatches(MatchStretches(log, *parse.condition));
  }
  const double before = firstNew > 0 ? log.time(firstNew - 1) : log.time().front();
  const double t0 = plot_->t0(), t1 = plot_->t1();
  if (t1 >= before) {
    const double width = t1 - t0, last = log.time().back();
    plot_->setTimeRange(std::max(t0, last - width * 0.95), std::max(t1, last + width * 0.05));
  }
  if (plot_->t0() == t0 && plot_->t1() == t1) plot_->refreshTraces();
  updateStatus();
}

void LogViewer::showMatches(std::vector<MatchStretch> matches) {
  matches_ = std::move(matches);
  // A stretch lasts until the row after it: the legends show a row until the next.
  const auto& t = session_.table().time();
  std::vector<std::pair<double, double>> spans;
  spans.reserve(matches_.size());
  for (const MatchStretch& m : matches_)
    spans.push_back({t[m.first], m.last + 1 < t.size() ? t[m.last + 1] : t[m.last]});
  plot_->setMarks(std::move(spans));
}

void LogViewer::onCursorMoved() {
  plot_->refreshCursor();
  updateStatus();
}

QString LogViewer::columnLabel(int column) const {
  return FromStd(ColumnLabel(session_.table().column(static_cast<std::size_t>(column)).name(), language_));
}

QString LogViewer::formatValue(int column, double value) const {
  const LogColumn& col = session_.table().column(static_cast<std::size_t>(column));
  int decimals = 3;
  if (const Channel* ch = FindChannel(col.name())) decimals = ch->decimals;
  else if (value == std::floor(value)) decimals = 0;
  return QString::number(value, 'f', decimals);
}

void LogViewer::fillChannelList() {
  filling_ = true;
  channels_->clear();
  const int p = plotChoice_->currentIndex();
  if (session_.isOpen() && p >= 0) {
    const auto& plots = plot_->plots();
    for (std::size_t c = 0; c < session_.table().columns().size(); ++c) {
      auto* item = new QListWidgetItem(columnLabel(int(c)), channels_);
      item->setData(Qt::UserRole, int(c));
      item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
      const bool on = std::size_t(p) < plots.size() &&
                      std::find(plots[std::size_t(p)].begin(), plots[std::size_t(p)].end(),
                                int(c)) != plots[std::size_t(p)].end();
      item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
  }
  filling_ = false;
}

void LogViewer::channelToggled(QListWidgetItem* item) {
  if (filling_) return;
  const int p = plotChoice_->currentIndex();
  auto plots = plot_->plots();
  if (p < 0 || std::size_t(p) >= plots.size()) return;
  const int c = item->data(Qt::UserRole).toInt();
  auto& plot = plots[std::size_t(p)];
  const bool was = std::find(plot.begin(), plot.end(), c) != plot.end();
  const bool wanted = item->checkState() == Qt::Checked;
  if (was == wanted) return;
  plot.erase(std::remove(plot.begin(), plot.end(), c), plot.end());
  if (wanted) plot.push_back(c);
  plot_->setPlots(plots);
}

void LogViewer::updateMapColoursHint() {
  mapColours_->setToolTip(mapColours_->isEnabled()
                              ? mapColours_->property("captionHint").toString()
                              : FromStd(LogTextOf(LogText::NoMapColumns, language_)));
}

void LogViewer::showAcceleration() {
  if (!session_.isOpen()) return;
  const int c = session_.table().find("acceleration_rpm_s");
  auto plots = plot_->plots();
  for (const auto& plot : plots)
    if (c < 0 || std::find(plot.begin(), plot.end(), c) != plot.end()) return;
  plots.push_back({c});
  plot_->setPlots(plots);
  plotChoice_->addItem(QString::number(plots.size()));
}

void LogViewer::addPlot() {
  auto plots = plot_->plots();
  plots.push_back({});
  plot_->setPlots(plots);
  plotChoice_->addItem(QString::number(plots.size()));
  plotChoice_->setCurrentIndex(int(plots.size()) - 1);
}

void LogViewer::removePlot() {
  auto plots = plot_->plots();
  const int p = plotChoice_->currentIndex();
  if (plots.size() <= 1 || p < 0 || std::size_t(p) >= plots.size()) return;
  plots.erase(plots.begin() + p);
  plot_->setPlots(plots);
  plotChoice_->blockSignals(true);
  plotChoice_->removeItem(plotChoice_->count() - 1);
  plotChoice_->setCurrentIndex(std::min(p, plotChoice_->count() - 1));
  plotChoice_->blockSignals(false);
  fillChannelList();
}

void LogViewer::chooseFile() {
  const QString path = QFileDialog::getOpenFileName(
      this, Phrase(LogPhrase::OpenTitle, language_),
      session_.isOpen() ? QFileInfo(session_.path()).absolutePath() : QString(),
      Phrase(LogPhrase::CsvFiles, language_) + " (*.csv *.txt *.tsv);;* (*)");
  if (!path.isEmpty()) openFile(path);
}

bool LogViewer::playing() const { return playTimer_->isActive(); }

void LogViewer::setPlaying(bool on) {
  if (on && !session_.isOpen()) on = false;
  if (on) {
    // From the end, play starts over.
    if (session_.cursorRow() + 1 >= session_.table().rows()) session_.setCursorRow(0);
    playedTo_ = now();
    playTimer_->start();
  } else {
    playTimer_->stop();
  }
  play_->blockSignals(true);
  play_->setChecked(on);
  play_->blockSignals(false);
  play_->setText(Phrase(on ? LogPhrase::Pause : LogPhrase::Play, language_));
}

void LogViewer::setSpeed(int factor) {
  for (int i = 0; i < speed_->count(); ++i)
    if (speed_->itemData(i).toInt() == factor) speed_->setCurrentIndex(i);
}

bool LogViewer::findNext() { return find(true); }
bool LogViewer::findPrevious() { return find(false); }

bool LogViewer::find(bool forward) {
  if (!session_.isOpen() || session_.table().rows() == 0) return false;
  const QString text = find_->text();
  const bool fresh = text != matchedText_ || matchedText_.isEmpty();
  if (fresh) {
    const std::string condition = text.toStdString();
    const ConditionParse parse = ParseLogCondition(condition, session_.table());
    if (!parse.ok()) {
      matches_.clear();
      matchedText_.clear();
      plot_->setMarks({});
      findResult_->setText(FromStd(ConditionErrorText(parse.error, condition, language_)));
      // The field's cursor where the trouble starts (characters, not bytes).
      find_->setCursorPosition(
          int(QString::fromUtf8(condition.data(), qsizetype(parse.error.position)).size()));
      return false;
    }
    showMatches(MatchStretches(session_.table(), *parse.condition));
    matchedText_ = text;
  }
  if (matches_.empty()) {
    findResult_->setText(FromStd(LogTextOf(LogText::FindNone, language_)));
    return false;
  }
  bool wrapped = false;
  const std::size_t from = session_.cursorRow();
  const std::optional<std::size_t> row = forward ? NextMatch(matches_, from, fresh, &wrapped)
                                                 : PreviousMatch(matches_, from, &wrapped);
  session_.setCursorRow(*row);
  keepCursorInView();
  QString said = FromStd(LogTextOf(LogText::FindRow, language_)).arg(*row + 1) + ";  " +
                 FromStd(LogTextOf(LogText::FindMatches, language_))
                     .arg(MatchingRowCount(matches_))
                     .arg(matches_.size());
  if (wrapped) said += ";  " + FromStd(LogTextOf(LogText::FindWrapped, language_));
  findResult_->setText(said);
  return true;
}

void LogViewer::keepCursorInView() {
  const double width = plot_->t1() - plot_->t0();
  if (session_.cursorTime() > plot_->t1() || session_.cursorTime() < plot_->t0())
    plot_->setTimeRange(session_.cursorTime() - width * 0.1, session_.cursorTime() + width * 0.9);
}

qint64 LogViewer::now() const {
  if (clock_) return clock_();
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void LogViewer::playTick() {
  const qint64 at = now();
  const double elapsed = static_cast<double>(at - playedTo_) / 1000.0;
  playedTo_ = at;
  const double t = session_.cursorTime() + elapsed * speed_->currentData().toInt();
  const double last = session_.table().time().back();
  session_.setCursorTime(std::min(t, last));
  // Keep the cursor in view: when it leaves the right edge, the view moves on.
  keepCursorInView();
  if (t >= last) setPlaying(false);
}

void LogViewer::updateStatus() {
  if (!session_.isOpen()) {
    status_->setText(Phrase(LogPhrase::NoLog, language_));
    return;
  }
  const LogTable& log = session_.table();
  const double span = log.rows() > 0 ? log.time().back() - log.time().front() : 0;
  QString status = Phrase(LogPhrase::Status, language_)
                       .arg(QFileInfo(session_.path()).fileName())
                       .arg(log.rows())
                       .arg(QString::number(span, 'f', 1));
  if (session_.following()) status += ";  " + FromStd(LogTextOf(LogText::Following, language_));
  if (!followStopped_.isEmpty())
    status += ";  " + FromStd(LogTextOf(LogText::FollowStopped, language_)).arg(followStopped_);
  status_->setText(status);
}

void LogViewer::applyLanguage(int language) {
  language_ = language;
  ApplyCaptionTexts(this, LogViewerCaptionTexts(language));
  ApplyCaptionTexts(this, LogToolCaptionTexts(language));
  mapColours_->setProperty("captionHint", mapColours_->toolTip());
  updateMapColoursHint();
  play_->setText(Phrase(playing() ? LogPhrase::Pause : LogPhrase::Play, language_));
  if (session_.isOpen()) {
    filling_ = true;  // a new name is no new choice of channels
    for (int i = 0; i < channels_->count(); ++i)
      channels_->item(i)->setText(columnLabel(channels_->item(i)->data(Qt::UserRole).toInt()));
    filling_ = false;
  }
  updateStatus();
  if (session_.isOpen()) plot_->refreshTraces();
}

void LogViewer::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space) {
    setPlaying(!playing());
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace rq::logs

#include "moc_log_viewer.cpp"
