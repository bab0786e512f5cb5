// SPDX-License-Identifier: GPL-3.0-or-later
// The ride log viewer: a window of its own with the stacked plots of the open log, the
// channels of each plot chosen from the log's columns (named and with units from the channel
// table), the cursors, fitting and playback at 1x to 8x.
#pragma once

#include <QElapsedTimer>
#include <QWidget>

#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTimer;

namespace rq::logs {

class LogPlot;
class LogSession;

class LogViewer : public QWidget {
  Q_OBJECT
 public:
  explicit LogViewer(LogSession& session, QWidget* parent = nullptr);

  LogPlot* plot() const { return plot_; }
  // Opens a log file; a failure is shown in a message box naming line and column.
  bool openFile(const QString& path);
  void applyLanguage(int language);
  void setPlaying(bool on);
  bool playing() const;
  // Playback speed: 1, 2, 4 or 8.
  void setSpeed(int factor);

  // The channels a new log starts with: engine speed, throttle, advance, gear, road speed.
  static std::vector<std::vector<int>> DefaultPlots(const class LogTable& table);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void onOpened();
  void onCursorMoved();
  void fillChannelList();
  void channelToggled(QListWidgetItem* item);
  void addPlot();
  void removePlot();
  void chooseFile();
  void playTick();
  void updateStatus();
  QString columnLabel(int column) const;
  QString formatValue(int column, double value) const;

  LogSession& session_;
  LogPlot* plot_ = nullptr;
  QPushButton* open_ = nullptr;
  QPushButton* fit_ = nullptr;
  QPushButton* play_ = nullptr;
  QComboBox* speed_ = nullptr;
  QCheckBox* second_ = nullptr;
  QComboBox* plotChoice_ = nullptr;
  QListWidget* channels_ = nullptr;
  QLabel* status_ = nullptr;
  QTimer* playTimer_ = nullptr;
  QElapsedTimer playClock_;
  int language_ = 0;
  bool filling_ = false;
};

// The viewer of the program (made on first use, a window of its own owned by `parent`).
LogViewer* ShowLogViewer(QWidget* parent);

}  // namespace rq::logs
