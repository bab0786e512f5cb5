#include "app/settings_paths.h"

#include <QDir>

#include <cstdlib>

namespace rq {

QString SettingsFolder() {
  QString base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/')
    base = QString::fromLocal8Bit(xdg);
  else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0')
    base = QString::fromLocal8Bit(home) + "/.config";
  else
    base = QDir::homePath() + "/.config";
  const QString folder = base + "/RQ_VTMX4_Kelvora";
  QDir().mkpath(folder);
  return folder;
}

}  // namespace rq
