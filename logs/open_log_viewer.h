// SPDX-License-Identifier: GPL-3.0-or-later
// Opens a ride log in the log viewer window.
#pragma once

#include <string>

class QWidget;

namespace rq::logs {

void OpenLogViewer(QWidget* parent, const std::string& path);

}  // namespace rq::logs
