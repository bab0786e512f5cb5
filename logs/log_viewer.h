// SPDX-License-Identifier: GPL-3.0-or-later
// The ride log viewer: a window of its own with the stacked plots of the open log, the
// channels of each plot chosen from the log's columns (named and with units from the channel
// table), the cursors, fitting and playback at 1x to 8x.
#pragma once

#include <QWidget>

#include <functional>
#include <vector>

#include "logs/log_condition.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTimer;

namespace rq::logs {

class LogLoader;
class LogPlot;
class LogSession;
struct LoadResult;

class LogViewer : public QWidget {
  Q_OBJECT
 public:
  explicit LogViewer(LogSession& session, QWidget* parent = nullptr);

  LogPlot* plot() const { return plot_; }
  // Starts reading a log file on a worker thread, with a progress line and Cancel; the log
  // opens when the read ends, and a failure is shown in a message box naming line and column.
  // False while another log is being read.
  bool openFile(const QString& path);
  // A log is being read.
  bool loading() const;
  LogLoader* loader() const { return loader_; }
  void applyLanguage(int language);
  void setPlaying(bool on);
  bool playing() const;
  // Playback speed: 1, 2, 4 or 8.
  void setSpeed(int factor);
  // The clock playback follows, in milliseconds; empty: a monotonic clock. Tests set their own.
  void setClock(std::function<qint64()> msNow) { clock_ = std::move(msNow); }

  // Find: the cursor to the first row of the next (previous) stretch of rows that meet the
  // condition in the find field. A condition just written may stop at the cursor's own row;
  // after that the search goes on stretch by stretch, round from the other end. The matching
  // stretches are marked on the plots.
  // False when the condition cannot be read (the line beside it says why) or nothing meets it.
  bool findNext();
  bool findPrevious();
  QLineEdit* findField() const { return find_; }
  QLabel* findResult() const { return findResult_; }
  const std::vector<MatchStretch>& matches() const { return matches_; }

  // The channels a new log starts with: engine speed, throttle, advance, gear, road speed.
  static std::vector<std::vector<int>> DefaultPlots(const class LogTable& table);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void onOpened();
  void onGrown(std::size_t firstNew);
  // Takes the stretches Find matched and marks them on the plots.
  void showMatches(std::vector<MatchStretch> matches);
  void onCursorMoved();
  void fillChannelList();
  void channelToggled(QListWidgetItem* item);
  void addPlot();
  // A plot of the acceleration at the bottom, unless one shows it already.
  void showAcceleration();
  // The hint of Acceleration by map: what it does, or what the log lacks for it.
  void updateMapColoursHint();
  void removePlot();
  void chooseFile();
  void playTick();
  qint64 now() const;
  bool find(bool forward);
  // Moves the shown time range so that the cursor is in it.
  void keepCursorInView();
  void updateStatus();
  void loadProgress(qint64 done, qint64 total);
  void loadFinished(const QString& path, LoadResult* result);
  QString columnLabel(int column) const;
  QString formatValue(int column, double value) const;

  LogSession& session_;
  LogPlot* plot_ = nullptr;
  QPushButton* open_ = nullptr;
  QPushButton* fit_ = nullptr;
  QPushButton* play_ = nullptr;
  QComboBox* speed_ = nullptr;
  QCheckBox* second_ = nullptr;
  QCheckBox* mapColours_ = nullptr;
  QLineEdit* find_ = nullptr;
  QLabel* findResult_ = nullptr;
  std::vector<MatchStretch> matches_;
  QString matchedText_;  // the condition matches_ hold (empty: none yet)
  QString followStopped_;  // why new rows of the open log are not followed any more
  QComboBox* plotChoice_ = nullptr;
  QListWidget* channels_ = nullptr;
  QLabel* status_ = nullptr;
  LogLoader* loader_ = nullptr;
  QWidget* loadRow_ = nullptr;
  QLabel* loadLabel_ = nullptr;
  class QProgressBar* loadBar_ = nullptr;
  QTimer* playTimer_ = nullptr;
  std::function<qint64()> clock_;
  qint64 playedTo_ = 0;  // the clock's time the cursor has been moved to
  int language_ = 0;
  bool filling_ = false;
};

}  // namespace rq::logs
