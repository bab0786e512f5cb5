// SPDX-License-Identifier: GPL-3.0-or-later
// The ride log's place in the main window: the open log of the program with its viewer, the
// Tools menu item that opens the viewer (Ctrl+L), the log on the map pages, and the window's
// language passed on to them. The A/B mode and the ride recording take the log from here.
#pragma once

#include <QObject>
#include <QPointer>

#include <string>

class QWidget;

namespace rq {
class MapPages;
class WindowFace;
class Workspace;
}  // namespace rq

namespace rq::logs {

class LogSession;
class LogViewer;
class MapLogOverlay;

class LogRoom : public QObject {
  Q_OBJECT
 public:
  // The log's toggle and filters go into the bar of `maps`; the log is shown on its grid.
  LogRoom(Workspace& workspace, WindowFace& window, MapPages& maps);
  ~LogRoom() override;
  // The open ride log: the viewer, its playback, the map pages and the A/B mode share it.
  LogSession& session() { return *session_; }
  // The log on the map pages (the A/B mode stands beside its toggle).
  MapLogOverlay& overlay() { return *overlay_; }
  // The viewer, made on first use (a window of its own), shown and raised.
  LogViewer* showViewer();
  // The viewer with the log file at `path` being read (nothing read for an empty path).
  void openLog(const std::string& path);

 private:
  WindowFace& window_;
  MapPages& maps_;
  LogSession* session_ = nullptr;
  MapLogOverlay* overlay_ = nullptr;
  QPointer<LogViewer> viewer_;
};

}  // namespace rq::logs
