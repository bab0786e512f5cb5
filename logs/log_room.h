// SPDX-License-Identifier: GPL-3.0-or-later
// The ride log's place in the main window: the Tools menu item that opens the log viewer
// (Ctrl+L), the log on the map pages, and the window's language passed on to the viewer.
#pragma once

#include <QObject>

class QWidget;

namespace rq {
class MapPages;
class WindowFace;
class Workspace;
}  // namespace rq

namespace rq::logs {

class MapLogOverlay;

class LogRoom : public QObject {
  Q_OBJECT
 public:
  // The log's toggle and filters go into the bar of `maps`; the log is shown on its grid.
  LogRoom(Workspace& workspace, WindowFace& window, MapPages& maps);
  ~LogRoom() override;
  // The log on the map pages (the A/B mode stands beside its toggle).
  MapLogOverlay& overlay() { return *overlay_; }

 private:
  WindowFace& window_;
  MapPages& maps_;
  MapLogOverlay* overlay_ = nullptr;
};

}  // namespace rq::logs
