// SPDX-License-Identifier: GPL-3.0-or-later
// Command line of the unit simulator and loading of the configuration it starts with.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/parameter_image.h"
#include "sim/sim_link.h"
#include "sim/torque.h"
#include "sim/unit_model.h"

namespace rq::sim {

struct SimOptions {
  Identity identity;
  FaultOptions faults;
  std::string linkPath;   // --link: symlink to the pseudo-terminal
  std::string imagePath;  // --image: state file or .ign
  std::optional<std::uint64_t> seed;
  std::optional<int> gearMethod;  // --gear-method: replaces the configuration's gear method
  enum class EngineMode { Cycle, Off, Hold } engine = EngineMode::Cycle;
  int holdRpm = 0, holdThrottlePercent = 0, holdGear = 0;
  bool abRide = false;       // --ab: the A/B ride, with an input on the second map
  bool bestAdvance = false;  // --best-advance: print the engine's best advance and end
  std::string rideLog;       // --ride-log: write the A/B ride's log at once and end
  double minutes = 30;       // --minutes: the ride log's length
  EngineKind advanceResponse = EngineKind::Standard;  // --flat-advance, --other-engine
  bool help = false;
  bool version = false;  // --version: print the program's own version and end
};

// Parses the arguments after the program name. On a mistake returns false with a message.
bool ParseOptions(const std::vector<std::string>& args, SimOptions& out, std::string& error);

std::string UsageText();

// The configuration the unit starts with: NewConfiguration(), or the file given. A name
// ending in ".ign" (any case) is read as a configuration file on top of the new
// configuration; anything else as an image state file.
bool LoadConfiguration(const std::string& path, ParameterImage& out, std::string& error);

// The configuration the unit starts with (LoadConfiguration) with the options that change it,
// then coupled as the tool couples it (the gear system takes over its input): the tool's
// consistency pass and gear coupling leave it as it is.
bool StartConfiguration(const SimOptions& options, ParameterImage& out, std::string& error);

// Parses "YYYY-MM-DD HH:MM" (or with 'T') and the compiler form "Mmm DD YYYY HH:MM[:SS]".
bool ParseBuildDate(const std::string& text, Identity& id);

}  // namespace rq::sim
