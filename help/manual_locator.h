// SPDX-License-Identifier: GPL-3.0-or-later
// Where Help > Contents finds the user manual.
#pragma once

#include <QString>
#include <QStringList>

namespace rq {

// Folders searched for the manual when the current folder has none, in this order: the
// installed copy beside the program (<prefix>/bin/.. /share/doc/rq-vtmx4), the program's own
// folder (the build tree keeps its copy next to the programs), and /usr/share/doc/rq-vtmx4.
QStringList ManualFolders(const QString& programFolder);

// The manual's absolute path: the bare name in currentFolder first, else the first of
// folders that holds it as a file. Empty when none does.
QString FindManual(const QString& name, const QString& currentFolder, const QStringList& folders);

}  // namespace rq
