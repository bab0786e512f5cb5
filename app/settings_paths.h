// Where the program keeps its settings, its configuration state and the diagnostic marker.
#pragma once

#include <QString>

namespace rq {

inline constexpr const char* kSettingsFileName = "RQ_VTMX4_Kelvora_v79.ini";
inline constexpr const char* kMarkerFileName = "test_ardelo.txt";

// $XDG_CONFIG_HOME/RQ_VTMX4_Kelvora, or $HOME/.config/RQ_VTMX4_Kelvora; created when missing.
QString SettingsFolder();

}  // namespace rq
