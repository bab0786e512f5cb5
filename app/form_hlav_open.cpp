// SPDX-License-Identifier: GPL-3.0-or-later
// Loading a configuration file into the window: the part of File › Open after the file has
// been chosen, shared by the command line and the menu.
#include <QUrl>

#include "app/file_commands.h"
#include "app/form_hlav.h"
#include "app/open_file.h"

namespace rq {

QStringList FileArguments(const QStringList& arguments) {
  QStringList files;
  for (const QString& a : arguments) {
    if (LanguageFromArgument(a.toStdString()) >= 0) continue;
    if (a.startsWith("file://")) {
      const QUrl url(a);
      if (url.isLocalFile()) {
        files << url.toLocalFile();
        continue;
      }
    }
    files << a;
  }
  return files;
}

// A file named on the command line opens as File › Open opens the file chosen.
bool FormHlav::openConfigurationFile(const QString& path) {
  const bool loaded = fileCommands_->OpenConfigurationFile(path);
  hideStatusLine();
  return loaded;
}

}  // namespace rq
