// SPDX-License-Identifier: GPL-3.0-or-later
#include "logs/log_room.h"

#include <QAction>
#include <QKeySequence>

#include "logs/log_session.h"
#include "logs/log_viewer.h"
#include "logs/map_log_overlay.h"
#include "pages/map_pages.h"
#include "ui/window_face.h"
#include "workspace/workspace.h"

namespace rq::logs {

LogRoom::LogRoom(Workspace& workspace, WindowFace& window, MapPages& maps)
    : QObject(window.dialogParent()), window_(window), maps_(maps) {
  session_ = new LogSession(this);
  session_->setLanguage(workspace.language());
  // The log on the map pages: the pages call it when they show a map.
  overlay_ = new MapLogOverlay(*session_, this);
  overlay_->adoptBar(maps.bar());
  maps.addOverlay(overlay_);
  auto* separator = new QAction(this);
  separator->setSeparator(true);
  window.addMenuAction(WindowFace::Menu::Tools, separator);
  auto* viewer = new QAction("Ride log viewer...", this);
  viewer->setObjectName("MenuLogViewer");
  viewer->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
  window.addMenuAction(WindowFace::Menu::Tools, viewer);
  connect(viewer, &QAction::triggered, this, [this] { showViewer(); });
  // The log follows the workspace's language.
  connect(&workspace, &Workspace::languageChanged, session_, &LogSession::setLanguage);
}

LogRoom::~LogRoom() {
  // The viewer works on the session: it goes first.
  delete viewer_.data();
  maps_.removeOverlay(overlay_);
}

LogViewer* LogRoom::showViewer() {
  if (viewer_ == nullptr) viewer_ = new LogViewer(*session_, window_.dialogParent());
  viewer_->show();
  viewer_->raise();
  viewer_->activateWindow();
  return viewer_;
}

void LogRoom::openLog(const std::string& path) {
  LogViewer* viewer = showViewer();
  if (!path.empty()) viewer->openFile(QString::fromStdString(path));
}

}  // namespace rq::logs

#include "moc_log_room.cpp"
