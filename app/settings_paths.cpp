// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings_paths.h"

#include <QDir>

namespace rq {

QString SettingsFolder() {
  QString folder = QString::fromStdString(SettingsFolderPath());
  if (folder.isEmpty()) folder = QDir::homePath() + "/.config/RQ_VTMX4_Kelvora";
  QDir().mkpath(folder);
  return folder;
}

}  // namespace rq
