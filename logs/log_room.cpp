// SPDX-License-Identifier: GPL-3.0-or-later
#include "logs/log_room.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>

#include "logs/log_session.h"
#include "logs/log_viewer.h"
#include "logs/map_log_overlay.h"

namespace rq::logs {

LogRoom::LogRoom(QMainWindow* window, std::function<int()> language)
    : QObject(window), window_(window), language_(std::move(language)) {
  LogSession::instance().setLanguage(language_());
  // The log on the map pages: the pages call it when they show a map.
  auto* overlay = new MapLogOverlay(LogSession::instance(), this);
  overlay->adoptBar(window->findChild<QWidget*>("GroupBoxMapBar"));
  MapOverlay() = overlay;
  if (auto* tools = window->findChild<QMenu*>("MenuTools")) {
    tools->addSeparator();
    QAction* viewer = tools->addAction("Ride log viewer...");
    viewer->setObjectName("MenuLogViewer");
    viewer->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(viewer, &QAction::triggered, this, [this] { ShowLogViewer(window_); });
  }
  // The language items switch the window first (their handlers were connected before), then
  // the viewer follows.
  for (const char* name : {"MenuEnglish", "MenuGerman", "MenuFrench", "MenuCzech"}) {
    if (auto* item = window->findChild<QAction*>(name))
      connect(item, &QAction::triggered, this,
              [this] { LogSession::instance().setLanguage(language_()); });
  }
}

}  // namespace rq::logs

#include "moc_log_room.cpp"
