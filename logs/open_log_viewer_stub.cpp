// SPDX-License-Identifier: GPL-3.0-or-later
// Stand-in until the log viewer window is built: says where the log is.
#include <QMessageBox>
#include <QString>

#include "logs/open_log_viewer.h"

namespace rq::logs {

void OpenLogViewer(QWidget* parent, const std::string& path) {
  QMessageBox::information(parent, QStringLiteral("RQ_VTMX4"), QString::fromStdString(path));
}

}  // namespace rq::logs
