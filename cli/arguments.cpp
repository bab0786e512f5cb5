// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/arguments.h"

#include <iostream>
#include <limits>

#include "cli/output.h"
#include "model/defaults.h"

namespace rq {

int TakeLogOption(const std::vector<std::string>& args, std::size_t& i, LogOptions& out,
                  const char* maps, std::string& message) {
  const std::string& a = args[i];
  const bool hasValue = i + 1 < args.size();
  if (a == "--json") {
    out.json = true;
  } else if (a == "--map") {
    if (!hasValue) return message = std::string("--map needs ") + maps, -1;
    out.map = args[++i];
  } else if (a == "--config") {
    if (!hasValue) return message = "--config needs a file", -1;
    out.config = args[++i];
  } else if (a == "--min-rows") {
    if (!hasValue || !ParseInt(args[++i], out.minRows) || out.minRows < 1)
      return message = "--min-rows needs a whole number from 1 to " +
                       std::to_string(std::numeric_limits<int>::max()), -1;
  } else if (a == "--gear") {
    if (!hasValue || !ParseGears(args[++i], out.gears, out.firstGear))
      return message = "--gear needs gears " + std::to_string(out.firstGear) +
                       " to 6, separated by commas", -1;
  } else {
    return 0;
  }
  return 1;
}

int UsageError(const std::string& message, const char* usage) {
  std::cerr << "rq_vtmx4_cli: " << message << "\n" << usage << "\n";
  return kExitUsage;
}

int Failure(const std::string& message) {
  std::cerr << "rq_vtmx4_cli: " << message << "\n";
  return kExitFailure;
}

bool LoadLogConfiguration(const LogOptions& options, LoadedConfiguration& out, std::string& error) {
  out.image = NewConfiguration();
  return options.config.empty() || LoadConfigurationFile(options.config, out, error);
}

}  // namespace rq
