// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program keeps its settings, its configuration state and the diagnostic marker.
#pragma once

#include <QString>

#include "model/settings_location.h"

namespace rq {

// $XDG_CONFIG_HOME/RQ_VTMX4_Kelvora, or $HOME/.config/RQ_VTMX4_Kelvora; created when missing.
QString SettingsFolder();

}  // namespace rq
