// SPDX-License-Identifier: GPL-3.0-or-later
// The ride log's place in the main window: the Tools menu item that opens the log viewer
// (Ctrl+L), the log on the map pages, and the window's language passed on to the viewer.
#pragma once

#include <QObject>

class QWidget;

namespace rq {
class WindowFace;
class Workspace;
}  // namespace rq

namespace rq::logs {

class LogRoom : public QObject {
  Q_OBJECT
 public:
  // `mapBar`: the bar of the map pages, where the log's toggle and filters go.
  LogRoom(Workspace& workspace, WindowFace& window, QWidget* mapBar);

 private:
  WindowFace& window_;
};

}  // namespace rq::logs
