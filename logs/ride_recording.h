// SPDX-License-Identifier: GPL-3.0-or-later
// Recording a ride from the window: the Record item of the Ignition menu (Ctrl+R), the Record
// button on the live strip with the running time and the number of rows, and a button that
// opens the finished log. Every accepted monitor reply becomes one row; the recording goes on
// across pages, languages, Read, Verify, Program and a lost link (no rows come then).
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <string>

#include "logs/recorder.h"
#include "protocol/monitor_reply.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class QWidget;

namespace rq {
class WindowFace;
class Workspace;
}  // namespace rq

namespace rq::logs {

class LogRoom;

class RideRecording : public QObject {
  Q_OBJECT

 public:
  // Every accepted monitor reply of the workspace becomes a row while it records; the
  // controls go onto the window's live strip and the Record item into the Ignition menu.
  // "Open log" opens the recording in the viewer of `logs`.
  RideRecording(Workspace& workspace, WindowFace& window, LogRoom& logs);
  ~RideRecording() override;

  // One accepted monitor reply.
  void monitorAccepted(const MonitorSnapshot& s);

  // Starts or stops (the menu item, the button and Ctrl+R all come here).
  void setRecording(bool on);
  bool recording() const { return recorder_.recording(); }
  const Recorder& recorder() const { return recorder_; }
  // The folder new recordings go to (RideLogFolder() unless changed).
  void setFolder(const std::string& folder) { folder_ = folder; }

 signals:
  // The recording started or stopped (by the user or a failed write).
  void recordingChanged(bool on);
  // A row was written: the snapshot, `seconds` after the start of the recording.
  void rowRecorded(const rq::MonitorSnapshot& snapshot, double seconds);

 private:
  void failed();
  void showState();

  WindowFace& window_;
  LogRoom& logs_;
  std::string folder_;
  Recorder recorder_;
  QAction* menuItem_ = nullptr;
  QPushButton* button_ = nullptr;
  QPushButton* openButton_ = nullptr;
  QLabel* timeLabel_ = nullptr;
  QLabel* rowsLabel_ = nullptr;
  QLabel* rowsTitle_ = nullptr;
  QLabel* failedText_ = nullptr;  // the caption of the failure message, never shown itself
  QTimer* clock_ = nullptr;
  int language_ = 0;
  std::size_t shownRows_ = static_cast<std::size_t>(-1);
  long shownSeconds_ = -1;
};

}  // namespace rq::logs
