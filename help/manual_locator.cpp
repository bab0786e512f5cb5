// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/manual_locator.h"

#include <QDir>
#include <QFileInfo>

namespace rq {

namespace {
constexpr const char* kDocFolder = "share/doc/rq-vtmx4";
}

QStringList ManualFolders(const QString& programFolder) {
  QStringList folders;
  if (!programFolder.isEmpty()) {
    folders << QDir::cleanPath(programFolder + "/../" + kDocFolder) << programFolder;
  }
  const QString system = QStringLiteral("/usr/") + kDocFolder;
  if (!folders.contains(system)) folders << system;
  return folders;
}

QString FindManual(const QString& name, const QString& currentFolder, const QStringList& folders) {
  // Only a bare file name is looked up; anything with a folder in it would let the search
  // wander outside the places named here.
  if (name.isEmpty() || name.contains('/')) return {};
  QStringList places;
  places << currentFolder << folders;
  for (const QString& folder : places) {
    if (folder.isEmpty()) continue;
    const QFileInfo info(QDir(folder), name);
    if (info.isFile()) return info.absoluteFilePath();
  }
  return {};
}

}  // namespace rq
