// SPDX-License-Identifier: GPL-3.0-or-later
// The ride log's place in the main window: the Tools menu item that opens the log viewer
// (Ctrl+L), and the window's language passed on to the viewer.
#pragma once

#include <QObject>

#include <functional>

class QMainWindow;

namespace rq::logs {

class LogRoom : public QObject {
  Q_OBJECT
 public:
  // `language` tells the window's language (0..3) whenever asked.
  LogRoom(QMainWindow* window, std::function<int()> language);

 private:
  QMainWindow* window_;
  std::function<int()> language_;
};

}  // namespace rq::logs
