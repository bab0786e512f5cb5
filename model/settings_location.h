// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program keeps its settings file, its image state file and the diagnostic marker,
// and the [PORTS] section that maps COMn to device paths. Shared by the window and the
// command-line tool.
#pragma once

#include <map>
#include <string>

#include "model/ini_file.h"

namespace rq {

inline constexpr const char* kSettingsFileName = "RQ_VTMX4_Kelvora_v79.ini";
inline constexpr const char* kStateFileName = "_RQ_VTMX4_Kelvora_v79.ini";
inline constexpr const char* kMarkerFileName = "test_ardelo.txt";
inline constexpr const char* kPortsSection = "PORTS";

// $XDG_CONFIG_HOME/RQ_VTMX4_Kelvora, or $HOME/.config/RQ_VTMX4_Kelvora; "" when neither is
// set. The folder is not created here.
std::string SettingsFolderPath();

// The program's data folder: $XDG_DATA_HOME/RQ_VTMX4_Kelvora (default ~/.local/share/...),
// empty when neither XDG_DATA_HOME nor HOME says where.
std::string DataFolderPath();

// Key "COMn" -> device path, from the [PORTS] section (keys upper-cased, empty paths left out).
std::map<std::string, std::string> PortsSection(const IniFile& settings);

// The [PORTS] section of the settings file in the settings folder (empty when there is none).
std::map<std::string, std::string> ReadSettingsPorts();

// The settings file of the settings folder. A missing file (or no settings folder) gives an
// empty `out` and true; a file that exists but cannot be read gives false with the reason.
bool ReadSettingsFile(IniFile& out, std::string& error);

}  // namespace rq
